#pragma once
#include <string>
#include <vector>

#include "platform/Gdiplus.h"

namespace fake {

// GDI+ that records every call with its arguments, can fail at a chosen step, and encodes to a
// few fixed bytes.
class FakeGdiplus : public platform::Gdiplus {
 public:
  util::Status startup(const platform::GdiplusStartupInput& input, std::uintptr_t& token) override;
  util::Status createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                       std::uintptr_t& image) override;
  // Decodes what starts like a PNG file, into a picture of 300 x 200.
  util::Status createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) override;
  util::Status createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                       std::shared_ptr<platform::Picture>& picture) override;
  // A class id that names its text: the save shows which text it came from.
  platform::Guid parseClsid(const std::wstring& text) override;
  util::Status saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                                 const platform::EncoderParameters& parameters,
                                 std::string& bytes) override;
  util::Status disposeImage(std::uintptr_t image) override;
  void shutdown(std::uintptr_t token) override;

  // Status each step returns (0 = success).
  int startupStatus = 0;
  int createStatus = 0;
  int saveStatus = 0;
  // Every call with its arguments, numbers in hex: L"createBitmap b17 0".
  std::vector<std::wstring> calls;
  int live = 0;  // sessions and images not yet released
  static constexpr char kJpeg[] = "\xFF\xD8 fake jpeg \xFF\xD9";

 private:
  std::vector<std::wstring> clsids_;
};

}  // namespace fake
