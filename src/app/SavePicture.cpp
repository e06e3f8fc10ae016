// Saving the held picture as a JPEG file.
#include "app/Form1.h"
#include "app/Modes.h"
#include "save/JPG.h"

namespace {
constexpr std::uint8_t kQuality = 200;  // handed to the encoder as it is, not clamped
}  // namespace

void Form1::SavePictureBtn_Click() {
  // Encoded in memory, so that a file that cannot be written is reported with the file system's
  // own reason (a full disk, a missing directory) rather than a bare encoder status.
  const auto encode = [this](std::wstring& reason) -> std::optional<std::string> {
    std::string jpeg;
    util::Status result;
    if (pictureOnClipboard_) {
      // A batch run encodes the clipboard's own bitmap while it holds the clipboard open: no
      // copy of many megabytes, and nothing can change the picture meanwhile.
      const platform::OpenClipboard open(p_.clipboard);
      const auto bitmap = open.isOpen() ? p_.clipboard.borrowedBitmap() : nullptr;
      if (!bitmap) {
        reason = open.isOpen() ? kPictureUnread : kClipboardHeld;
        return std::nullopt;
      }
      result = JPG::SavePictureAsJpeg(p_.gdiplus, bitmap.get(), kQuality, jpeg);
    } else {
      result = JPG::SavePictureAsJpeg(p_.gdiplus, picture().get(), kQuality, jpeg);
    }
    if (!result.ok()) {
      reason = result.text();
      return std::nullopt;
    }
    return jpeg;
  };
  // The picture saver ends at once, without storing the window position.
  saveFile(composeTarget(), {.bytes = encode,
                             .opener = L"explorer.exe ",
                             .storePosition = false,
                             .beep = modes::kPicture.beep});
}
