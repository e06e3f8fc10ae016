#pragma once
#include <string>
#include <vector>

#include "platform/Gdiplus.h"

namespace fake {

// GDI+ that records every call, can fail at a chosen step, and encodes to a few fixed bytes.
class FakeGdiplus : public platform::Gdiplus {
 public:
  int startup(const platform::GdiplusStartupInput& input, std::uintptr_t& token) override;
  int createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                              std::uintptr_t& image) override;
  // Decodes what starts like a PNG file, into a picture of pngWidth x pngHeight.
  int createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) override;
  int createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                              std::shared_ptr<platform::Picture>& picture) override;
  platform::Guid parseClsid(const std::wstring& text) override;
  int saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                        const platform::EncoderParameters& parameters, std::string& bytes) override;
  int disposeImage(std::uintptr_t image) override;
  void shutdown(std::uintptr_t token) override;

  // Status each step returns (0 = success).
  int startupStatus = 0;
  int createStatus = 0;
  int saveStatus = 0;
  // What was seen.
  std::vector<std::wstring> calls;
  platform::GdiplusStartupInput startupInput;
  std::uintptr_t bitmapHandle = 0, palette = 1;
  platform::Guid encoder;
  std::uint32_t parameterCount = 0, valueCount = 0, valueType = 0, quality = 0;
  platform::Guid parameterId;
  int pngWidth = 300, pngHeight = 200;
  std::uintptr_t savedImage = 0, disposedImage = 0, shutdownToken = 0;
  int liveImages = 0;
  int liveSessions = 0;
  static constexpr char kJpeg[] = "\xFF\xD8 fake jpeg \xFF\xD9";
};

}  // namespace fake
