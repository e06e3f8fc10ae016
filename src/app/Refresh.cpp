// The clipboard inspection: chooses the save mode and prepares the whole window for it.
#include "app/ClipBoard_Tools.h"
#include "app/Form1.h"
#include "app/Modes.h"
#include "save/Paths.h"
#include "util/Phases.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;

constexpr int kFilesModeImageLeft = 4800;
constexpr int kListBoxPlace = 120;

// The part of a requested name after its directory part.
std::wstring withoutDirectory(const std::wstring& name) {
  const auto pos = name.find_last_of(L"\\/");
  return pos == std::wstring::npos ? name : name.substr(pos + 1);
}

}  // namespace

std::wstring Form1::twoDigits(int value) {
  std::wstring s = std::to_wstring(value);
  if (s.size() == 1)
    s = L"0" + s;
  return s;
}

bool Form1::IsWebAddress(const std::wstring& text) {
  // One pass, however long the text: a carriage return ends it, and "//" or "www." in any
  // letter case counts. ("w" | 0x20 is "w" for both letter cases and no other character.)
  bool found = false;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const wchar_t c = text[i];
    if (c == L'\r')
      return false;
    if (found)
      continue;
    if (c == L'/') {
      found = i + 1 < n && text[i + 1] == L'/';
    } else if ((c | 0x20) == L'w' && i + 3 < n) {
      found = (text[i + 1] | 0x20) == L'w' && (text[i + 2] | 0x20) == L'w' && text[i + 3] == L'.';
    }
  }
  return found;
}

void Form1::buildFormatTable() {
  FormatTable = {{{L"Link", ClipFormat::Link},
                  {L"Text", ClipFormat::Text},
                  {L"Bitmap", ClipFormat::Bitmap},
                  {L"Metafile", ClipFormat::MetafilePict},
                  {L"DIB", ClipFormat::Dib},
                  {L"Palette", ClipFormat::Palette},
                  {L"RTF", ClipFormat::Rtf},
                  {L"Files", ClipFormat::HDrop},
                  {L"PNG", ClipFormat::Png},
                  {L"Unknown", ClipFormat::Text}}};
}

std::wstring Form1::probeRefusedFormat() {
  constexpr unsigned kProbed = 9;
  for (unsigned i = 0; i < kProbed; ++i) {
    // The probe also asks for the standard format whose number is the entry's index.
    if (p_.clipboard.isFormatAvailable(FormatTable[i].format) ||
        p_.clipboard.isStandardFormatAvailable(i)) {
      return FormatTable[i].name;
    }
  }
  return FormatTable[kProbed].name;
}

void Form1::resetModeControls() {
  SaveURLBtn.setVisible(false);
  ListBox.setVisible(false);
  ClipText.setVisible(false);
  setPicture(nullptr);
  ClipPic.setVisible(false);
  AddTimeCheck.setVisible(true);
  AddDatecheck.setVisible(true);
  OpenFileCheck.setVisible(true);
  FNText.setVisible(true);
  RichText.setVisible(false);
  RichText.setEnabled(true);
  ConvertTxtBtn.setVisible(false);
  SaveFilesBtn.setVisible(false);
  SaveTxtBtn.setVisible(false);
  SavePictureBtn.setVisible(false);
  ListBox.clear();
  // The list goes where the previews are, below the top panel: at the panel's own top it would
  // hide the copy button and the directory field.
  ListBox.setTop(ClipText.top());
  ListBox.setLeft(kListBoxPlace);
  ClipPic.setLeft(0);
  Picture1.setImage(ui::ImageId::Icon);
  Frame1.setLeft(0);
  mode_ = nullptr;
  // ContextMenuCheck is deliberately not shown again: once a file list hid it, it stays hidden.
}

const Form1::OptionKeys* Form1::optionKeys() const {
  // Options are remembered only while the mode's save button is there to use them.
  return mode_ != nullptr && mode_->saveButton(*this).visible() ? mode_->options : nullptr;
}

