#include "support/FakeGdiplus.h"

#include "support/Fakes.h"

#include <cwchar>

namespace fake {

int FakeGdiplus::startup(const platform::GdiplusStartupInput& input, std::uintptr_t& token) {
  calls.push_back(L"startup");
  startupInput = input;
  if (startupStatus != 0)
    return startupStatus;
  ++liveSessions;
  token = 0x5150;
  return 0;
}

int FakeGdiplus::createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t pal,
                                         std::uintptr_t& image) {
  calls.push_back(L"createBitmap");
  bitmapHandle = hbitmap;
  palette = pal;
  if (createStatus != 0)
    return createStatus;
  ++liveImages;
  image = 0x1111;
  return 0;
}

int FakeGdiplus::createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) {
  calls.push_back(L"createFromStream");
  if (bytes.rfind("\x89PNG", 0) != 0)
    return 2;  // InvalidParameter, as GDI+ answers data it cannot decode
  ++liveImages;
  image = 0x2222;
  return 0;
}

int FakeGdiplus::createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t,
                                         std::shared_ptr<platform::Picture>& picture) {
  calls.push_back(L"createHbitmap");
  picture = std::make_shared<FakePicture>(pngWidth, pngHeight, image);
  return 0;
}

platform::Guid FakeGdiplus::parseClsid(const std::wstring& text) {
  calls.push_back(L"parseClsid");
  // Enough of CLSIDFromString for the tests: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
  platform::Guid g;
  if (text.size() != 38)
    return g;
  g.data1 = static_cast<std::uint32_t>(std::wcstoul(text.substr(1, 8).c_str(), nullptr, 16));
  g.data2 = static_cast<std::uint16_t>(std::wcstoul(text.substr(10, 4).c_str(), nullptr, 16));
  g.data3 = static_cast<std::uint16_t>(std::wcstoul(text.substr(15, 4).c_str(), nullptr, 16));
  const std::wstring rest = text.substr(20, 4) + text.substr(25, 12);
  for (std::size_t i = 0; i < 8; ++i) {
    g.data4[i] =
        static_cast<std::uint8_t>(std::wcstoul(rest.substr(i * 2, 2).c_str(), nullptr, 16));
  }
  return g;
}

int FakeGdiplus::saveImageToMemory(std::uintptr_t image, const platform::Guid& enc,
                                   const platform::EncoderParameters& parameters,
                                   std::string& bytes) {
  calls.push_back(L"save");
  savedImage = image;
  encoder = enc;
  parameterCount = parameters.count;
  valueCount = parameters.parameter.numberOfValues;
  valueType = parameters.parameter.type;
  parameterId = parameters.parameter.id;
  quality = parameters.parameter.value ? *parameters.parameter.value : 0;
  if (saveStatus != 0)
    return saveStatus;
  bytes = kJpeg;
  return 0;
}

int FakeGdiplus::disposeImage(std::uintptr_t image) {
  calls.push_back(L"dispose");
  disposedImage = image;
  --liveImages;
  return 0;
}

void FakeGdiplus::shutdown(std::uintptr_t token) {
  calls.push_back(L"shutdown");
  shutdownToken = token;
  --liveSessions;
}

}  // namespace fake
