#include "app/Form1.h"

#include "target/Registry.h"
#include "util/Phases.h"

namespace {

// The window's frame around its client area, until the real window reports its own.
constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 705;

constexpr wchar_t kDatePrefixToolTip[] = L"Add Date and Time as prefix to the Filename(s)";
constexpr wchar_t kRichTextDesign[] =
    L"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
    L"\\viewkind4\\uc1\\pard\\lang1031\\f0\\fs23 RichText\\par\r\n}\r\n";

template <class T>
T& place(T& control, int left, int top, int width, int height) {
  control.setBounds(left, top, width, height);
  return control;
}

ui::CommandButton& button(ui::Form& f, const wchar_t* name, ui::Container* parent,
                          const wchar_t* caption, int l, int t, int w, int h) {
  auto& b = place(f.add<ui::CommandButton>(name, parent), l, t, w, h);
  b.setCaption(caption);
  return b;
}

ui::CheckBox& check(ui::Form& f, const wchar_t* name, ui::Container* parent, const wchar_t* caption,
                    const wchar_t* tip, int l, int t, int w, int h) {
  auto& c = place(f.add<ui::CheckBox>(name, parent), l, t, w, h);
  c.setCaption(caption);
  c.setToolTip(tip);
  return c;
}

ui::Label& link(ui::Form& f, const wchar_t* name, ui::Container* parent, const wchar_t* caption,
                const wchar_t* tip, int l, int t, int w, int h) {
  auto& c = place(f.add<ui::Label>(name, parent), l, t, w, h);
  c.setCaption(caption);
  c.setToolTip(tip);
  c.setFont(ui::FontFace::MsSansSerif);
  return c;
}

// The hidden store of mode images; index 4 holds no image.
std::array<ui::PictureBox*, 5> makeStore(ui::Form& f, ui::Frame& store) {
  const std::array<ui::ImageId, 5> images = {ui::ImageId::ModeFiles, ui::ImageId::ModeText,
                                             ui::ImageId::ModePicture, ui::ImageId::ModeRichText,
                                             ui::ImageId::None};
  const std::array<std::array<int, 4>, 5> bounds = {{{120, 240, 855, 900},
                                                     {1080, 240, 720, 720},
                                                     {1920, 240, 840, 840},
                                                     {120, 1200, 720, 720},
                                                     {1440, 2040, 735, 375}}};
  std::array<ui::PictureBox*, 5> pics{};
  for (std::size_t i = 0; i < pics.size(); ++i) {
    auto& pic = f.add<ui::PictureBox>(L"TmpPic(" + std::to_wstring(i) + L")", &store);
    const auto& b = bounds[i];
    pic.setBounds(b[0], b[1], b[2], b[3]);
    if (images[i] != ui::ImageId::None)
      pic.setImage(images[i]);
    pics[i] = &pic;
  }
  return pics;
}

}  // namespace

