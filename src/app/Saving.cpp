// What the save actions share: the target they write, the overwrite question and the reports.
#include "app/Form1.h"
#include "save/Paths.h"
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

bool Form1::refuseUnreadClipboard(const std::wstring& target, const wchar_t* heading) {
  if (unreadReason_.empty())
    return false;
  reportFailedSave(target, unreadReason_, heading);
  return true;
}
