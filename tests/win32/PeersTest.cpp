// The real windows of a small form with one control of each kind: what the user sees matches
// the model, and what the user does reaches the model, once.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/win32/ControlPeers.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Images.h"

namespace {

constexpr int kMinWidth = 6000;
constexpr int kMinHeight = 3000;
constexpr int kSnapWidth = 6110;
constexpr int kSnapHeight = 3011;
const ui_win32::FormOptions kOptions{kMinWidth, kMinHeight, kSnapWidth, kSnapHeight};

class TestForm : public ui::Form {
 public:
  TestForm()
      : ui::Form(L"PeerTest"),
        Panel(add<ui::Frame>(L"Panel")),
        Save(add<ui::CommandButton>(L"Save", &Panel)),
        Name(add<ui::TextBox>(L"Name", &Panel)),
        Option(add<ui::CheckBox>(L"Option", &Panel)),
        Link(add<ui::Label>(L"Link", &Panel)),
        Rule(add<ui::Line>(L"Rule", &Panel)),
        Notes(add<ui::TextBox>(L"Notes")),
        Files(add<ui::ListBox>(L"Files")),
        Preview(add<ui::PictureBox>(L"Preview")),
        Inner(add<ui::CommandButton>(L"Inner", &Preview)),
        Rich(add<ui::RichTextBox>(L"Rich")) {
    setDesignBounds(300, 300, 7500, 4500, 240, 700);
    setCaption(L"Peer test");
    Panel.setBounds(0, 0, 7500, 1500);
    Save.setBounds(120, 720, 1800, 480);
    Save.setCaption(L"&Save");
    Name.setBounds(120, 120, 4000, 300);
    Option.setBounds(2100, 720, 1500, 255);
    Option.setCaption(L"Option");
    Link.setBounds(4500, 120, 600, 200);
    Link.setCaption(L"Web");
    Rule.setEnds(0, 1480, 7500, 1480);
    Notes.setBounds(120, 1620, 3000, 1200);
    Notes.setMultiLine(true);
    Files.setBounds(3300, 1620, 2000, 1200);
    Preview.setBounds(5400, 1620, 1980, 1200);
    Inner.setBounds(60, 60, 735, 615);
    Inner.setGraphical(true);
    Inner.setImage(ui::ImageId::Resize);
    Rich.setBounds(120, 3000, 7000, 1400);
    Rich.setFont(ui::FontFace::Arial);
  }

  ui::Frame& Panel;
  ui::CommandButton& Save;
  ui::TextBox& Name;
  ui::CheckBox& Option;
  ui::Label& Link;
  ui::Line& Rule;
  ui::TextBox& Notes;
  ui::ListBox& Files;
  ui::PictureBox& Preview;
  ui::CommandButton& Inner;
  ui::RichTextBox& Rich;
};

// A picture of one colour, as the clipboard adapter would hand it over.
class SolidPicture : public platform::Picture {
 public:
  SolidPicture(int width, int height, COLORREF color) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ before = SelectObject(dc, bitmap_);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, before);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
  ~SolidPicture() override { DeleteObject(bitmap_); }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(bitmap_); }
  int widthPixels() const override { return width_; }
  int heightPixels() const override { return height_; }

 private:
  HBITMAP bitmap_;
  int width_, height_;
};

std::wstring textOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

std::wstring classOf(HWND hwnd) {
  wchar_t buffer[64] = {};
  GetClassNameW(hwnd, buffer, 64);
  return buffer;
}

LPARAM keyData(UINT vk, bool alt = false) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  return 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (LPARAM{1} << 29) : 0);
}

