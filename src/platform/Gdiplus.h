#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Picture.h"
#include "util/Status.h"

namespace platform {

// A class or parameter id as the platform's CLSIDFromString parses it.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
  bool operator==(const Guid&) const = default;
};

// What GDI+ is started with.
struct GdiplusStartupInput {
  std::uint32_t version = 1;
  bool debugEventCallback = false;  // none
  bool suppressBackgroundThread = false;
  bool suppressExternalCodecs = false;
};

// The one encoder parameter the program passes.
struct EncoderParameter {
  Guid id;
  std::uint32_t numberOfValues = 1;
  std::uint32_t type = 4;  // 32-bit unsigned integer
  const std::uint32_t* value = nullptr;
};

struct EncoderParameters {
  std::uint32_t count = 1;
  EncoderParameter parameter;
};

class Gdiplus {
 public:
  virtual ~Gdiplus() = default;
  // A failure carries the GDI+ status as its code.
  virtual util::Status startup(const GdiplusStartupInput& input, std::uintptr_t& token) = 0;
  virtual util::Status createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                               std::uintptr_t& image) = 0;
  // An image decoded from the bytes of a picture file (PNG, ...), read from a stream over them.
  virtual util::Status createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) = 0;
  // A GDI bitmap of the image, owned by the picture; transparent parts are laid over the
  // background colour (0xAARRGGBB).
  virtual util::Status createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                               std::shared_ptr<Picture>& picture) = 0;
  virtual Guid parseClsid(const std::wstring& text) = 0;
  // Encodes the image into memory; the caller writes the bytes to their file.
  virtual util::Status saveImageToMemory(std::uintptr_t image, const Guid& encoder,
                                         const EncoderParameters& parameters,
                                         std::string& bytes) = 0;
  virtual util::Status disposeImage(std::uintptr_t image) = 0;
  virtual void shutdown(std::uintptr_t token) = 0;
};

// GDI+ for as long as the session lives: shut down again only if it started.
class GdiplusSession {
 public:
  explicit GdiplusSession(Gdiplus& gdi)
      : gdi_(gdi), status_(gdi.startup(GdiplusStartupInput{}, token_)) {}
  ~GdiplusSession() {
    if (status_.ok())
      gdi_.shutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  [[nodiscard]] const util::Status& status() const { return status_; }

 private:
  Gdiplus& gdi_;
  std::uintptr_t token_ = 0;
  util::Status status_;
};

// A GDI+ image, disposed when it goes if it was created.
class GdiplusImage {
 public:
  // Made by create(image), a port call that hands the image out and returns its status.
  template <class Create>
  GdiplusImage(Gdiplus& gdi, Create create) : gdi_(gdi), status_(create(image_)) {}
  ~GdiplusImage() {
    if (status_.ok())
      (void)gdi_.disposeImage(image_);  // what was made of the image has its own status
  }
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;
  [[nodiscard]] const util::Status& status() const { return status_; }
  [[nodiscard]] std::uintptr_t handle() const { return image_; }

 private:
  Gdiplus& gdi_;
  std::uintptr_t image_ = 0;
  util::Status status_;
};

}  // namespace platform
