// Saving the held picture as a JPEG file.
#include "app/Form1.h"
#include "save/JPG.h"
#include "save/Paths.h"
#include "save/TextFile.h"

namespace {
constexpr int kShowNormal = 1;
constexpr std::uint8_t kQuality = 200;  // handed to the encoder as it is, not clamped
}  // namespace

void Form1::SavePictureBtn_Click() {
  const std::wstring target = composeTarget();
  if (refuseUnreadClipboard(target))
    return;
  // A target that cannot be written is reported before any question about replacing it.
  if (const auto bad = CheckTarget(p_.fileSystem, target)) {
    reportFailedSave(target, p_.process.errorText(bad));
    return;
  }
  if (ConfirmOverwrite(target))
    return;
  const std::wstring temporary = TemporaryNameFor(target);
  const JPG::SaveResult result =
      JPG::SavePictureAsJpeg(p_.gdiplus, picture().get(), temporary, kQuality);
  if (!result.ok) {
    p_.fileSystem.deleteFile(temporary);
    reportFailedSave(target, result.description);
    return;
  }
  if (const auto error = p_.fileSystem.replaceFile(temporary, target)) {
    p_.fileSystem.deleteFile(temporary);
    reportFailedSave(target, p_.process.errorText(error));
    return;
  }
  p_.process.beep();
  if (OpenFileCheck.value() == 1) {
    const auto started =
        p_.process.startProcess(L"explorer.exe " + QuoteIfSpaced(target), kShowNormal);
    (void)started;  // the picture stays saved whether or not Explorer starts
  }
  // The picture saver ends at once, without storing the window position.
  p_.process.exit(platform::exitcode::kSaved);
}