class PeerWindow : public testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<ui_win32::FormWindow>(form_, GetModuleHandleW(nullptr), kOptions);
    ASSERT_TRUE(window_->create());
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
      if (msg.message == WM_QUIT)
        continue;
      if (window_ && window_->preTranslate(msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Runs the messages until the condition holds; false when it never did within five seconds.
  bool pumpUntil(const std::function<bool()>& condition) {
    for (int waited = 0; waited < 5000; waited += 20) {
      pump();
      if (condition())
        return true;
      Sleep(20);
    }
    return false;
  }
  // Lets the window manager's answers to earlier size changes arrive first.
  void settle() {
    for (int waited = 0; waited < 300; waited += 20) {
      pump();
      Sleep(20);
    }
  }
  HWND hwndOf(const ui::Control& control) const { return window_->peerOf(control)->hwnd(); }
  int px(int twips) const { return window_->toPixels(twips); }
  // A point inside a control, in its client pixels, as an lParam.
  static LPARAM at(int x, int y) { return MAKELPARAM(x, y); }
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
    LONG_PTR styleWanted;
    LONG_PTR styleRefused;
    LONG_PTR buttonType;
  };
  const std::vector<Case> cases = {
      {&form_.Panel, L"BrimloFrame", WS_CLIPCHILDREN, WS_TABSTOP, kNotAButton},
      {&form_.Save, L"Button", WS_TABSTOP, BS_BITMAP, BS_PUSHBUTTON},
      {&form_.Name, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE, kNotAButton},
      // The model decides the check mark, so the box must not toggle itself.
      {&form_.Option, L"Button", WS_TABSTOP, 0, BS_CHECKBOX},
      {&form_.Link, L"Static", SS_NOTIFY, WS_TABSTOP, kNotAButton},
      {&form_.Notes, L"Edit", ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 0, kNotAButton},
      {&form_.Files, L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, LBS_SORT,
       kNotAButton},
      {&form_.Preview, L"BrimloPicture", WS_CLIPCHILDREN, WS_TABSTOP, kNotAButton},
      // A graphical button draws itself, in its back colour.
      {&form_.Inner, L"Button", 0, 0, BS_OWNERDRAW},
      {&form_.Rich, L"RichEdit", ES_MULTILINE | WS_TABSTOP, 0, kNotAButton},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::string(c.control->name().begin(), c.control->name().end()));
    HWND hwnd = hwndOf(*c.control);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(_wcsnicmp(classOf(hwnd).c_str(), c.windowClass, wcslen(c.windowClass)), 0)
        << std::string(classOf(hwnd).begin(), classOf(hwnd).end());
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & c.styleWanted, c.styleWanted);
    EXPECT_EQ(style & c.styleRefused, 0);
    if (c.buttonType != kNotAButton) {
      EXPECT_EQ(style & BS_TYPEMASK, c.buttonType);
    }
    EXPECT_EQ(GetParent(hwnd), window_->containerWindow(c.control->parent()));
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, px(c.control->left()));
    EXPECT_EQ(rect.top, px(c.control->top()));
    EXPECT_EQ(rect.right - rect.left, px(c.control->width()));
    EXPECT_EQ(rect.bottom - rect.top, px(c.control->height()));
  }
  // The line is drawn by its container.
  EXPECT_EQ(hwndOf(form_.Rule), nullptr);
  EXPECT_EQ(textOf(hwndOf(form_.Save)), L"&Save");
}

TEST_F(PeerWindow, TheClientAreaHasTheDesignSizeAndTheFormKnowsTheFrame) {
  HWND hwnd = window_->hwnd();
  RECT client{}, outer{};
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(client.right, px(7500));
  EXPECT_EQ(client.bottom, px(4500));
  EXPECT_EQ(form_.width(), window_->toTwips(outer.right - outer.left));
  EXPECT_EQ(form_.height(), window_->toTwips(outer.bottom - outer.top));
  EXPECT_EQ(form_.clientWidth(), window_->toTwips(client.right));
  EXPECT_EQ(textOf(hwnd), L"Peer test");
  wchar_t windowClass[64] = {};
  GetClassNameW(hwnd, windowClass, 64);
  EXPECT_STREQ(windowClass, L"BrimloPeerTest");
}

// What the system does when the window moves onto a monitor of another DPI.
void moveToDpi(HWND hwnd, int dpi) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
}