Form1::Form1(const platform::Platform& p)
    : ui::Form(L"Form1"),
      ConvertTxtBtn(button(*this, L"ConvertTxtBtn", nullptr, L"-> TXT", 5760, 1920, 735, 375)),
      AlwaysOnTop1(p, *this, L"AlwaysOnTop1", 0, 0),
      SaveURLBtn(button(*this, L"SaveURLBtn", nullptr, L"Save as --> .URL", 240, 2400, 1575, 375)),
      PicturesFrame(place(add<ui::Frame>(L"PicturesFrame"), 9840, 2640, 2775, 2775)),
      TmpPic(makeStore(*this, PicturesFrame)),
      ListBox(place(add<ui::ListBox>(L"ListBox"), 6600, 3360, 2895, 1260)),
      ClipPic(place(add<ui::PictureBox>(L"ClipPic"), 5295, 1815, 3015, 1455)),
      ResizeBtn(button(*this, L"ResizeBtn", &ClipPic, L"", 120, 120, 735, 615)),
      ClipText(place(add<ui::TextBox>(L"ClipText"), 120, 1920, 6735, 3975)),
      Frame1(place(add<ui::Frame>(L"Frame1"), 0, 0, 14055, 1815)),
      AddTimeCheck(check(*this, L"AddTimeCheck", &Frame1, L"Add Time", kDatePrefixToolTip, 3840,
                         1320, 1575, 255)),
      Picture1(place(add<ui::PictureBox>(L"Picture1", &Frame1), 6240, 480, 480, 480)),
      AddDirBtn(place(add<ui::PictureBox>(L"AddDirBtn", &Frame1), 6780, 75, 375, 375)),
      Helpbtn(button(*this, L"Helpbtn", &Frame1, L"?", 5760, 360, 255, 225)),
      ContextMenuCheck(check(*this, L"ContextMenuCheck", &Frame1, L"Add to Context-Menu",
                             L"Add Brimlo to Windows-Context-Menu", 5520, 1320, 2535, 195)),
      FNText(place(add<ui::TextBox>(L"FNText", &Frame1), 120, 480, 5895, 360)),
      OpenFileCheck(check(*this, L"OpenFileCheck", &Frame1, L"Open file",
                          L"Open Target after saving.", 5520, 1080, 1935, 255)),
      CancleBtn(button(*this, L"CancleBtn", &Frame1, L"", 2640, 1080, 645, 510)),
      Path(place(add<ui::TextBox>(L"Path", &Frame1), 120, 120, 6615, 285)),
      AddDatecheck(check(*this, L"AddDatecheck", &Frame1, L"Add Date", kDatePrefixToolTip, 3840,
                         1080, 1695, 255)),
      SaveTxtBtn(button(*this, L"SaveTxtBtn", &Frame1, L"&Save as Text", 120, 1080, 2415, 495)),
      SavePictureBtn(
          button(*this, L"SavePictureBtn", &Frame1, L"&Save as JPEG", 120, 1080, 2415, 495)),
      SaveFilesBtn(
          button(*this, L"SaveFilesBtn", &Frame1, L"&Copy File(s) ..", 120, 1080, 2415, 495)),
      Line1(add<ui::Line>(L"Line1", &Frame1)),
      wwwBtn(link(*this, L"wwwBtn", &Frame1, L"Web", L"Homepage", 9000, 1485, 345, 195)),
      UpdateBtn(link(*this, L"UpdateBtn", &Frame1, L"Update", L"Check for online-Updates", 8250,
                     1500, 525, 195)),
      RichText(place(add<ui::RichTextBox>(L"RichText"), 120, 1920, 6495, 4215)),
      p_(p) {
  setDesignBounds(120, 450, 9885, 5790, kFrameWidth, kFrameHeight);
  setCaption(L"Brimlo");
  setBackColor(0x00FFFFFF);

  ConvertTxtBtn.setGraphical(true);
  ConvertTxtBtn.setToolTip(L"Convert to plain text");
  SaveURLBtn.setGraphical(true);
  PicturesFrame.setCaption(L"Frame2");
  // Only a store of the mode images: never drawn, also not once the window is widened.
  PicturesFrame.setVisible(false);

  ListBox.setToolTip(L"Double-Click = Remove from list, right click = Copy list to clipboard");
  ListBox.setFont(ui::FontFace::MsSansSerif);
  ResizeBtn.setGraphical(true);
  ResizeBtn.setImage(ui::ImageId::Resize);
  // It has no tooltip; a screen reader still names it.
  ResizeBtn.setAccessibleName(L"Resize picture");
  ClipText.setText(L"Text1");
  ClipText.setMultiLine(true);
  ClipText.setFont(ui::FontFace::CourierNew);
  Frame1.setBackColor(0x00FFFFFF);
  Picture1.setToolTip(L"Show Command-Line Parameter");
  AddDirBtn.setImage(ui::ImageId::NewFolder);
  AddDirBtn.setToolTip(L"Create Directories");
  FNText.setToolTip(L"Target Filename ");
  FNText.setFont(ui::FontFace::MsSansSerif);
  CancleBtn.setGraphical(true);
  CancleBtn.setImage(ui::ImageId::Exit);
  CancleBtn.setToolTip(L"Exit Program");
  CancleBtn.setFont(ui::FontFace::MsSansSerif);
  Path.setText(L"Text1");
  Path.setFont(ui::FontFace::MsSansSerif);
  SaveTxtBtn.setFont(ui::FontFace::Arial);
  SavePictureBtn.setFont(ui::FontFace::Arial);
  SaveFilesBtn.setFont(ui::FontFace::Arial);
  Line1.setEnds(0, 1800, 14055, 1800);
  Line1.setLineColor(0x00808080);
  RichText.setFont(ui::FontFace::Arial);
  RichText.setTextRTF(kRichTextDesign);

  wireEvents();
}

