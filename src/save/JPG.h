#pragma once
#include <cstdint>
#include <string>

#include "platform/Gdiplus.h"
#include "platform/Picture.h"

namespace JPG {

// How a picture save ended; on failure errorNumber is kSaveFailed and the description names the
// GDI+ status.
struct SaveResult {
  bool ok = false;
  int errorNumber = 0;
  std::wstring description;
};

constexpr int kSaveFailed = 5;

// Encodes the picture as JPEG through GDI+, started and shut down within this call; the bytes
// are the file's content. The quality goes to the encoder exactly as given (values above 100
// included). A missing picture is handed to GDI+ as handle 0, which then reports its own failure.
SaveResult SavePictureAsJpeg(platform::Gdiplus& gdi, const platform::Picture* picture,
                             std::uint8_t quality, std::string& bytes);

}  // namespace JPG
