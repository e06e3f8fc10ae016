// The real windows of a small form with one control of each kind: what the user sees matches
// the model, and what the user does reaches the model, once.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"
#include "ui/win32/ControlPeers.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Images.h"

namespace {

// Below 6000 x 3000 twips the window takes 6110 x 3011.
const ui_win32::FormOptions kOptions{6000, 3000, 6110, 3011};

class TestForm : public ui::Form {
 public:
  TestForm() : ui::Form(L"PeerTest") {
    setDesignBounds(300, 300, 7500, 4500, 240, 700);
    setCaption(L"Peer test");
    using Place = std::tuple<ui::Control*, int, int, int, int>;
    for (auto [control, left, top, width, height] :
         {Place{&Panel, 0, 0, 7500, 1500}, Place{&Save, 120, 720, 1800, 480},
          Place{&Name, 120, 120, 4000, 300}, Place{&Option, 2100, 720, 1500, 255},
          Place{&Link, 4500, 120, 600, 200}, Place{&Notes, 120, 1620, 3000, 1200},
          Place{&Files, 3300, 1620, 2000, 1200}, Place{&Preview, 5400, 1620, 1980, 1200},
          Place{&Inner, 60, 60, 735, 615}, Place{&Rich, 120, 3000, 7000, 1400}}) {
      control->setBounds(left, top, width, height);
    }
    Save.setCaption(L"&Save");
    Option.setCaption(L"Option");
    Link.setCaption(L"Web");
    Rule.setEnds(0, 1480, 7500, 1480);
    Notes.setMultiLine(true);
    Inner.setGraphical(true);
    Inner.setImage(ui::ImageId::Resize);
    Rich.setFont(ui::FontFace::Arial);
    Name.setToolTip(L"Target Filename ");
    Option.setToolTip(L"Add Date and Time as prefix");
    Files.setToolTip(L"Double-Click = Remove from list");
    Preview.setToolTip(L"Show Command-Line Parameter");
    Inner.setAccessibleName(L"Resize picture");
  }

  ui::Frame& Panel = add<ui::Frame>(L"Panel");
  ui::CommandButton& Save = add<ui::CommandButton>(L"Save", &Panel);
  ui::TextBox& Name = add<ui::TextBox>(L"Name", &Panel);
  ui::CheckBox& Option = add<ui::CheckBox>(L"Option", &Panel);
  ui::Label& Link = add<ui::Label>(L"Link", &Panel);
  ui::Line& Rule = add<ui::Line>(L"Rule", &Panel);
  ui::TextBox& Notes = add<ui::TextBox>(L"Notes");
  ui::ListBox& Files = add<ui::ListBox>(L"Files");
  ui::PictureBox& Preview = add<ui::PictureBox>(L"Preview");
  ui::CommandButton& Inner = add<ui::CommandButton>(L"Inner", &Preview);
  ui::RichTextBox& Rich = add<ui::RichTextBox>(L"Rich");
};

// A picture of one colour, as the clipboard adapter hands it over.
std::shared_ptr<platform::Picture> solidPicture(int width, int height, COLORREF color) {
  const std::vector<DWORD> pixels(
      static_cast<std::size_t>(width) * height,
      GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color));
  return win32::ownPicture(CreateBitmap(width, height, 1, 32, pixels.data()));
}

std::wstring textOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// What a screen reader hears as the name of the window.
std::wstring accessibleName(HWND hwnd) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object)))) {
    return L"(no accessible object)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  object->get_accName(self, &name);
  std::wstring result = name ? std::wstring(name, SysStringLen(name)) : L"";
  SysFreeString(name);
  object->Release();
  return result;
}

// The window's rectangle in its parent's client pixels.
RECT placeOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LPARAM keyData(UINT vk) {
  return 1 | (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16);
}

// Paints the window's client area into a bitmap and reads one pixel of it.
COLORREF paintedPixel(HWND hwnd, int x, int y) {
  const win32::UniqueDc dc(CreateCompatibleDC(nullptr));
  const win32::UniqueBitmap bitmap(CreateBitmap(200, 200, 1, 32, nullptr));
  const win32::SelectedObject selected = win32::select(dc.get(), bitmap.get());
  SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  return GetPixel(dc.get(), x, y);
}

