// Saving a picture as a JPEG file through GDI+.
#include "save/JPG.h"

namespace JPG {
namespace {

constexpr wchar_t kJpegEncoder[] = L"{557CF401-1A04-11D3-9A73-0000F81EF32E}";
constexpr wchar_t kQualityParameter[] = L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
constexpr std::uint32_t kLongValue = 4;  // one 32-bit unsigned value

util::Status Encode(platform::Gdiplus& gdi, const platform::Picture* picture, std::uint8_t quality,
                    std::string& bytes) {
  const platform::GdiplusSession session(gdi);
  if (!session.status().ok())
    return session.status();

  const std::uintptr_t hbitmap = picture ? picture->handle() : 0;
  const platform::GdiplusImage image(
      gdi, [&](std::uintptr_t& made) { return gdi.createBitmapFromHbitmap(hbitmap, 0, made); });
  if (!image.status().ok())
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

util::Status SavePictureAsJpeg(platform::Gdiplus& gdi, const platform::Picture* picture,
                               std::uint8_t quality, std::string& bytes) {
  util::Status status = Encode(gdi, picture, quality, bytes);
  if (status.ok())
    return status;
  return {status.code(),
          L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:" + std::to_wstring(status.code())};
}

}  // namespace JPG
