// The file-list mode: copying the listed files, removing entries, the list as text.
#include "app/Form1.h"
#include "save/Files.h"
#include "save/Paths.h"

namespace {
constexpr int kNotAsked = -1;
constexpr int kAllowNo = 0;
constexpr int kAllowYes = 1;
}  // namespace

void Form1::SaveFilesBtn_Click() {
  // An unread list shows empty; copying it would end as if every file had been copied.
  if (refuseUnreadClipboard(Path.text(), L"No file was copied to:"))
    return;
  const int n = ListBox.listCount();
  ListBox.setListIndex(n - 1);
  int allowAll = kNotAsked;
  for (int i = n - 1; i >= 0; --i) {
    setCaption(std::wstring(kVersionTitle) + L" - Copy File(s):  " + std::to_wstring(n - i) + L"/" +
               std::to_wstring(n));
    const std::wstring entry = ListBox.items()[static_cast<std::size_t>(i)];
    const std::wstring checkPath = AddTrailingSeparator(Path.text()) + GetFileNamePart(entry);
    bool copy = false;
    switch (p_.fileSystem.findPlainFile(checkPath)) {
      case platform::Lookup::NotFound:
        copy = true;
        break;
      case platform::Lookup::Failed:
        // A name the file system rejects cannot be copied there: skip the entry.
        break;
      case platform::Lookup::Found: {
        int answer = platform::answer::kYes;
        if (allowAll != kAllowYes) {
          answer =
              p_.dialogs.messageBox(L"File already exists!\r\r" + checkPath + L"\r Overwrit it?",
                                    platform::box::kYesNoCancelQuestion, L"Overwrite?");
        }
        if (answer == platform::answer::kYes) {
          copy = true;
          if (allowAll == kNotAsked) {
            allowAll = p_.dialogs.messageBox(L"Allow for all files?", platform::box::kYesNoQuestion,
                                             L"Allow all?") == platform::answer::kYes
                           ? kAllowYes
                           : kAllowNo;
          }
        } else if (answer != platform::answer::kNo) {
          // Cancel (or a box that could not be shown): this and the earlier entries stay.
          return;
        }
        break;
      }
    }
    if (copy)
      Files::CopyFileToDirectory(p_, handle(), entry, Path.text());
    ListBox.removeItem(i);
    p_.process.processPendingMessages();
  }
  p_.process.exit(platform::exitcode::kSaved);
}

std::wstring Form1::fileListText() const {
  // Sized once: a list of many thousand names would otherwise be copied at every growth.
  std::size_t length = 0;
  for (const std::wstring& entry : ListBox.items())
    length += entry.size() + 2;
  std::wstring list;
  list.reserve(length);
  for (const std::wstring& entry : ListBox.items()) {
    list += entry;
    list += L"\r\n";
  }
  return list;
}

void Form1::ListBox_DblClick() {
  const bool removed = ListBox.removeItem(ListBox.listIndex());
  (void)removed;  // nothing selected: nothing to remove
  if (ListBox.listCount() == 0)
    exitProgram();
}

void Form1::ListBox_MouseDown(int button, int shift, int, int) {
  if (button != ui::mouse::kRight || shift != 0)
    return;
  if (p_.dialogs.messageBox(L"Copy file-list to clipboard (as text)?",
                            platform::box::kYesNoQuestion,
                            L"Copy list to Clipbaord?") != platform::answer::kYes) {
    return;
  }
  const std::wstring list = fileListText();
  bool done = false;
  {
    platform::OpenClipboard open(p_.clipboard);
    done = open.isOpen() && p_.clipboard.clear() && p_.clipboard.setText(list);
  }
  if (!done) {
    p_.dialogs.messageBox(L"The file list could not be put on the clipboard.",
                          platform::box::kCritical, L"");
  }
}
