// The clipboard inspection: chooses the save mode and prepares the whole window for it.
#include "app/ClipBoard_Tools.h"
#include "app/Form1.h"
#include "save/Paths.h"
#include "util/Phases.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;

constexpr ui::Color kPicturePanel = 0x00FFBFC0;
constexpr ui::Color kTextPanel = 0x00E0E0E0;
constexpr ui::Color kFilesPanel = 0x00C9CEB8;
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
  // ContextMenuCheck is deliberately not shown again: once a file list hid it, it stays hidden.
}

const Form1::OptionKeys* Form1::optionKeys() const {
  if (SavePictureBtn.visible())
    return &kPictureOptions;
  if (SaveTxtBtn.visible())
    return &kTextOptions;
  return nullptr;
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
                               std::initializer_list<const wchar_t*> known,
                               const wchar_t* extension) {
  // The test covers the current directory too, so an extension-like part of it counts.
  const std::wstring whole = AddTrailingSeparator(p_.process.currentDirectory()) + requested;
  for (const wchar_t* k : known) {
    if (text::containsNoCase(whole, k))
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
    showFileList();
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
  Frame1.setBackColor(kPicturePanel);
  Picture1.setImage(TmpPic[2]->image());
  restoreOptions(kPictureOptions);
  if (request.defaultName)
    request.name += L"_Screenshot";
  FNText.setText(withoutDirectory(request.name));
  applyExtensionRule(request.name, {L".jpg", L".jpeg"}, L".JPG");
  SavePictureBtn.setVisible(true);
  setCaption(std::wstring(kVersionTitle) + L" - Save Graphic (.JPG)");
  if (png) {
    setPicture(*png);
  } else {
    pictureOnClipboard_ = true;
    if (!BatchMode)
      takeHeldPicture();
  }
  ClipPic.setPicture(picture());
  ResizeBtn_Click();
  ClipPic.setVisible(true);
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
  Frame1.setBackColor(kTextPanel);
  Picture1.setImage(TmpPic[1]->image());
  restoreOptions(kTextOptions);
  if (request.defaultName)
    request.name += L"_Text";
  FNText.setText(withoutDirectory(request.name));
  SaveTxtBtn.setVisible(true);
  if (p_.clipboard.isFormatAvailable(ClipFormat::Rtf)) {
    RichText.clear();
    applyExtensionRule(request.name, {L".rtf"}, L".RTF");
    setCaption(std::wstring(kVersionTitle) + L" - Save Formated Clipboard Text (.rtf)");
    SaveTxtBtn.setCaption(L"&Save as RTF");
    Picture1.setImage(TmpPic[3]->image());
    RichText.setVisible(true);
    ConvertTxtBtn.setVisible(true);
    rtfOnClipboard_ = true;
    if (!BatchMode)
      takeHeldRtf();
    return;
  }
  applyExtensionRule(request.name, {L".txt"}, L".TXT");
  SaveTxtBtn.setCaption(L"&Save as Text");
  setCaption(std::wstring(kVersionTitle) + L" - Save Clipboard Text (.txt)");
  textOnClipboard_ = true;
  if (!BatchMode)
    takeHeldText();
  ClipText.setVisible(true);
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

void Form1::showFileList() {
  ConvertTxtBtn.setVisible(true);
  Frame1.setBackColor(kFilesPanel);
  setCaption(std::wstring(kVersionTitle) + L" - Copy Files..");
  SaveFilesBtn.setVisible(true);
  FNText.setVisible(false);
  FNText.setText(L"");
  ContextMenuCheck.setVisible(false);
  OpenFileCheck.setVisible(false);
  AddDatecheck.setVisible(false);
  AddTimeCheck.setVisible(false);
  Picture1.setImage(TmpPic[0]->image());
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
  ListBox.setVisible(true);
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