ui::ImageId Form1::modeImage(const Mode& mode) const {
  return TmpPic[static_cast<std::size_t>(mode.image)]->image();
}

void Form1::setTitle(const std::wstring& suffix) {
  setCaption(kVersionTitle + suffix);
}

void Form1::showMode(const Mode& mode, Request& request) {
  Frame1.setBackColor(mode.panel);
  Picture1.setImage(modeImage(mode));
  ui::CommandButton& save = mode.saveButton(*this);
  save.setVisible(true);
  if (mode.saveCaption != nullptr)
    save.setCaption(mode.saveCaption);
  setTitle(mode.title);
  if (mode.options == nullptr) {
    // Nothing to name: the name field and its options go.
    for (ui::Control* c : std::initializer_list<ui::Control*>{&FNText, &OpenFileCheck,
                                                              &AddDatecheck, &AddTimeCheck}) {
      c->setVisible(false);
    }
    FNText.setText(L"");
  } else {
    // Restored before the mode is taken: restoring a box stores nothing.
    restoreOptions(*mode.options);
    if (request.defaultName)
      request.name += mode.nameSuffix;
    FNText.setText(withoutDirectory(request.name));
    applyExtensionRule(request.name, mode.known, mode.extension);
  }
  mode_ = &mode;
}

void Form1::restoreOptions(const OptionKeys& keys) {
  const std::array<std::pair<ui::CheckBox*, const Settings::Row*>, 3> boxes = {
      {{&OpenFileCheck, keys.openFile},
       {&AddDatecheck, keys.addDate},
       {&AddTimeCheck, keys.addTime}}};
  for (const auto& [box, row] : boxes) {
    const std::wstring stored = Settings::read(p_, *row, std::to_wstring(box->value()));
    // A stored text that is no valid box value leaves the box as it was.
    if (auto value = text::toInt32(stored)) {
      const bool accepted = box->setValue(*value);
      (void)accepted;
    }
  }
}

void Form1::applyExtensionRule(const std::wstring& requested,
                               const std::array<const wchar_t*, 2>& known,
                               const wchar_t* extension) {
  // The test covers the current directory too, so an extension-like part of it counts.
  const std::wstring whole = AddTrailingSeparator(p_.process.currentDirectory()) + requested;
  for (const wchar_t* k : known) {
    if (k != nullptr && text::containsNoCase(whole, k))
      return;
  }
  FNText.setText(FNText.text() + extension);
}

void Form1::updateFromClipboard() {
  resetModeControls();
  buildFormatTable();
  unreadReason_.clear();
  pictureOnClipboard_ = false;
  textOnClipboard_ = false;
  rtfOnClipboard_ = false;
  heldRtf_.reset();
  phases::mark("refresh");
  Request request = readCommandLine();
  const auto png = pngInsteadOfRefusal();
  if (png || p_.clipboard.isFormatAvailable(ClipFormat::Bitmap)) {
    showPicture(request, png);
  } else if (p_.clipboard.isFormatAvailable(ClipFormat::Text)) {
    showText(request);
  } else if (p_.clipboard.isFormatAvailable(ClipFormat::HDrop)) {
    showFileList(request);
  } else {
    p_.dialogs.messageBox(
        L"The current clipboard-Format:  '" + probeRefusedFormat() + L"'  is not supported!",
        platform::box::kInformation, L"Sorry - no supported format!");
    exitProgram(platform::exitcode::kRefused);
  }
  phases::mark("content_read");
  proposeDirectory(request);
  applyPrefixes();
  if (BatchMode) {
    if (SavePictureBtn.visible()) {
      SavePictureBtn_Click();
      // Not saved: the window shows the picture after all.
      takeHeldPicture();
    } else if (SaveTxtBtn.visible()) {
      SaveTxtBtn_Click();
      takeHeldText();
      takeHeldRtf();
    }
  } else {
    AlwaysOnTop1.SetToTop();
  }
  if (request.commandLine.find(L'?') != std::wstring::npos)
    Helpbtn_Click();
  showWindowForMode();
  phases::mark("shown");
}