TEST_F(PeerWindow, BelowItsMinimumTheWindowShowsItsSnapSizeAtOnceAtEveryDpi) {
  int resizes = 0;
  // The layout snaps too, as the program's does; it must find nothing left to do.
  form_.onResize = [&] {
    ++resizes;
    if (form_.width() < kMinWidth)
      form_.setWidth(kSnapWidth);
    if (form_.height() < kMinHeight)
      form_.setHeight(kSnapHeight);
  };
  HWND hwnd = window_->hwnd();
  for (const int dpi : {96, 120, 144}) {
    moveToDpi(hwnd, dpi);
    pump();
    struct Case {
      int width, height;  // asked for, twips
      int shownWidth, shownHeight;
    };
    const Case cases[] = {{1500, 900, kSnapWidth, kSnapHeight},
                          {kMinWidth - 30, 5000, kSnapWidth, 5000},
                          {kMinWidth + 60, kMinHeight - 30, kMinWidth + 60, kSnapHeight},
                          {kMinWidth + 60, kMinHeight + 60, kMinWidth + 60, kMinHeight + 60}};
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << dpi << " DPI, " << c.width << " x " << c.height);
      settle();
      resizes = 0;
      // As the user or the window manager sizes it.
      SetWindowPos(hwnd, nullptr, 0, 0, px(c.width), px(c.height), SWP_NOMOVE | SWP_NOZORDER);
      pump();
      RECT outer{};
      GetWindowRect(hwnd, &outer);
      EXPECT_EQ(outer.right - outer.left, px(c.shownWidth));
      EXPECT_EQ(outer.bottom - outer.top, px(c.shownHeight));
      EXPECT_EQ(form_.width(), window_->toTwips(px(c.shownWidth)));
      EXPECT_LE(resizes, 1);
    }
  }
  // Dragged at its left edge, the window keeps its right edge.
  RECT before{};
  GetWindowRect(hwnd, &before);
  SetWindowPos(hwnd, nullptr, before.right - px(1500), before.top, px(1500),
               before.bottom - before.top, SWP_NOZORDER);
  RECT after{};
  GetWindowRect(hwnd, &after);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.right - after.left, px(kSnapWidth));
}

TEST_F(PeerWindow, OnAMonitorOfAnotherDpiPositionsStayPrimaryScreenTwipsAndCaptionsWhole) {
  const int primary = window_->dpi();
  HWND hwnd = window_->hwnd();
  HWND link = hwndOf(form_.Link);
  form_.Link.setCaption(L"Check for online-Updates");
  for (const int dpi : {primary, primary * 5 / 4, primary * 3 / 2}) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    moveToDpi(hwnd, dpi);
    pump();
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(form_.left(), MulDiv(outer.left, 1440, primary));
    EXPECT_EQ(form_.top(), MulDiv(outer.top, 1440, primary));
    EXPECT_EQ(form_.width(), MulDiv(outer.right - outer.left, 1440, dpi));
    ASSERT_TRUE(form_.setLeft(1500));
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left, MulDiv(1500, primary, 1440));

    // The link's caption is never cut off, and the link keeps its left edge.
    RECT needed{}, shown{};
    HDC dc = GetDC(link);
    HGDIOBJ before =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
    DrawTextW(dc, L"Check for online-Updates", -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, before);
    ReleaseDC(link, dc);
    GetWindowRect(link, &shown);
    MapWindowPoints(nullptr, GetParent(link), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_GE(shown.right - shown.left, needed.right);
    EXPECT_EQ(shown.left, px(form_.Link.left()));
  }
}

TEST_F(PeerWindow, SizingTheWindowReachesTheFormAndALayoutSnapIsAppliedAfterwards) {
  int resizes = 0;
  form_.onResize = [&] {
    ++resizes;
    // A layout that snaps back, as the program's does below its smallest size.
    if (form_.windowState() == ui::WindowState::Normal && form_.width() < 9000) {
      form_.setWidth(9000);
    }
  };
  HWND hwnd = window_->hwnd();
  SetWindowPos(hwnd, nullptr, 0, 0, px(8000), px(5000), SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GE(resizes, 1);
  pump();
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, px(9000));
  EXPECT_EQ(form_.width(), window_->toTwips(px(9000)));

  // The window manager takes its time with these.
  ShowWindow(hwnd, SW_MAXIMIZE);
  EXPECT_TRUE(pumpUntil([&] { return IsZoomed(hwnd); }));
  EXPECT_EQ(form_.windowState(), ui::WindowState::Maximized);
  ShowWindow(hwnd, SW_RESTORE);
  EXPECT_TRUE(pumpUntil([&] { return !IsZoomed(hwnd); }));
  EXPECT_EQ(form_.windowState(), ui::WindowState::Normal);
  ShowWindow(hwnd, SW_MINIMIZE);
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(hwnd); }));
  EXPECT_EQ(form_.windowState(), ui::WindowState::Minimized);
}

