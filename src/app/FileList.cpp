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
  // The window takes input between two files; a second click must not start a second loop.
  if (copying_)
    return;
  // An unread list shows empty; copying it would end as if every file had been copied.
  if (refuseUnreadClipboard(Path.text(), L"No file was copied to:"))
    return;
  // While the loop runs the list and the mode stay as they are (see the handlers that ask
  // copyingFiles()); the directory is the one the copy started with.
  struct Copying {
    Form1& f;
    explicit Copying(Form1& form) : f(form) {
      f.copying_ = true;
      f.stopCopying_ = false;
    }
    ~Copying() { f.copying_ = false; }
  } copying(*this);
  const std::wstring directory = Path.text();
  const std::wstring prepared = Files::PrepareDirectory(directory);
  const int n = ListBox.listCount();
  ListBox.setListIndex(n - 1);
  int allowAll = kNotAsked;
  int wanted = 0;  // files that were to be copied
  int copied = 0;
  for (int i = n - 1; i >= 0 && i < ListBox.listCount(); --i) {
    if (stopCopying_) {
      p_.dialogs.messageBox(L"Copying stopped: " + std::to_wstring(copied) + L" of " +
                                std::to_wstring(n) +
                                L" files copied.\rThe files not yet "
                                L"copied are still in the list.",
                            platform::box::kInformation, L"");
      return;
    }
    setTitle(L" - Copy File(s):  " + std::to_wstring(n - i) + L"/" + std::to_wstring(n));
    const std::wstring entry = ListBox.items()[static_cast<std::size_t>(i)];
    // The same directory the copy goes to: without the quotes of Explorer's "Copy as path".
    const std::wstring checkPath = prepared + GetFileNamePart(entry);
    bool copy = false;
    // Nothing is asked about such an entry, and nothing in the target is touched.
    const auto refusal = Files::Refusal(p_.fileSystem, entry, checkPath);
    if (refusal) {
      ++wanted;
      reportFailedSave(entry, *refusal, L"Not copied:");
    }
    switch (refusal ? platform::Lookup::NotFound : p_.fileSystem.findFile(checkPath)) {
      case platform::Lookup::NotFound:
        copy = !refusal;
        break;
      case platform::Lookup::Failed:
        ++wanted;
        reportFailedSave(checkPath, p_.process.errorText(platform::error::kInvalidName),
                         L"The file was not copied:");
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
    if (copy) {
      ++wanted;
      const auto copy = Files::CopyFileToDirectory(p_, handle(), entry, directory);
      copied += copy.ok();
      if (!copy.ok()) {
        p_.dialogs.messageBox(copy.code() == util::Status::kNoCode
                                  ? L"Operation Failed\r" + entry
                                  : textOf(copy) + L"\rFile: " + entry,
                              platform::box::kOkOnly, L"");
      }
    }
    ListBox.removeItem(i);
    p_.process.processPendingMessages();
  }
  // A run copied what it was asked to only when every such file arrived.
  p_.process.exit(copied > 0 && copied == wanted ? platform::exitcode::kSaved
                                                 : platform::exitcode::kOther);
}

void Form1::askToStopCopying() {
  if (p_.dialogs.messageBox(L"Stop copying after this file?", platform::box::kYesNoQuestion,
                            L"Stop copying?") == platform::answer::kYes) {
    stopCopying_ = true;
  }
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
  if (copyingFiles())
    return;
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
    done = open.isOpen() && p_.clipboard.clear().ok() && p_.clipboard.setText(list).ok();
  }
  if (!done) {
    p_.dialogs.messageBox(L"The file list could not be put on the clipboard.",
                          platform::box::kCritical, L"");
  }
}