// The form's window as the program makes it: each control's window made when it first shows.
class PeerWindow : public testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<ui_win32::FormWindow>(form_, GetModuleHandleW(nullptr), kOptions);
    ASSERT_TRUE(window_->create(ui_win32::ControlWindows::WhenShown));
    form_.show();
    pump();
  }
  void TearDown() override {
    window_.reset();
    pump();
  }

  // Runs the queued messages through the window's own message handling.
  void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_QUIT && !(window_ && window_->preTranslate(msg))) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  // Runs the messages until the condition holds (five seconds at most): the window manager takes
  // its time with some changes, longer on a busy machine.
  bool pumpUntil(const std::function<bool()>& condition, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 20) {
      pump();
      if (condition())
        return true;
      Sleep(20);
    }
    return false;
  }
  HWND hwndOf(const ui::Control& control) const { return window_->peerOf(control)->hwnd(); }
  int px(int twips) const { return window_->toPixels(twips); }
  int twips(int pixels) const { return window_->toTwips(pixels); }
  void press(HWND target, UINT vk) {
    PostMessageW(target, WM_KEYDOWN, vk, keyData(vk));
    PostMessageW(target, WM_KEYUP, vk, keyData(vk) | (LPARAM{3} << 30));
    pump();
  }

  TestForm form_;
  std::unique_ptr<ui_win32::FormWindow> window_;
};

TEST_F(PeerWindow, EachControlHasAWindowOfItsKindAtItsPlace) {
  constexpr LONG_PTR kNotAButton = -1;
  struct Case {
    const ui::Control* control;
    const wchar_t* windowClass;
    LONG_PTR styleWanted, styleRefused, buttonType;
    // A screen reader's name: the caption, else the tooltip or the name given for the purpose
    // (null: nothing the user acts on, or a preview field without either).
    const wchar_t* name;
  };
  const Case cases[] = {
      {&form_.Panel, L"BrimloFrame", WS_CLIPCHILDREN, WS_TABSTOP, kNotAButton, nullptr},
      {&form_.Save, L"Button", WS_TABSTOP, BS_BITMAP, BS_PUSHBUTTON, L"Save"},
      {&form_.Name, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE, kNotAButton,
       L"Target Filename "},
      // The model decides the check mark, so the box must not toggle itself.
      {&form_.Option, L"Button", WS_TABSTOP, 0, BS_CHECKBOX, L"Option"},
      {&form_.Link, L"Static", SS_NOTIFY, WS_TABSTOP, kNotAButton, L"Web"},
      {&form_.Notes, L"Edit", ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 0, kNotAButton, nullptr},
      {&form_.Files, L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, LBS_SORT,
       kNotAButton, L"Double-Click = Remove from list"},
      {&form_.Preview, L"BrimloPicture", WS_CLIPCHILDREN, WS_TABSTOP, kNotAButton,
       L"Show Command-Line Parameter"},
      // A graphical button draws itself, in its back colour.
      {&form_.Inner, L"Button", 0, 0, BS_OWNERDRAW, L"Resize picture"},
      {&form_.Rich, L"RichEdit", ES_MULTILINE | WS_TABSTOP, 0, kNotAButton, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.windowClass);
    HWND hwnd = hwndOf(*c.control);
    ASSERT_NE(hwnd, nullptr);
    wchar_t windowClass[64] = {};
    GetClassNameW(hwnd, windowClass, 64);
    EXPECT_EQ(_wcsnicmp(windowClass, c.windowClass, wcslen(c.windowClass)), 0);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & c.styleWanted, c.styleWanted);
    EXPECT_EQ(style & c.styleRefused, 0);
    EXPECT_TRUE(c.buttonType == kNotAButton || (style & BS_TYPEMASK) == c.buttonType);
    EXPECT_EQ(GetParent(hwnd), window_->containerWindow(c.control->parent()));
    const RECT rect = placeOf(hwnd);
    EXPECT_EQ(rect.left, px(c.control->left()));
    EXPECT_EQ(rect.top, px(c.control->top()));
    EXPECT_EQ(rect.right - rect.left, px(c.control->width()));
    EXPECT_EQ(rect.bottom - rect.top, px(c.control->height()));
    if (c.name) {
      EXPECT_EQ(accessibleName(hwnd), c.name);
    }
  }
  // The line is drawn by its container.
  EXPECT_EQ(hwndOf(form_.Rule), nullptr);
  // The client area has the design size, whatever frame this system draws around it.
  RECT client{};
  GetClientRect(window_->hwnd(), &client);
  EXPECT_EQ(client.right, px(7500));
  EXPECT_EQ(client.bottom, px(4500));
  EXPECT_EQ(textOf(window_->hwnd()), L"Peer test");
}