TEST_F(PeerWindow, ChangesMadeByCodeShowInTheWindow) {
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<bool()> shown;
  };
  const std::vector<Case> cases = {
      {"hidden", [&] { form_.Save.setVisible(false); },
       [&] { return !IsWindowVisible(hwndOf(form_.Save)); }},
      {"disabled", [&] { form_.Name.setEnabled(false); },
       [&] { return !IsWindowEnabled(hwndOf(form_.Name)); }},
      {"caption", [&] { form_.Save.setCaption(L"&Save as RTF"); },
       [&] { return textOf(hwndOf(form_.Save)) == L"&Save as RTF"; }},
      {"moved", [&] { form_.Files.setBounds(3000, 1800, 1500, 900); },
       [&] {
         RECT r{};
         GetWindowRect(hwndOf(form_.Files), &r);
         MapWindowPoints(nullptr, window_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
         return r.left == px(3000) && r.top == px(1800) && r.right - r.left == px(1500);
       }},
      {"checked", [&] { form_.Option.setValue(1); },
       [&] { return SendMessageW(hwndOf(form_.Option), BM_GETCHECK, 0, 0) == BST_CHECKED; }},
      {"text and caret at its start", [&] { form_.Name.setText(L"C:\\target\\"); },
       [&] {
         DWORD start = 99, end = 99;
         SendMessageW(hwndOf(form_.Name), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end));
         return textOf(hwndOf(form_.Name)) == L"C:\\target\\" && start == 0 && end == 0;
       }},
      {"caret at the end",
       [&] { form_.Name.setSelStart(static_cast<int>(form_.Name.text().size())); },
       [&] {
         DWORD start = 0, end = 0;
         SendMessageW(hwndOf(form_.Name), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end));
         return start == 10 && end == 10;
       }},
      {"list items and selection",
       [&] {
         form_.Files.addItems({L"a.txt", L"b.txt", L"c.txt"});
         form_.Files.setListIndex(2);
       },
       [&] {
         HWND list = hwndOf(form_.Files);
         return SendMessageW(list, LB_GETCOUNT, 0, 0) == 3 &&
                SendMessageW(list, LB_GETCURSEL, 0, 0) == 2;
       }},
      {"list cleared",
       [&] {
         form_.Files.addItems({L"a.txt", L"b.txt"});
         form_.Files.clear();
       },
       [&] { return SendMessageW(hwndOf(form_.Files), LB_GETCOUNT, 0, 0) == 0; }},
      {"window caption", [&] { form_.setCaption(L"Brimlo - Save Graphic (.JPG)"); },
       [&] { return textOf(window_->hwnd()) == L"Brimlo - Save Graphic (.JPG)"; }},
  };
  for (const Case& c : cases) {
    c.change();
    pump();
    EXPECT_TRUE(c.shown()) << c.what;
  }
}

TEST_F(PeerWindow, TheUsersActionsReachTheModelOnce) {
  int saves = 0, links = 0, previews = 0, checks = 0, doubleClicks = 0;
  std::vector<std::vector<int>> downs, moves;
  form_.Save.onClick = [&] { ++saves; };
  form_.Link.onClick = [&] { ++links; };
  form_.Preview.onClick = [&] { ++previews; };
  form_.Option.onClick = [&] { ++checks; };
  form_.Files.onDblClick = [&] { ++doubleClicks; };
  form_.Files.onMouseDown = [&](int b, int s, int x, int y) { downs.push_back({b, s, x, y}); };
  form_.Preview.onMouseMove = [&](int b, int s, int x, int y) { moves.push_back({b, s, x, y}); };
  form_.Files.addItems({L"first", L"second", L"third"});

  SendMessageW(hwndOf(form_.Save), BM_CLICK, 0, 0);
  EXPECT_EQ(saves, 1);

  HWND option = hwndOf(form_.Option);
  SendMessageW(option, BM_CLICK, 0, 0);
  EXPECT_EQ(form_.Option.value(), 1);
  EXPECT_EQ(SendMessageW(option, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(option, BM_CLICK, 0, 0);
  EXPECT_EQ(form_.Option.value(), 0);
  EXPECT_EQ(SendMessageW(option, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(checks, 2);

  SendMessageW(hwndOf(form_.Link), WM_LBUTTONDOWN, MK_LBUTTON, at(3, 3));
  SendMessageW(hwndOf(form_.Link), WM_LBUTTONUP, 0, at(3, 3));
  EXPECT_EQ(links, 1);

  // A click is a press and a release on the picture; releasing elsewhere is no click.
  HWND preview = hwndOf(form_.Preview);
  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
  SendMessageW(preview, WM_LBUTTONUP, 0, at(5, 5));
  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
  SendMessageW(preview, WM_LBUTTONUP, 0, at(-40, 5));
  EXPECT_EQ(previews, 1);

  SendMessageW(preview, WM_MOUSEMOVE, MK_CONTROL, at(15, 30));
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0],
            (std::vector<int>{0, ui::shift::kCtrl, window_->toTwips(15), window_->toTwips(30)}));

  HWND list = hwndOf(form_.Files);
  RECT second{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, at(4, second.top + 2));
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], (std::vector<int>{ui::mouse::kRight, ui::shift::kShift, window_->toTwips(4),
                                        window_->toTwips(second.top + 2)}));
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at(4, second.top + 2));
  SendMessageW(list, WM_LBUTTONUP, 0, at(4, second.top + 2));
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at(4, second.top + 2));
  SendMessageW(list, WM_LBUTTONUP, 0, at(4, second.top + 2));
  pump();
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(form_.Files.listIndex(), 1);
}