void Form1::wireEvents() {
  onLoad = [this] { Form_Load(); };
  onKeyDown = [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); };
  onKeyPress = [this](int& keyAscii) { Form_KeyPress(keyAscii); };
  onResize = [this] { Form_Resize(); };
  onClose = [this] { Form_Unload(); };
  CancleBtn.onClick = [this] { CancleBtn_Click(); };
  ResizeBtn.onClick = [this] { ResizeBtn_Click(); };
  Frame1.onMouseMove = [this](int b, int s, int x, int y) { Frame1_MouseMove(b, s, x, y); };
  Helpbtn.onClick = [this] { Helpbtn_Click(); };
  Picture1.onClick = [this] { Picture1_Click(); };
  Picture1.onMouseMove = [this](int b, int s, int x, int y) { Picture1_MouseMove(b, s, x, y); };
  ClipText.onChange = [this] { ClipText_Change(); };
  ClipText.onGotFocus = [this] { ClipText_GotFocus(); };
  ClipPic.onClick = [this] { ClipPic_Click(); };
  SaveTxtBtn.onClick = [this] { SaveTxtBtn_Click(); };
  SavePictureBtn.onClick = [this] { SavePictureBtn_Click(); };
  SaveFilesBtn.onClick = [this] { SaveFilesBtn_Click(); };
  SaveURLBtn.onClick = [this] { SaveURLBtn_Click(); };
  ConvertTxtBtn.onClick = [this] { ConvertTxtBtn_Click(); };
  ListBox.onDblClick = [this] { ListBox_DblClick(); };
  ListBox.onMouseDown = [this](int b, int s, int x, int y) { ListBox_MouseDown(b, s, x, y); };
  Path.onChange = [this] { Path_Change(); };
  Path.onGotFocus = [this] { Path_GotFocus(); };
  Path.onLostFocus = [this] { Path_LostFocus(); };
  Path.onKeyPress = [this](int& k) { Path_KeyPress(k); };
  AddDirBtn.onClick = [this] { AddDirBtn_Click(); };
  AddDirBtn.onMouseMove = [this](int b, int s, int x, int y) { AddDirBtn_MouseMove(b, s, x, y); };
  AddDatecheck.onClick = [this] { AddDatecheck_Click(); };
  AddTimeCheck.onClick = [this] { AddTimeCheck_Click(); };
  OpenFileCheck.onClick = [this] { OpenFileCheck_Click(); };
  FNText.onGotFocus = [this] { FNText_GotFocus(); };
  FNText.onKeyPress = [this](int& k) { FNText_KeyPress(k); };
  ContextMenuCheck.onClick = [this] { ContextMenuCheck_Click(); };
  wwwBtn.onClick = [this] { wwwBtn_Click(); };
  UpdateBtn.onClick = [this] { UpdateBtn_Click(); };
}

void Form1::Form_Load() {
  if (const auto loaded = Registry::LoadWindowPos(p_, name()); !loaded.ok())
    p_.dialogs.messageBox(loaded.text(), platform::box::kOkOnly, L"");
  phases::mark("place_read");
  // The start always completes: whatever the refresh managed to set is shown.
  updateFromClipboard();
}

void Form1::exitProgram(int status) {
  if (windowState() != ui::WindowState::Minimized)
    Registry::SaveWindowPos(p_, name());
  p_.process.exit(status);
}

void Form1::CancleBtn_Click() {
  // During a copy the exit button stops it between two files, keeping what was copied.
  if (copyingFiles()) {
    askToStopCopying();
    return;
  }
  exitProgram();
}

void Form1::Form_KeyDown(int& keyCode, int shift) {
  // A refresh would replace the list the copy loop works through.
  if (keyCode != platform::key::kF5 || shift != 0 || copyingFiles())
    return;
  // A directory the user typed survives the refresh, which sets it back to the current one.
  const std::wstring typedPath = Path.text();
  updateFromClipboard();
  Form_Resize();
  Path.setText(typedPath);
}

void Form1::Form_KeyPress(int& keyAscii) {
  if (keyAscii == platform::key::kEscape)
    CancleBtn_Click();
}

void Form1::Form_Unload() {
  // Closing the window ends the program without storing its position.
  p_.process.exit(platform::exitcode::kOther);
}