// On any monitor the window snaps below its minimum at once (the layout, snapping too, finds
// nothing left to do), its position stays in twips of the primary screen, and the link's
// caption is never cut off.
TEST_F(PeerWindow, AtEveryDpiTheWindowSnapsPositionsStayPrimaryTwipsAndCaptionsWhole) {
  int resizes = 0;
  form_.onResize = [&] {
    ++resizes;
    if (form_.width() < kOptions.minWidth)
      form_.setWidth(kOptions.snapWidth);
    if (form_.height() < kOptions.minHeight)
      form_.setHeight(kOptions.snapHeight);
  };
  const int primary = window_->dpi();
  HWND hwnd = window_->hwnd();
  HWND link = hwndOf(form_.Link);
  form_.Link.setCaption(L"Check for online-Updates");
  for (const int dpi : {primary, primary * 5 / 4, primary * 3 / 2}) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    // What the system does when the window moves onto a monitor of that DPI.
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
    pump();
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(form_.left(), MulDiv(outer.left, 1440, primary));
    EXPECT_EQ(form_.top(), MulDiv(outer.top, 1440, primary));
    EXPECT_EQ(form_.width(), MulDiv(outer.right - outer.left, 1440, dpi));
    ASSERT_TRUE(form_.setLeft(1500));
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left, MulDiv(1500, primary, 1440));

    RECT needed{};
    {
      const win32::ReleasedDc dc = win32::windowDc(link);
      const win32::SelectedObject font =
          win32::select(dc.get(), reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
      DrawTextW(dc.get(), L"Check for online-Updates", -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    }
    const RECT shown = placeOf(link);
    EXPECT_GE(shown.right - shown.left, needed.right);
    EXPECT_EQ(shown.left, px(form_.Link.left()));

    struct Case {
      int width, height;  // asked for, twips
      int shownWidth, shownHeight;
    };
    const Case cases[] = {{1500, 900, 6110, 3011},
                          {5970, 5000, 6110, 5000},
                          {6060, 2970, 6060, 3011},
                          {6060, 3060, 6060, 3060}};
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
      // The window manager's answers to earlier size changes arrive first.
      pumpUntil([] { return false; }, 300);
      resizes = 0;
      // As the user or the window manager sizes it.
      SetWindowPos(hwnd, nullptr, 0, 0, px(c.width), px(c.height), SWP_NOMOVE | SWP_NOZORDER);
      pump();
      GetWindowRect(hwnd, &outer);
      EXPECT_EQ(outer.right - outer.left, px(c.shownWidth));
      EXPECT_EQ(outer.bottom - outer.top, px(c.shownHeight));
      EXPECT_EQ(form_.width(), twips(px(c.shownWidth)));
      EXPECT_LE(resizes, 1);
    }
  }
  // Dragged at its left edge, the window keeps its right edge.
  RECT before{}, after{};
  GetWindowRect(hwnd, &before);
  SetWindowPos(hwnd, nullptr, before.right - px(1500), before.top, px(1500),
               before.bottom - before.top, SWP_NOZORDER);
  GetWindowRect(hwnd, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.right - after.left, px(kOptions.snapWidth));
}

TEST_F(PeerWindow, SizingTheWindowReachesTheFormAndALayoutSnapIsAppliedAfterwards) {
  int resizes = 0;
  form_.onResize = [&] {
    ++resizes;
    // A layout that snaps back, as the program's does below its smallest size.
    if (form_.windowState() == ui::WindowState::Normal && form_.width() < 9000)
      form_.setWidth(9000);
  };
  HWND hwnd = window_->hwnd();
  SetWindowPos(hwnd, nullptr, 0, 0, px(8000), px(5000), SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GE(resizes, 1);
  pump();
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, px(9000));
  EXPECT_EQ(form_.width(), twips(px(9000)));

  struct Case {
    int show;
    BOOL(WINAPI* in)(HWND);
    bool inState;
    ui::WindowState state;
  };
  const Case cases[] = {{SW_MAXIMIZE, IsZoomed, true, ui::WindowState::Maximized},
                        {SW_RESTORE, IsZoomed, false, ui::WindowState::Normal},
                        {SW_MINIMIZE, IsIconic, true, ui::WindowState::Minimized}};
  for (const Case& c : cases) {
    ShowWindow(hwnd, c.show);
    EXPECT_TRUE(pumpUntil([&] { return (c.in(hwnd) != FALSE) == c.inState; })) << c.show;
    EXPECT_EQ(form_.windowState(), c.state) << c.show;
  }
}

