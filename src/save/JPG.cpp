// Saving a picture as a JPEG file through GDI+.
#include "save/JPG.h"

namespace JPG {
namespace {

constexpr wchar_t kJpegEncoder[] = L"{557CF401-1A04-11D3-9A73-0000F81EF32E}";
constexpr wchar_t kQualityParameter[] = L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
constexpr std::uint32_t kLongValue = 4;  // one 32-bit unsigned value

// GDI+ for the length of one save: shut down again only if it started.
class GdiplusSession {
 public:
  explicit GdiplusSession(platform::Gdiplus& gdi)
      : gdi_(gdi), status_(gdi.startup(platform::GdiplusStartupInput{}, token_)) {}
  ~GdiplusSession() {
    if (status_ == 0)
      gdi_.shutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  int status() const { return status_; }

 private:
  platform::Gdiplus& gdi_;
  std::uintptr_t token_ = 0;
  int status_;
};

// A GDI+ bitmap made from the picture: disposed only if it was created.
class GdiplusImage {
 public:
  GdiplusImage(platform::Gdiplus& gdi, std::uintptr_t hbitmap)
      : gdi_(gdi), status_(gdi.createBitmapFromHbitmap(hbitmap, 0, image_)) {}
  ~GdiplusImage() {
    if (status_ == 0) {
      const int disposed = gdi_.disposeImage(image_);
      (void)disposed;  // the save's own status is what the user learns
    }
  }
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;
  int status() const { return status_; }
  std::uintptr_t handle() const { return image_; }

 private:
  platform::Gdiplus& gdi_;
  std::uintptr_t image_ = 0;
  int status_;
};

int Encode(platform::Gdiplus& gdi, const platform::Picture* picture, std::uint8_t quality,
           std::string& bytes) {
  const GdiplusSession session(gdi);
  if (session.status() != 0)
    return session.status();

  const GdiplusImage image(gdi, picture ? picture->handle() : 0);
  if (image.status() != 0)
    return image.status();

  const platform::Guid encoder = gdi.parseClsid(kJpegEncoder);
  const std::uint32_t qualityValue = quality;  // widened, never clamped
  platform::EncoderParameters parameters;
  parameters.count = 1;
  parameters.parameter.id = gdi.parseClsid(kQualityParameter);
  parameters.parameter.numberOfValues = 1;
  parameters.parameter.type = kLongValue;
  parameters.parameter.value = &qualityValue;
  return gdi.saveImageToMemory(image.handle(), encoder, parameters, bytes);
}

}  // namespace

SaveResult SavePictureAsJpeg(platform::Gdiplus& gdi, const platform::Picture* picture,
                             std::uint8_t quality, std::string& bytes) {
  const int status = Encode(gdi, picture, quality, bytes);
  if (status == 0)
    return {true, 0, L""};
  return {false, kSaveFailed,
          L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:" + std::to_wstring(status)};
}

}  // namespace JPG
