// Saving the held picture as a JPEG file.
#include "app/Form1.h"
#include "save/JPG.h"
#include "save/Paths.h"
#include "save/SafeSave.h"

namespace {
constexpr std::uint8_t kQuality = 200;  // handed to the encoder as it is, not clamped
}  // namespace

void Form1::SavePictureBtn_Click() {
  const std::wstring target = composeTarget();
  if (refuseUnreadClipboard(target))
    return;
  // A target that cannot be written is reported before any question about replacing it.
  if (const auto bad = SafeSave::CheckTarget(p_.fileSystem, target)) {
    reportFailedSave(target, SafeSave::ErrorText(p_.process, bad));
    return;
  }
  if (ConfirmOverwrite(target))
    return;
  // Encoded in memory, so that a file that cannot be written is reported with the file system's
  // own reason (a full disk, a missing directory) rather than a bare encoder status.
  std::string jpeg;
  JPG::SaveResult result;
  if (pictureOnClipboard_) {
    // A batch run encodes the clipboard's own bitmap while it holds the clipboard open: no copy
    // of many megabytes, and nothing can change the picture meanwhile.
    const platform::OpenClipboard open(p_.clipboard);
    const auto bitmap = open.isOpen() ? p_.clipboard.borrowedBitmap() : nullptr;
    if (!bitmap) {
      reportFailedSave(target, open.isOpen() ? kPictureUnread : kClipboardHeld);
      return;
    }
    result = JPG::SavePictureAsJpeg(p_.gdiplus, bitmap.get(), kQuality, jpeg);
  } else {
    result = JPG::SavePictureAsJpeg(p_.gdiplus, picture().get(), kQuality, jpeg);
  }
  if (!result.ok) {
    reportFailedSave(target, result.description);
    return;
  }
  if (const auto error = SafeSave::WriteFileSafely(p_.fileSystem, target, jpeg)) {
    reportFailedSave(target, SafeSave::ErrorText(p_.process, error));
    return;
  }
  p_.process.beep();
  if (OpenFileCheck.value() == 1) {
    const auto started = p_.process.startProcess(L"", L"explorer.exe " + QuoteIfSpaced(target),
                                                 platform::kShowNormal);
    (void)started;  // the picture stays saved whether or not Explorer starts
  }
  // The picture saver ends at once, without storing the window position.
  p_.process.exit(platform::exitcode::kSaved);
}
