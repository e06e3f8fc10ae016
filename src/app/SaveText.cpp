// Saving text, formatted text and Internet shortcuts, and the "-> TXT" conversion.
#include "app/Form1.h"
#include "app/Modes.h"
#include "save/Paths.h"
#include "save/TextFile.h"
#include "util/Text.h"

void Form1::SaveTxtBtn_Click() {
  const std::wstring target = composeTarget();
  // A shortcut and a formatted text open in Explorer, any other text in its own program.
  const wchar_t* opener =
      text::endsWithNoCase(target, L".url") || text::endsWithNoCase(target, L".rtf")
          ? L"Explorer.exe  "
          : nullptr;
  if (!ClipText.visible() && !RichText.visible()) {
    p_.dialogs.messageBox(L"Error 42 - saving TXT-File", platform::box::kOkOnly, L"");
    openSaved(target, opener);
    exitProgram(platform::exitcode::kOther);
  }
  saveFile(target, {.bytes = [this](std::wstring& reason) { return textFileBytes(reason); },
                    .opener = opener,
                    .storePosition = true,
                    .beep = mode_ != nullptr && mode_->beep});
}

std::optional<std::string> Form1::textFileBytes(std::wstring& reason) {
  if (!ClipText.visible()) {
    if (heldRtf_)
      return heldRtf_;
    if (rtfOnClipboard_) {
      // A batch run saves the clipboard's own document: the rich edit control never sees it.
      const platform::OpenClipboard open(p_.clipboard);
      auto document = open.isOpen() ? p_.clipboard.rtf() : std::nullopt;
      if (!document || !document->starts_with("{\\rtf")) {
        reason = open.isOpen() ? kRtfUnread : kClipboardHeld;
        return std::nullopt;
      }
      return document;
    }
    auto document = RichText.rtfDocument();
    // A box whose window could not be made writes nothing at all: no document to save.
    if (!document || !document->starts_with("{\\rtf")) {
      reason = L"The formatted text could not be written as RTF.";
      return std::nullopt;
    }
    return document;
  }
  if (!textOnClipboard_)
    return EncodeTextFile(p_.codepage, ClipText.text());
  // A batch run turns the clipboard's own text into the file's bytes in one pass, while it holds
  // the clipboard open: no copy of a text of many megabytes.
  const platform::OpenClipboard open(p_.clipboard);
  const auto text = open.isOpen() ? p_.clipboard.borrowedText() : std::nullopt;
  if (!text) {
    reason = open.isOpen() ? kTextUnread : kClipboardHeld;
    return std::nullopt;
  }
  return EncodeTextFile(p_.codepage, *text);
}

void Form1::ConvertTxtBtn_Click() {
  if (copyingFiles())
    return;
  // From the file list or the formatted text to the plain text's row.
  const Mode& from = ListBox.visible() ? modes::kFiles : modes::kRichText;
  const Mode& to = modes::kText;
  ClipText.setText(&from == &modes::kFiles ? fileListText() : RichText.text());
  to.preview(*this).setVisible(true);
  from.preview(*this).setVisible(false);
  to.saveButton(*this).setCaption(to.saveCaption);
  FNText.setText(ReplaceText(FNText.text(), modes::kRichText.extension, to.extension));
  if (&from == &modes::kFiles)
    proposeTextNameForList();
  mode_ = &to;
  setTitle(to.title);
  Picture1.setImage(modeImage(to));
  ConvertTxtBtn.setVisible(false);
  Form_Resize();
}

void Form1::proposeTextNameForList() {
  // The list becomes a text to save: offer the name and options a text refresh would.
  const Mode& to = modes::kText;
  modes::kFiles.saveButton(*this).setVisible(false);
  restoreOptions(*to.options);
  std::wstring name = GetFolderName(p_.process.currentDirectory()) + to.nameSuffix + to.extension;
  if (AddDatecheck.value() == 1)
    name = DatePrefix + name;
  if (AddTimeCheck.value() == 1)
    name = TimePrefix + name;
  FNText.setText(name);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&FNText, &OpenFileCheck, &AddDatecheck,
                                                            &AddTimeCheck, &to.saveButton(*this)}) {
    c->setVisible(true);
  }
  setFocus(FNText);
}

void Form1::SaveURLBtn_Click() {
  FNText.setText(ReplaceText(FNText.text(), L".txt", L"") + L".url");
  ClipText.setText(L"[InternetShortcut]\r\nURL=" + ClipText.text());
  SaveTxtBtn_Click();
  // Still running: the overwrite was declined or the save failed.
  SaveURLBtn.setVisible(false);
}