TEST_F(PeerWindow, ChangesMadeByCodeShowInTheWindow) {
  const auto selection = [&](const ui::Control& field) {
    DWORD start = 99, end = 99;
    SendMessageW(hwndOf(field), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return std::pair<DWORD, DWORD>(start, end);
  };
  const auto send = [&](const ui::Control& control, UINT msg) {
    return SendMessageW(hwndOf(control), msg, 0, 0);
  };
  const auto readOnly = [&](const ui::Control& field) {
    return (GetWindowLongW(hwndOf(field), GWL_STYLE) & ES_READONLY) != 0;
  };
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<bool()> shown;
  };
  const Case cases[] = {
      {"caption", [&] { form_.Save.setCaption(L"&Save as RTF"); },
       [&] { return textOf(hwndOf(form_.Save)) == L"&Save as RTF"; }},
      {"moved", [&] { form_.Files.setBounds(3000, 1800, 1500, 900); },
       [&] {
         const RECT r = placeOf(hwndOf(form_.Files));
         return r.left == px(3000) && r.top == px(1800) && r.right - r.left == px(1500);
       }},
      {"checked", [&] { form_.Option.setValue(1); },
       [&] { return send(form_.Option, BM_GETCHECK) == BST_CHECKED; }},
      {"text and caret at its start", [&] { form_.Name.setText(L"C:\\target\\"); },
       [&] {
         return textOf(hwndOf(form_.Name)) == L"C:\\target\\" &&
                selection(form_.Name) == std::pair<DWORD, DWORD>(0, 0);
       }},
      {"caret at the end", [&] { form_.Name.setSelStart(10); },
       [&] { return selection(form_.Name) == std::pair<DWORD, DWORD>(10, 10); }},
      {"list items and selection",
       [&] {
         form_.Files.addItems({L"a.txt", L"b.txt", L"c.txt"});
         form_.Files.setListIndex(2);
       },
       [&] { return send(form_.Files, LB_GETCOUNT) == 3 && send(form_.Files, LB_GETCURSEL) == 2; }},
      {"one entry removed", [&] { form_.Files.removeItem(1); },
       [&] {
         wchar_t second[16] = {};
         SendMessageW(hwndOf(form_.Files), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(second));
         return send(form_.Files, LB_GETCOUNT) == 2 && std::wstring(second) == L"c.txt";
       }},
      {"list cleared", [&] { form_.Files.clear(); },
       [&] { return send(form_.Files, LB_GETCOUNT) == 0; }},
      // The tip set before the window showed is in the tooltip window too.
      {"tooltip, also the name a screen reader hears",
       [&] { form_.Name.setToolTip(L"Path not found"); },
       [&] {
         const auto tipOf = [&](const ui::Control& control) {
           wchar_t tip[64] = {};
           TTTOOLINFOW tool{};
           tool.cbSize = TTTOOLINFOW_V2_SIZE;
           tool.hwnd = GetParent(hwndOf(control));
           tool.uId = reinterpret_cast<UINT_PTR>(hwndOf(control));
           tool.lpszText = tip;
           SendMessageW(window_->toolTips(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
           return std::wstring(tip);
         };
         return tipOf(form_.Name) == L"Path not found" &&
                tipOf(form_.Option) == L"Add Date and Time as prefix" &&
                accessibleName(hwndOf(form_.Name)) == L"Path not found";
       }},
      // A text of some megabytes stays editable; only a longer one shows its start, read-only.
      {"a long text, whole and editable", [&] { form_.Notes.setText(std::wstring(300000, 'n')); },
       [&] { return textOf(hwndOf(form_.Notes)) == form_.Notes.text() && !readOnly(form_.Notes); }},
      {"a longer text, its start read-only",
       [&] { form_.Notes.setText(std::wstring((1 << 22) + 1, 'm')); },
       [&] {
         const std::wstring shown = textOf(hwndOf(form_.Notes));
         return shown.find_first_not_of(L'm') == 1 << 18 &&
                shown.ends_with(L" characters; the whole text is saved.]") && readOnly(form_.Notes);
       }},
  };
  for (const Case& c : cases) {
    c.change();
    pump();
    EXPECT_TRUE(c.shown()) << c.what;
  }
}

TEST_F(PeerWindow, TheUsersActionsReachTheModelOnce) {
  int previews = 0, doubleClicks = 0;
  std::vector<std::vector<int>> downs, moves;
  form_.Preview.onClick = [&] { ++previews; };
  form_.Files.onDblClick = [&] { ++doubleClicks; };
  form_.Files.onMouseDown = [&](int b, int s, int x, int y) { downs.push_back({b, s, x, y}); };
  form_.Preview.onMouseMove = [&](int b, int s, int x, int y) { moves.push_back({b, s, x, y}); };
  form_.Files.addItems({L"first", L"second", L"third"});

  // A click is a press and a release on the picture; releasing elsewhere is no click.
  HWND preview = hwndOf(form_.Preview);
  for (const int releasedAt : {5, -40}) {
    SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(releasedAt, 5));
  }
  EXPECT_EQ(previews, 1);

  SendMessageW(preview, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(15, 30));
  EXPECT_EQ(moves, (std::vector<std::vector<int>>{{0, ui::shift::kCtrl, twips(15), twips(30)}}));

  HWND list = hwndOf(form_.Files);
  RECT second{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  const LPARAM onSecond = MAKELPARAM(4, second.top + 2);
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, onSecond);
  EXPECT_EQ(downs, (std::vector<std::vector<int>>{
                       {ui::mouse::kRight, ui::shift::kShift, twips(4), twips(second.top + 2)}}));
  for (const UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    SendMessageW(list, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, onSecond);
  pump();
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(form_.Files.listIndex(), 1);
}

TEST_F(PeerWindow, TypingReachesTheModelWithItsCaret) {
  form_.Name.setText(L"by code");
  form_.setFocus(form_.Name);
  form_.Name.setSelStart(7);
  pump();
  PostMessageW(hwndOf(form_.Name), WM_CHAR, L'!', 1);
  pump();
  EXPECT_EQ(form_.Name.text(), L"by code!");
  EXPECT_EQ(form_.Name.selStart(), 8);
}

// The form sees each key first and may swallow it (on key down or as a key press); Enter reaches
// it as a key press, and then types a line break or presses a button.
TEST_F(PeerWindow, TheFormSeesKeysBeforeTheFieldAndEnterAsAKeyPress) {
  enum Swallow { kNone, kOnKeyDown, kAsKeyPress };
  struct Case {
    const char* what;
    ui::Control* focus;
    UINT key;
    Swallow swallow;
    std::vector<int> presses;
    int saves;
    std::wstring notes, name;
  };
  const Case cases[] = {
      {"Enter in a one-line field", &form_.Name, VK_RETURN, kNone, {13}, 0, L"", L""},
      {"Enter in the multi-line field", &form_.Notes, VK_RETURN, kNone, {13}, 0, L"\r\n", L""},
      {"Enter on a button", &form_.Save, VK_RETURN, kNone, {13}, 1, L"", L""},
      {"a letter", &form_.Name, 'A', kNone, {'a'}, 0, L"", L"a"},
      {"a letter swallowed as a key press", &form_.Name, 'A', kAsKeyPress, {'a'}, 0, L"", L""},
      {"a letter swallowed on key down", &form_.Name, 'A', kOnKeyDown, {}, 0, L"", L""},
      {"Enter swallowed as a key press", &form_.Notes, VK_RETURN, kAsKeyPress, {13}, 0, L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    form_.Notes.setText(L"");
    form_.Name.setText(L"");
    std::vector<int> downs, presses;
    int saves = 0;
    form_.onKeyDown = [&](int& key, int) {
      downs.push_back(key);
      if (c.swallow == kOnKeyDown)
        key = 0;
    };
    form_.onKeyPress = [&](int& key) {
      presses.push_back(key);
      if (c.swallow == kAsKeyPress)
        key = 0;
    };
    form_.Save.onClick = [&] { ++saves; };
    ASSERT_TRUE(form_.setFocus(*c.focus));
    pump();
    press(hwndOf(*c.focus), c.key);
    EXPECT_EQ(downs, std::vector<int>{static_cast<int>(c.key)});
    EXPECT_EQ(presses, c.presses);
    EXPECT_EQ(saves, c.saves);
    EXPECT_EQ(form_.Notes.text(), c.notes);
    EXPECT_EQ(form_.Name.text(), c.name);
  }
}

// Pasted RTF that does not set its own format shows in the box's font, not bold; what the box
// held before is gone.
TEST_F(PeerWindow, PastedRtfWithoutItsOwnFormatIsNotBold) {
  const char rtf[] = "{\\rtf1\\ansi pasted words\\par}";
  ASSERT_TRUE(OpenClipboard(window_->hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof rtf);
  memcpy(GlobalLock(memory), rtf, sizeof rtf);
  GlobalUnlock(memory);
  SetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"), memory);
  CloseClipboard();

  form_.Rich.setTextRTF(L"{\\rtf1\\ansi old words\\par}");
  form_.Rich.clear();
  form_.Rich.paste();
  EXPECT_EQ(form_.Rich.text().find(L"pasted words"), 0u);
  EXPECT_EQ(form_.Rich.text().find(L"old"), std::wstring::npos);
  form_.Rich.setSelStart(2);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(hwndOf(form_.Rich), EM_GETCHARFORMAT, SCF_SELECTION,
               reinterpret_cast<LPARAM>(&format));
  EXPECT_TRUE(format.dwMask & CFM_BOLD);
  EXPECT_FALSE(format.dwEffects & CFE_BOLD);
}

TEST_F(PeerWindow, APictureBoxPaintsItsColourItsPictureAndTheStretchedDrawing) {
  HWND preview = hwndOf(form_.Preview);
  form_.Preview.setBackColor(RGB(0, 128, 0));
  form_.Preview.setPicture(solidPicture(10, 6, RGB(0, 0, 255)));
  EXPECT_EQ(paintedPixel(preview, 9, 5), RGB(0, 0, 255));
  EXPECT_EQ(paintedPixel(preview, 11, 5), RGB(0, 128, 0));
  EXPECT_EQ(paintedPixel(preview, 9, 7), RGB(0, 128, 0));

  // A 2 x 2 picture stretched over a rectangle 30 pixels wide from x = 20.
  form_.Preview.paintPicture(solidPicture(2, 2, RGB(255, 0, 0)), twips(20), 0, twips(30),
                             twips(30));
  EXPECT_EQ(paintedPixel(preview, 45, 25), RGB(255, 0, 0));
  EXPECT_EQ(paintedPixel(preview, 55, 25), RGB(0, 128, 0));
}

// The children of a window, top of the z-order first (the order Tab follows).
std::vector<HWND> childrenInOrder(HWND parent) {
  std::vector<HWND> order;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    order.push_back(child);
  return order;
}

// The windows of the form's controls in z-order, each named by its control, per parent.
std::vector<std::wstring> controlOrder(ui_win32::FormWindow& window, const ui::Form& form) {
  std::vector<std::wstring> names;
  std::vector<HWND> parents{window.hwnd()};
  for (const auto& control : form.controls()) {
    if (const auto* peer = window.peerOf(*control);
        peer && peer->hwnd() && dynamic_cast<const ui::Container*>(&*control))
      parents.push_back(peer->hwnd());
  }
  for (HWND parent : parents) {
    for (HWND child : childrenInOrder(parent)) {
      if (const auto* peer = window.peerOf(child))
        names.push_back(peer->control().name());
    }
    names.push_back(L"|");
  }
  return names;
}

TEST(HiddenForm, ControlWindowsMadeWhenShownLookAndOrderAsIfMadeAtOnce) {
  TestForm early;
  ui_win32::FormWindow earlyWindow(early, GetModuleHandleW(nullptr), kOptions);
  ASSERT_TRUE(earlyWindow.create());

  TestForm late;
  ui_win32::FormWindow lateWindow(late, GetModuleHandleW(nullptr), kOptions);
  ASSERT_TRUE(lateWindow.create(ui_win32::ControlWindows::WhenShown));
  // Without a window yet, the form hears what the hidden window would report: whole pixels, the
  // system's limits of a window's size, the frame around the client area.
  for (auto [left, width, height] : {std::tuple{-7, 7507, 5003}, std::tuple{13, 99999, 99999},
                                     std::tuple{0, 100, 50}, std::tuple{300, 7740, 5200}}) {
    for (ui::Form* form : std::initializer_list<ui::Form*>{&early, &late})
      EXPECT_TRUE(form->setLeft(left) && form->setWidth(width) && form->setHeight(height));
    EXPECT_EQ(std::tuple(late.left(), late.width(), late.height(), late.clientWidth(),
                         late.clientHeight()),
              std::tuple(early.left(), early.width(), early.height(), early.clientWidth(),
                         early.clientHeight()));
  }
  int changes = 0;
  late.Name.onChange = [&] { ++changes; };
  late.Rich.setTextRTF(L"{\\rtf1\\ansi kept}");
  late.Name.setText(L"typed before");
  late.Name.setSelStart(6);
  late.Name.setSelLength(3);
  late.Files.addItem(L"C:\\a.txt");
  late.Option.setValue(1);
  late.Save.setCaption(L"&Keep");
  late.Notes.setVisible(false);
  late.Rich.setVisible(false);
  // No control has a window before the form shows.
  for (const auto& control : late.controls())
    EXPECT_EQ(lateWindow.peerOf(*control), nullptr);
  late.show();

  // The shown controls got theirs, mirroring what was set before; hidden ones have none yet.
  HWND name = lateWindow.peerOf(late.Name)->hwnd();
  EXPECT_EQ(textOf(name), L"typed before");
  DWORD start = 0, end = 0;
  SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 6u);
  EXPECT_EQ(end, 9u);
  // Handing the text over is no change by the user.
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(late.Name.selStart(), 6);
  EXPECT_EQ(SendMessageW(lateWindow.peerOf(late.Files)->hwnd(), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(lateWindow.peerOf(late.Option)->hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(textOf(lateWindow.peerOf(late.Save)->hwnd()), L"&Keep");
  EXPECT_EQ(lateWindow.peerOf(late.Notes), nullptr);
  EXPECT_EQ(lateWindow.peerOf(late.Rich), nullptr);
  // Asked for its plain text, the rich-text box makes its window; shown later, a field gets its
  // window then.
  EXPECT_EQ(late.Rich.text().find(L"kept"), 0u);
  late.Rich.setVisible(true);
  late.Notes.setVisible(true);
  ASSERT_NE(lateWindow.peerOf(late.Notes), nullptr);
  EXPECT_TRUE(IsWindowVisible(lateWindow.peerOf(late.Notes)->hwnd()));
  RECT rect{};
  GetWindowRect(lateWindow.peerOf(late.Inner)->hwnd(), &rect);
  EXPECT_EQ(rect.right - rect.left, lateWindow.toPixels(735));

  const auto order = controlOrder(lateWindow, late);
  EXPECT_EQ(order, controlOrder(earlyWindow, early));
  // The rich-text box, made first, is back at its place: last among the form's own children.
  const auto formChildren = childrenInOrder(lateWindow.hwnd());
  ASSERT_FALSE(formChildren.empty());
  EXPECT_EQ(formChildren.back(), lateWindow.peerOf(late.Rich)->hwnd());
}

// Every image is in the program, at the size the window lays it out for.
TEST(Images, EveryBuiltInImageIsInTheProgramAtItsSize) {
  using ui::ImageId;
  struct Case {
    ImageId id;
    LONG width, height;  // 0: an icon, any size
  };
  const Case cases[] = {
      {ImageId::ModeFiles, 57, 60},    {ImageId::ModeText, 48, 48},
      {ImageId::ModePicture, 56, 56},  {ImageId::ModeRichText, 48, 48},
      {ImageId::Resize, 42, 36},       {ImageId::NewFolder, 25, 25},
      {ImageId::Exit, 32, 32},         {ImageId::AotDisabled, 21, 20},
      {ImageId::AotMouseMove, 21, 20}, {ImageId::AotEnabled, 21, 20},
      {ImageId::Icon, 0, 0},
  };
  std::vector<int> seen;
  for (const Case& c : cases) {
    const int resource = ui_win32::resourceIdOf(c.id);
    SCOPED_TRACE(resource);
    HANDLE image = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                              c.width ? IMAGE_BITMAP : IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    ASSERT_NE(image, nullptr);
    BITMAP info{};
    if (c.width) {
      GetObjectW(image, sizeof info, &info);
      DeleteObject(image);
    }
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    // Two names for one image would show the wrong picture somewhere.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), resource), 0);
    seen.push_back(resource);
  }
  EXPECT_EQ(ui_win32::resourceIdOf(ImageId::None), 0);
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
