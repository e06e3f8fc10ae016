// What the save actions share: the target they write, the overwrite question, the reports and
// the one way from the target to the saved file.
#include "app/Form1.h"
#include "save/Paths.h"
#include "save/SafeSave.h"
#include "shell/RunFile.h"
#include "util/Text.h"

std::wstring Form1::composeTarget() const {
  return text::trim(AddTrailingSeparator(text::trim(Path.text())) + FNText.text());
}

bool Form1::ConfirmOverwrite(const std::wstring& target) {
  // Any file counts, hidden and system files too. A lookup the file system rejects counts as a
  // missing file: nothing to ask.
  if (target.empty() || p_.fileSystem.findFile(target) != platform::Lookup::Found)
    return false;
  const int answer = p_.dialogs.messageBox(L"File already exists:\r\r" + target + L"\r\rOverwrite?",
                                           platform::box::kYesNoQuestion, L"Overwrite file?");
  // The old file stays until the new one is complete; the save replaces it then.
  return answer != platform::answer::kYes;
}

void Form1::reportFailedSave(const std::wstring& target, const std::wstring& reason,
                             const wchar_t* heading) {
  p_.dialogs.messageBox(std::wstring(heading) + L"\r\r" +
                            (target.empty() ? L"(no file name)" : target) + L"\r\r" + reason,
                        platform::box::kCritical, L"");
}

std::wstring Form1::textOf(const util::Status& status) const {
  return status.text().empty() ? p_.process.errorText(status.code()) : status.text();
}

bool Form1::refuseUnreadClipboard(const std::wstring& target, const wchar_t* heading) {
  if (unreadReason_.empty())
    return false;
  reportFailedSave(target, unreadReason_, heading);
  return true;
}

void Form1::saveFile(const std::wstring& target, const SaveJob& job) {
  if (refuseUnreadClipboard(target))
    return;
  // A target that cannot be written is reported before any question about replacing it.
  if (const auto bad = SafeSave::CheckTarget(p_.fileSystem, target); !bad.ok()) {
    reportFailedSave(target, textOf(bad));
    return;
  }
  if (ConfirmOverwrite(target))
    return;
  // The window keeps its content after a failure, so the user can pick another name or directory.
  std::wstring reason;
  const auto bytes = job.bytes(reason);
  if (!bytes) {
    reportFailedSave(target, reason);
    return;
  }
  if (const auto error = SafeSave::WriteFileSafely(p_.fileSystem, target, *bytes); !error.ok()) {
    reportFailedSave(target, textOf(error));
    return;
  }
  if (job.beep)
    p_.process.beep();
  openSaved(target, job.opener);
  if (job.storePosition)
    exitProgram(platform::exitcode::kSaved);
  p_.process.exit(platform::exitcode::kSaved);
}

void Form1::openSaved(const std::wstring& target, const wchar_t* opener) {
  if (OpenFileCheck.value() != 1)
    return;
  const std::wstring name = QuoteIfSpaced(target);
  const auto started =
      opener != nullptr
          ? RunFile::StartProgram(p_, L"", opener + name, platform::kShowNormal)
          : RunFile::StartProgram(p_, RunFile::FindProgramForFile(p_, target).value_or(L""), name,
                                  platform::kShowNormal);
  (void)started;  // the saved file stays saved whether or not its program starts
}