Form1::Request Form1::readCommandLine() {
  // "-b" at the very start asks for a batch run, the rest names the file.
  Request r;
  r.commandLine = p_.process.commandLine();
  BatchMode = r.commandLine.size() >= 2 && text::toLower(r.commandLine.substr(0, 2)) == L"-b";
  if (!r.commandLine.empty())
    r.name = BatchMode ? text::trim(r.commandLine.substr(2)) : r.commandLine;
  // A name that ends in a separator names only the directory: the file gets the default name
  // there, not a bare extension such as ".TXT".
  r.defaultName = r.name.empty() || text::endsWithSeparator(r.name);
  if (r.defaultName)
    r.name += GetFolderName(p_.process.currentDirectory());
  return r;
}

std::optional<std::shared_ptr<platform::Picture>> Form1::pngInsteadOfRefusal() {
  // Linux programs offer pictures as PNG alone. Such a picture is taken only where the content
  // would be refused otherwise, and decoded first: a PNG that cannot be decoded is refused.
  if (p_.clipboard.isFormatAvailable(ClipFormat::Bitmap) ||
      p_.clipboard.isFormatAvailable(ClipFormat::Text) ||
      p_.clipboard.isFormatAvailable(ClipFormat::HDrop) ||
      !p_.clipboard.isFormatAvailable(ClipFormat::Png)) {
    return std::nullopt;
  }
  const auto bytes = readClipboard([this] { return p_.clipboard.png(); }, kPictureUnread);
  if (!bytes)  // not read at all: a picture not read yet, as an unreadable bitmap is
    return std::shared_ptr<platform::Picture>();
  auto picture = ClipBoard_Tools::PictureFromPng(p_.gdiplus, *bytes);
  if (!picture)
    return std::nullopt;
  return picture;
}

void Form1::showPicture(Request& request,
                        const std::optional<std::shared_ptr<platform::Picture>>& png) {
  showMode(modes::kPicture, request);
  if (png) {
    setPicture(*png);
  } else {
    pictureOnClipboard_ = true;
    if (!BatchMode)
      takeHeldPicture();
  }
  ClipPic.setPicture(picture());
  ResizeBtn_Click();
  mode_->preview(*this).setVisible(true);
}

void Form1::takeHeldPicture() {
  if (!pictureOnClipboard_)
    return;
  pictureOnClipboard_ = false;
  {
    platform::OpenClipboard open(p_.clipboard);
    // A bitmap that cannot be read leaves the held picture empty; the mode stays.
    if (!open.isOpen()) {
      unreadReason_ = kClipboardHeld;
    } else {
      setPicture(p_.clipboard.bitmap());
      if (!picture())
        unreadReason_ = kPictureUnread;
    }
  }
  ClipPic.setPicture(picture());
  if (PictureFitted)
    FitPictureToPreview();
}

void Form1::showText(Request& request) {
  if (p_.clipboard.isFormatAvailable(ClipFormat::Rtf)) {
    showMode(modes::kRichText, request);
    RichText.clear();
    mode_->preview(*this).setVisible(true);
    ConvertTxtBtn.setVisible(true);
    rtfOnClipboard_ = true;
    if (!BatchMode)
      takeHeldRtf();
    return;
  }
  showMode(modes::kText, request);
  textOnClipboard_ = true;
  if (!BatchMode)
    takeHeldText();
  mode_->preview(*this).setVisible(true);
}

void Form1::takeHeldText() {
  if (!textOnClipboard_)
    return;
  textOnClipboard_ = false;
  auto clipboardText = readClipboard([this] { return p_.clipboard.text(); }, kTextUnread);
  // A failed read keeps the preview as it was.
  if (!clipboardText)
    return;
  // The same text as before runs no change handler, and the reset hid the URL button.
  const bool same = *clipboardText == ClipText.text();
  ClipText.setText(std::move(*clipboardText));
  if (same)
    ClipText_Change();
}