TEST_F(PeerWindow, TypingReachesTheModelAndTextSetByCodeIsNoUserChange) {
  std::vector<std::wstring> changes;
  form_.Name.onChange = [&] { changes.push_back(form_.Name.text()); };
  form_.Name.setText(L"by code");
  EXPECT_EQ(changes, (std::vector<std::wstring>{L"by code"}));

  form_.setFocus(form_.Name);
  form_.Name.setSelStart(7);
  pump();
  PostMessageW(hwndOf(form_.Name), WM_CHAR, L'!', 1);
  pump();
  EXPECT_EQ(form_.Name.text(), L"by code!");
  EXPECT_EQ(changes.back(), L"by code!");
  EXPECT_EQ(changes.size(), 2u);
  EXPECT_EQ(form_.Name.selStart(), 8);
}

TEST_F(PeerWindow, TheFormSeesKeysBeforeTheFieldAndEnterAndEscapeAsKeyPresses) {
  struct Case {
    const char* what;
    ui::Control* focus;
    UINT key;
    bool swallowPress;
    std::vector<int> presses;
    int saves;
    std::wstring notes;
    std::wstring name;
  };
  const std::vector<Case> cases = {
      {"Enter in a one-line field", &form_.Name, VK_RETURN, false, {13}, 0, L"", L""},
      {"Enter in the multi-line field types a line break",
       &form_.Notes,
       VK_RETURN,
       false,
       {13},
       0,
       L"\r\n",
       L""},
      {"Enter on a button presses it", &form_.Save, VK_RETURN, false, {13}, 1, L"", L""},
      {"Escape in a one-line field", &form_.Name, VK_ESCAPE, false, {27}, 0, L"", L""},
      {"Escape in the multi-line field", &form_.Notes, VK_ESCAPE, false, {27}, 0, L"", L""},
      {"a letter", &form_.Name, 'A', false, {'a'}, 0, L"", L"a"},
      {"a letter the form swallows", &form_.Name, 'A', true, {'a'}, 0, L"", L""},
      {"Enter the form swallows", &form_.Notes, VK_RETURN, true, {13}, 0, L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    form_.Notes.setText(L"");
    form_.Name.setText(L"");
    std::vector<int> downs, presses;
    int saves = 0;
    form_.onKeyDown = [&](int& key, int) { downs.push_back(key); };
    form_.onKeyPress = [&](int& key) {
      presses.push_back(key);
      if (c.swallowPress)
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

TEST_F(PeerWindow, AKeyTheFormSwallowsOnKeyDownNeverReachesTheField) {
  std::vector<int> presses;
  form_.onKeyDown = [](int& key, int) { key = 0; };
  form_.onKeyPress = [&](int& key) { presses.push_back(key); };
  form_.setFocus(form_.Name);
  press(hwndOf(form_.Name), 'A');
  EXPECT_TRUE(presses.empty());
  EXPECT_EQ(form_.Name.text(), L"");
}

TEST_F(PeerWindow, TabAndAcceleratorsWorkInsideContainers) {
  int saves = 0;
  form_.Save.onClick = [&] { ++saves; };
  form_.setFocus(form_.Notes);
  pump();
  // Alt+S: the accelerator of "&Save", a button inside the panel.
  PostMessageW(hwndOf(form_.Notes), WM_SYSKEYDOWN, 'S', keyData('S', true));
  pump();
  EXPECT_EQ(saves, 1);

  form_.setFocus(form_.Save);
  pump();
  press(hwndOf(form_.Save), VK_TAB);
  EXPECT_EQ(GetFocus(), hwndOf(form_.Name));
  EXPECT_EQ(form_.activeControl(), &form_.Name);
}

TEST_F(PeerWindow, FocusMovesOnceWhetherCodeOrTheUserMovesIt) {
  int nameGot = 0, nameLost = 0, notesGot = 0;
  form_.Name.onGotFocus = [&] { ++nameGot; };
  form_.Name.onLostFocus = [&] { ++nameLost; };
  form_.Notes.onGotFocus = [&] { ++notesGot; };
  ASSERT_TRUE(form_.setFocus(form_.Name));
  pump();
  EXPECT_EQ(GetFocus(), hwndOf(form_.Name));
  EXPECT_EQ(nameGot, 1);
  SetFocus(hwndOf(form_.Notes));
  pump();
  EXPECT_EQ(form_.activeControl(), &form_.Notes);
  EXPECT_EQ(nameLost, 1);
  EXPECT_EQ(notesGot, 1);
}

TEST_F(PeerWindow, TheRichTextBoxKeepsItsFormattingAndSavesIt) {
  form_.Rich.setTextRTF(
      L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0  \u0416\\par}");
  EXPECT_NE(form_.Rich.text().find(L"plain bold \u0416"), std::wstring::npos);
  const std::wstring rtf = form_.Rich.textRTF();
  EXPECT_EQ(rtf.rfind(L"{\\rtf", 0), 0u);
  EXPECT_NE(rtf.find(L"\\b"), std::wstring::npos);

  const auto document = form_.Rich.rtfDocument();
  ASSERT_TRUE(document.has_value());
  EXPECT_EQ(document->rfind("{\\rtf", 0), 0u);
  EXPECT_NE(document->find("bold"), std::string::npos);

  form_.Rich.clear();
  EXPECT_EQ(form_.Rich.text(), L"");
}

TEST_F(PeerWindow, PastedRtfWithoutItsOwnFormatIsNotBold) {
  const char rtf[] = "{\\rtf1\\ansi pasted words\\par}";
  ASSERT_TRUE(OpenClipboard(window_->hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof rtf);
  memcpy(GlobalLock(memory), rtf, sizeof rtf);
  GlobalUnlock(memory);
  SetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"), memory);
  CloseClipboard();

  form_.Rich.clear();
  form_.Rich.paste();
  EXPECT_NE(form_.Rich.text().find(L"pasted words"), std::wstring::npos);
  form_.Rich.setSelStart(2);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(hwndOf(form_.Rich), EM_GETCHARFORMAT, SCF_SELECTION,
               reinterpret_cast<LPARAM>(&format));
  EXPECT_TRUE(format.dwMask & CFM_BOLD);
  EXPECT_FALSE(format.dwEffects & CFE_BOLD);
}

// Paints the picture box into a bitmap and reads one pixel of it.
COLORREF paintedPixel(HWND hwnd, int x, int y) {
  RECT client{};
  GetClientRect(hwnd, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ before = SelectObject(dc, bitmap);
  SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, before);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST_F(PeerWindow, AGraphicalButtonPaintsItsBackColour) {
  HWND button = hwndOf(form_.Inner);
  form_.Inner.setImage(ui::ImageId::None);
  RECT client{};
  GetClientRect(button, &client);
  EXPECT_EQ(paintedPixel(button, client.right / 2, client.bottom / 2), GetSysColor(COLOR_BTNFACE));
  form_.Inner.setBackColor(RGB(255, 255, 255));
  EXPECT_EQ(paintedPixel(button, client.right / 2, client.bottom / 2), RGB(255, 255, 255));
}

TEST_F(PeerWindow, APictureBoxPaintsItsColourItsPictureAndTheStretchedDrawing) {
  HWND preview = hwndOf(form_.Preview);
  form_.Preview.setBackColor(RGB(0, 128, 0));
  form_.Preview.setPicture(std::make_shared<SolidPicture>(10, 6, RGB(0, 0, 255)));
  EXPECT_EQ(paintedPixel(preview, 9, 5), RGB(0, 0, 255));
  EXPECT_EQ(paintedPixel(preview, 11, 5), RGB(0, 128, 0));
  EXPECT_EQ(paintedPixel(preview, 9, 7), RGB(0, 128, 0));

  // A 2 x 2 picture stretched over a rectangle 30 pixels wide from x = 20.
  form_.Preview.paintPicture(std::make_shared<SolidPicture>(2, 2, RGB(255, 0, 0)),
                             window_->toTwips(20), 0, window_->toTwips(30), window_->toTwips(30));
  EXPECT_EQ(paintedPixel(preview, 45, 25), RGB(255, 0, 0));
  EXPECT_EQ(paintedPixel(preview, 55, 25), RGB(0, 128, 0));
}

// A window that has never been shown (a batch run) does not get the field's text; the model has
// it, and the window gets text and caret when it first appears.
TEST(HiddenForm, FieldTextReachesTheWindowWhenItFirstShows) {
  TestForm form;
  ui_win32::FormWindow window(form, GetModuleHandleW(nullptr), kOptions);
  ASSERT_TRUE(window.create());
  HWND field = window.peerOf(form.Name)->hwnd();
  int changes = 0;
  form.Name.onChange = [&] { ++changes; };
  form.Name.setText(L"held back");
  form.Name.setSelStart(5);
  form.Name.setSelLength(4);
  EXPECT_EQ(textOf(field), L"");
  EXPECT_EQ(form.Name.text(), L"held back");

  form.show();
  EXPECT_EQ(textOf(field), L"held back");
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 9u);
  // Handing the text over is no change by the user.
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(form.Name.selStart(), 5);

  form.Name.setText(L"after");
  EXPECT_EQ(textOf(field), L"after");
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
  late.Rich.setTextRTF(L"{\\rtf1\\ansi kept}");
  late.Name.setText(L"typed before");
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
  EXPECT_EQ(textOf(lateWindow.peerOf(late.Name)->hwnd()), L"typed before");
  EXPECT_EQ(SendMessageW(lateWindow.peerOf(late.Files)->hwnd(), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(lateWindow.peerOf(late.Option)->hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(textOf(lateWindow.peerOf(late.Save)->hwnd()), L"&Keep");
  EXPECT_EQ(lateWindow.peerOf(late.Notes), nullptr);
  EXPECT_EQ(lateWindow.peerOf(late.Rich), nullptr);
  // Asked for its plain text, the rich-text box makes its window; shown later, a field gets its
  // window then.
  EXPECT_NE(late.Rich.text().find(L"kept"), std::wstring::npos);
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

TEST(Images, EveryBuiltInImageIsInTheProgram) {
  struct Case {
    ui::ImageId id;
    UINT type;
  };
  const std::vector<Case> cases = {
      {ui::ImageId::ModeFiles, IMAGE_BITMAP},    {ui::ImageId::ModeText, IMAGE_BITMAP},
      {ui::ImageId::ModePicture, IMAGE_BITMAP},  {ui::ImageId::ModeRichText, IMAGE_BITMAP},
      {ui::ImageId::Resize, IMAGE_BITMAP},       {ui::ImageId::NewFolder, IMAGE_BITMAP},
      {ui::ImageId::Exit, IMAGE_BITMAP},         {ui::ImageId::AotDisabled, IMAGE_BITMAP},
      {ui::ImageId::AotMouseMove, IMAGE_BITMAP}, {ui::ImageId::AotEnabled, IMAGE_BITMAP},
      {ui::ImageId::Icon, IMAGE_ICON},
  };
  std::vector<int> seen;
  for (const Case& c : cases) {
    const int id = ui_win32::resourceIdOf(c.id);
    SCOPED_TRACE(id);
    HANDLE image = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), c.type, 0, 0,
                              c.type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : LR_DEFAULTSIZE);
    EXPECT_NE(image, nullptr);
    if (c.type == IMAGE_BITMAP)
      DeleteObject(image);
    if (c.type == IMAGE_ICON)
      DestroyIcon(static_cast<HICON>(image));
    // Two names for one image would show the wrong picture somewhere.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0);
    seen.push_back(id);
  }
  EXPECT_EQ(ui_win32::resourceIdOf(ui::ImageId::None), 0);
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
