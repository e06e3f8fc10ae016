#include "support/Fakes.h"

#include <sstream>

namespace fake {

namespace {
template <class... T>
std::wstring call(const wchar_t* name, const T&... values) {
  std::wostringstream out;
  out << name << std::hex;
  ((out << L' ' << values), ...);
  return out.str();
}
}  // namespace

util::Status FakeGdiplus::startup(const platform::GdiplusStartupInput& in, std::uintptr_t& token) {
  calls.push_back(call(L"startup", in.version, in.debugEventCallback, in.suppressBackgroundThread,
                       in.suppressExternalCodecs));
  if (startupStatus != 0)
    return startupStatus;
  ++live;
  token = 0x5150;
  return 0;
}

util::Status FakeGdiplus::createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                                  std::uintptr_t& image) {
  calls.push_back(call(L"createBitmap", hbitmap, palette));
  if (createStatus != 0)
    return createStatus;
  ++live;
  image = 0x1111;
  return 0;
}

util::Status FakeGdiplus::createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) {
  calls.push_back(L"createFromStream");
  if (bytes.rfind("\x89PNG", 0) != 0)
    return 2;  // InvalidParameter, as GDI+ answers data it cannot decode
  ++live;
  image = 0x2222;
  return 0;
}

util::Status FakeGdiplus::createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                                  std::shared_ptr<platform::Picture>& picture) {
  calls.push_back(call(L"createHbitmap", image, background));
  picture = std::make_shared<FakePicture>(300, 200, image);
  return 0;
}

platform::Guid FakeGdiplus::parseClsid(const std::wstring& text) {
  clsids_.push_back(text);
  return platform::Guid{static_cast<std::uint32_t>(clsids_.size())};
}

util::Status FakeGdiplus::saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                                            const platform::EncoderParameters& p,
                                            std::string& bytes) {
  const auto clsid = [&](const platform::Guid& g) {
    return g.data1 > 0 && g.data1 <= clsids_.size() && g == platform::Guid{g.data1}
               ? clsids_[g.data1 - 1]
               : L"?";
  };
  calls.push_back(call(L"save", image, clsid(encoder), p.count, clsid(p.parameter.id),
                       p.parameter.numberOfValues, p.parameter.type,
                       p.parameter.value ? std::to_wstring(*p.parameter.value) : L"none"));
  if (saveStatus != 0)
    return saveStatus;
  bytes = kJpeg;
  return 0;
}

util::Status FakeGdiplus::disposeImage(std::uintptr_t image) {
  calls.push_back(call(L"dispose", image));
  --live;
  return 0;
}

void FakeGdiplus::shutdown(std::uintptr_t token) {
  calls.push_back(call(L"shutdown", token));
  --live;
}

}  // namespace fake