void Form1::takeHeldRtf() {
  if (!rtfOnClipboard_)
    return;
  rtfOnClipboard_ = false;
  // A document that is no RTF would leave the control empty, which would look like an empty
  // document: it counts as not read.
  auto document = readClipboard(
      [this] {
        auto rtf = p_.clipboard.rtf();
        return rtf && rtf->starts_with("{\\rtf") ? rtf : std::nullopt;
      },
      kRtfUnread);
  if (!document)
    return;
  if (document->size() <= kRichPreviewBytes) {
    // The control takes the clipboard's content itself, as it prefers it.
    ClipBoard_Tools::PasteToControl(RichText);
    RichText.setSelStart(0);
    return;
  }
  // Too large for the control: a note instead, nothing to edit and nothing to convert there.
  RichText.setTextRTF(L"{\\rtf1\\ansi [The formatted text has " +
                      std::to_wstring(document->size()) +
                      L" bytes, too many for the preview; the whole document is saved as it "
                      L"stands on the clipboard.]\\par}");
  RichText.setEnabled(false);
  ConvertTxtBtn.setVisible(false);
  heldRtf_ = std::move(document);
}

void Form1::showFileList(Request& request) {
  showMode(modes::kFiles, request);
  ConvertTxtBtn.setVisible(true);
  ContextMenuCheck.setVisible(false);
  Picture1.setLeft(kFilesModeImageLeft);
  // An empty list could also mean a list that could not be read.
  {
    const platform::OpenClipboard open(p_.clipboard);
    if (!open.isOpen()) {
      unreadReason_ = kClipboardHeld;
    } else if (!p_.clipboard.hasFileList()) {
      unreadReason_ = kFilesUnread;
    }
  }
  std::vector<std::wstring> names;
  std::uint32_t unreadable = 0;
  const int count = ClipBoard_Tools::GetClipboardFiles(p_.clipboard, names, unreadable);
  names.resize(static_cast<std::size_t>(count));
  ListBox.addItems(names);
  mode_->preview(*this).setVisible(true);
  if (unreadable > 0) {
    p_.dialogs.messageBox(std::to_wstring(unreadable) +
                              L" file name(s) on the clipboard could not be read and are not "
                              L"in the list.",
                          platform::box::kCritical, L"");
  }
}

void Form1::proposeDirectory(const Request& request) {
  // The current directory, or the directory part of a requested name.
  Path.setText(AddTrailingSeparator(p_.process.currentDirectory()));
  if (text::hasSeparator(request.name))
    Path.setText(GetDirectoryPart(p_.fileSystem, request.name));
  Path.setSelStart(static_cast<int>(Path.text().size()));
}

void Form1::applyPrefixes() {
  const platform::LocalTime now = p_.clock.now();
  DatePrefix = std::to_wstring(now.year).substr(2, 2) + L"." + twoDigits(now.month) + L"." +
               twoDigits(now.day) + L"_";
  TimePrefix =
      twoDigits(now.hour) + L"-" + twoDigits(now.minute) + L"-" + twoDigits(now.second) + L"_";
  // With both options the time comes first.
  if (AddDatecheck.value() == 1)
    FNText.setText(DatePrefix + FNText.text());
  if (AddTimeCheck.value() == 1)
    FNText.setText(TimePrefix + FNText.text());
}

void Form1::showWindowForMode() {
  show();
  for (ui::CommandButton* b : {&SaveFilesBtn, &SaveTxtBtn, &SavePictureBtn}) {
    if (b->visible())
      setFocus(*b);
  }
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&Path, &AddDatecheck, &AddTimeCheck, &OpenFileCheck,
                                           &ContextMenuCheck, &AddDirBtn, &Picture1}) {
    c->setBackColor(Frame1.backColor());
  }
  Form_Resize();
  // In the file-list mode the name field is hidden: the focus stays on the copy button.
  setFocus(FNText);
}
