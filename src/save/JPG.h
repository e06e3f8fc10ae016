#pragma once
#include <cstdint>
#include <string>

#include "platform/Gdiplus.h"
#include "platform/Picture.h"
#include "util/Status.h"

namespace JPG {

// Encodes the picture as JPEG through GDI+, started and shut down within this call; the bytes
// are the file's content. The quality goes to the encoder exactly as given (values above 100
// included). A missing picture is handed to GDI+ as handle 0, which then reports its own failure.
// A failure carries the GDI+ status, and a text that names it.
util::Status SavePictureAsJpeg(platform::Gdiplus& gdi, const platform::Picture* picture,
                               std::uint8_t quality, std::string& bytes);

}  // namespace JPG
