#include "ui/win32/ControlPeers.h"

#include "platform/win32/Handles.h"
#include "ui/win32/Barrier.h"
#include "ui/win32/CommonControls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace ui_win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Links show in the usual link blue unless the control asks for a colour of its own.
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

}  // namespace

void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, bool stretch) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
    return;
  const win32::UniqueDc source(CreateCompatibleDC(dc));
  const win32::SelectedObject selected = win32::select(source.get(), bitmap);
  if (stretch) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, x, y, width, height, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else {
    BitBlt(dc, x, y, std::min<int>(width, info.bmWidth), std::min<int>(height, info.bmHeight),
           source.get(), 0, 0, SRCCOPY);
  }
}

COLORREF screenColor(ui::Color color) {
  constexpr ui::Color kSystemColor = 0x80000000;
  if ((color & kSystemColor) != 0)
    return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

HBRUSH solidColors(FormWindow& window, HDC dc, const ui::Control& control) {
  SetTextColor(dc, screenColor(control.foreColor()));
  SetBkColor(dc, screenColor(control.backColor()));
  return window.brush(screenColor(control.backColor()));
}

// ---------------------------------------------------------------------------------------------
// The part every peer shares.

ControlPeer::~ControlPeer() {
  if (hwnd_)
    commonControls::removeWindowSubclass(hwnd_, subclassProc, kSubclassId);
}

bool ControlPeer::create(HWND parent, int id) {
  const wchar_t* windowClass = className();
  if (windowClass == nullptr) {
    created();
    return true;
  }
  DWORD windowStyle = WS_CHILD | WS_CLIPSIBLINGS | style();
  if (control_.visible())
    windowStyle |= WS_VISIBLE;
  if (!control_.enabled())
    windowStyle |= WS_DISABLED;
  const SIZE size = pixelSize();
  hwnd_ = CreateWindowExW(
      exStyle(), windowClass, text().c_str(), windowStyle, window_.toPixels(control_.left()),
      window_.toPixels(control_.top()), size.cx, size.cy, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), window_.instance(), nullptr);
  if (hwnd_ == nullptr)
    return false;
  commonControls::setWindowSubclass(hwnd_, subclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this));
  applyFont();
  applyToolTip();
  refreshAccessibleName();
  created();
  return true;
}

void ControlPeer::update(ui::Prop prop) {
  if (prop == ui::Prop::ToolTip || prop == ui::Prop::Caption)
    refreshAccessibleName();
  if (hwnd_) {
    switch (prop) {
      case ui::Prop::Visible:
        ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE);
        break;
      case ui::Prop::Enabled:
        EnableWindow(hwnd_, control_.enabled() ? TRUE : FALSE);
        break;
      case ui::Prop::Bounds:
        applyBounds();
        break;
      case ui::Prop::Colors:
        repaint();
        break;
      case ui::Prop::ToolTip:
        applyToolTip();
        break;
      default:
        break;
    }
  }
  updateOwn(prop);
}

void ControlPeer::applyDpi() {
  if (!hwnd_)
    return;
  applyBounds();
  applyFont();
}

HBRUSH ControlPeer::colors(HDC dc) {
  return solidColors(window_, dc, control_);
}

SIZE ControlPeer::pixelSize() {
  return SIZE{window_.toPixels(control_.width()), window_.toPixels(control_.height())};
}

void ControlPeer::applyBounds() {
  const SIZE size = pixelSize();
  SetWindowPos(hwnd_, nullptr, window_.toPixels(control_.left()), window_.toPixels(control_.top()),
               size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlPeer::applyFont() {
  SendMessageW(hwnd_, WM_SETFONT,
               reinterpret_cast<WPARAM>(window_.font(control_.font(), fontStyle())), TRUE);
}

void ControlPeer::applyToolTip() {
  const std::wstring& tip = control_.toolTip();
  if (tip.empty() && !hasTool_)
    return;
  HWND tips = window_.toolTips();
  if (!tips)
    return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(hwnd_);
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  tool.lpszText = const_cast<wchar_t*>(tip.c_str());
  if (tip.empty()) {
    SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    hasTool_ = false;
  } else if (!hasTool_) {
    hasTool_ = SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  } else {
    SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void ControlPeer::setTextQuietly(const std::wstring& value) {
  Quiet quiet(updating_);
  SetWindowTextW(hwnd_, value.c_str());
}

void ControlPeer::repaint() {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

int ControlPeer::shiftState(WPARAM mouseKeys) const {
  int state = 0;
  if (mouseKeys & MK_SHIFT)
    state |= ui::shift::kShift;
  if (mouseKeys & MK_CONTROL)
    state |= ui::shift::kCtrl;
  if (GetKeyState(VK_MENU) < 0)
    state |= ui::shift::kAlt;
  return state;
}

int ControlPeer::mouseButtons(WPARAM mouseKeys) const {
  int buttons = 0;
  if (mouseKeys & MK_LBUTTON)
    buttons |= ui::mouse::kLeft;
  if (mouseKeys & MK_RBUTTON)
    buttons |= ui::mouse::kRight;
  if (mouseKeys & MK_MBUTTON)
    buttons |= 4;
  return buttons;
}

LRESULT ControlPeer::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return commonControls::defSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK ControlPeer::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR self) {
  auto* peer = reinterpret_cast<ControlPeer*>(self);
  if (msg == WM_NCDESTROY) {
    commonControls::removeWindowSubclass(hwnd, subclassProc, kSubclassId);
    peer->hwnd_ = nullptr;
    return commonControls::defSubclassProc(hwnd, msg, wp, lp);
  }
  return guarded([&] { return peer->subclassed(msg, wp, lp); });
}

LRESULT ControlPeer::subclassed(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (message(msg, wp, lp, result))
    return result;
  if (msg == WM_GETOBJECT && answerAccessibleObject(hwnd_, wp, lp, accessibleName_, result))
    return result;
  const int x = window_.toTwips(GET_X_LPARAM(lp));
  const int y = window_.toTwips(GET_Y_LPARAM(lp));
  switch (msg) {
    case WM_SETFOCUS:
      result = defaultProc(msg, wp, lp);
      if (control_.canFocus())
        window_.form().userFocusChanged(&control_);
      return result;
    case WM_MOUSEMOVE:
      result = defaultProc(msg, wp, lp);
      control_.userMouseMove(mouseButtons(wp), shiftState(wp), x, y);
      return result;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      result = defaultProc(msg, wp, lp);
      const int button = msg == WM_LBUTTONDOWN   ? ui::mouse::kLeft
                         : msg == WM_RBUTTONDOWN ? ui::mouse::kRight
                                                 : 4;
      if (msg == WM_LBUTTONDOWN && clicksOnRelease()) {
        pressed_ = true;
        SetCapture(hwnd_);
      }
      control_.userMouseDown(button, shiftState(wp), x, y);
      return result;
    }
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
        RECT client{};
        GetClientRect(hwnd_, &client);
        const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (PtInRect(&client, at))
          control_.userClick();
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      pressed_ = false;
      break;
    default:
      if (isContainer() && window_.handleParentMessage(msg, wp, lp, result))
        return result;
      break;
  }
  return defaultProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------------------------
// The kinds of control.

namespace {

class CommandButtonPeer : public ControlPeer {
 public:
  CommandButtonPeer(FormWindow& window, ui::CommandButton& button)
      : ControlPeer(window, button), button_(button) {}

  void applyDpi() override {
    ControlPeer::applyDpi();
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void command(WORD code) override {
    if (code == BN_CLICKED)
      button_.userClick();
  }
  // A plain button's face keeps the system colour; the corners take the container's.
  HBRUSH colors(HDC dc) override {
    const COLORREF around = window_.containerColor(button_.parent());
    SetBkColor(dc, around);
    return window_.brush(around);
  }
  [[nodiscard]] bool pressedByEnter() const override { return true; }
  // A graphical button: the face in its back colour, a raised (pressed: sunken) edge, the image
  // at its own size or else the caption in the middle, and the focus frame.
  void draw(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &face, window_.brush(screenColor(button_.backColor())));
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (pressed)
      OffsetRect(&face, 1, 1);
    const int width = face.right - face.left;
    const int height = face.bottom - face.top;
    if (button_.image() == ui::ImageId::Icon) {
      const int size = MulDiv(32, window_.dpi(), USER_DEFAULT_SCREEN_DPI);
      DrawIconEx(dc, face.left + (width - size) / 2, face.top + (height - size) / 2,
                 window_.icon(size), size, size, 0, nullptr, DI_NORMAL);
    } else if (HBITMAP image = window_.bitmap(button_.image())) {
      BITMAP info{};
      GetObjectW(image, sizeof info, &info);
      const int x = face.left + std::max(0, (width - static_cast<int>(info.bmWidth)) / 2);
      const int y = face.top + std::max(0, (height - static_cast<int>(info.bmHeight)) / 2);
      drawBitmap(dc, image, x, y, face.right - x, face.bottom - y, false);
    } else {
      const win32::SelectedObject font =
          win32::select(dc, window_.font(button_.font(), fontStyle()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, (item.itemState & ODS_DISABLED) != 0 ? GetSysColor(COLOR_GRAYTEXT)
                                                            : screenColor(button_.foreColor()));
      const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
      DrawTextW(dc, button_.caption().c_str(), static_cast<int>(button_.caption().size()), &face,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefix);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
      RECT focus = item.rcItem;
      const int inset = MulDiv(4, window_.dpi(), USER_DEFAULT_SCREEN_DPI);
      InflateRect(&focus, -inset, -inset);
      DrawFocusRect(dc, &focus);
    }
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return L"BUTTON"; }
  // A graphical button draws itself: the system's button would ignore the back colour.
  [[nodiscard]] DWORD style() const override {
    return WS_TABSTOP | (button_.graphical() ? BS_OWNERDRAW : BS_PUSHBUTTON);
  }
  [[nodiscard]] std::wstring text() const override { return button_.caption(); }
  // The save buttons' face is a bold one.
  [[nodiscard]] FontStyle fontStyle() const override {
    return button_.font() == ui::FontFace::Arial ? FontStyle::Bold : FontStyle::Regular;
  }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Caption)
      setTextQuietly(button_.caption());
    if (prop == ui::Prop::Caption || prop == ui::Prop::Image)
      InvalidateRect(hwnd_, nullptr, TRUE);
  }

 private:
  ui::CommandButton& button_;
};

class CheckBoxPeer : public ControlPeer {
 public:
  CheckBoxPeer(FormWindow& window, ui::CheckBox& box) : ControlPeer(window, box), box_(box) {}

  // The model decides the new value; the box shows it when the model says so.
  void command(WORD code) override {
    if (code == BN_CLICKED)
      box_.userToggle();
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return L"BUTTON"; }
  [[nodiscard]] DWORD style() const override { return WS_TABSTOP | BS_CHECKBOX; }
  [[nodiscard]] std::wstring text() const override { return box_.caption(); }
  void created() override { applyValue(); }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Caption)
      setTextQuietly(box_.caption());
    if (prop == ui::Prop::Value)
      applyValue();
  }

 private:
  void applyValue() {
    const WPARAM state = box_.value() == 1   ? BST_CHECKED
                         : box_.value() == 2 ? BST_INDETERMINATE
                                             : BST_UNCHECKED;
    SendMessageW(hwnd_, BM_SETCHECK, state, 0);
  }
  ui::CheckBox& box_;
};

// A label is used as a link: blue underlined text that clicks.
class LabelPeer : public ControlPeer {
 public:
  LabelPeer(FormWindow& window, ui::Label& label) : ControlPeer(window, label), label_(label) {}

  void command(WORD code) override {
    if (code == STN_CLICKED)
      label_.userClick();
  }
  // The text stands on its container's colour.
  HBRUSH colors(HDC dc) override {
    const COLORREF around = window_.containerColor(label_.parent());
    SetTextColor(dc, label_.foreColor() == 0 ? kLinkColor : label_.foreColor());
    SetBkColor(dc, around);
    SetBkMode(dc, TRANSPARENT);
    return window_.brush(around);
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return L"STATIC"; }
  [[nodiscard]] DWORD style() const override { return SS_NOTIFY | SS_LEFT; }
  [[nodiscard]] std::wstring text() const override { return label_.caption(); }
  [[nodiscard]] FontStyle fontStyle() const override { return FontStyle::Underline; }
  // The caption is never cut off: where the font needs more room than the control has, the
  // window grows to the right and down, its left edge in place.
  SIZE pixelSize() override {
    SIZE size = ControlPeer::pixelSize();
    RECT needed{};
    const win32::ReleasedDc dc = win32::windowDc(nullptr);
    const win32::SelectedObject font =
        win32::select(dc.get(), window_.font(label_.font(), fontStyle()));
    DrawTextW(dc.get(), label_.caption().c_str(), static_cast<int>(label_.caption().size()),
              &needed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    size.cx = std::max<LONG>(size.cx, needed.right);
    size.cy = std::max<LONG>(size.cy, needed.bottom);
    return size;
  }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Caption) {
      setTextQuietly(label_.caption());
      applyBounds();
      InvalidateRect(hwnd_, nullptr, TRUE);
    }
  }
  bool message(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    if (msg == WM_SETCURSOR) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    }
    return false;
  }

 private:
  ui::Label& label_;
};

// A line has no window: its container draws it.
class LinePeer : public ControlPeer {
 public:
  LinePeer(FormWindow& window, ui::Line& line) : ControlPeer(window, line) {}
  void update(ui::Prop) override { redrawContainer(); }
  void applyDpi() override { redrawContainer(); }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return nullptr; }
  [[nodiscard]] DWORD style() const override { return 0; }

 private:
  void redrawContainer() {
    if (HWND container = window_.containerWindow(control_.parent())) {
      InvalidateRect(container, nullptr, TRUE);
    }
  }
};

}  // namespace

std::unique_ptr<ControlPeer> makePeer(FormWindow& window, ui::Control& control) {
  switch (control.kind()) {
    case ui::Kind::CommandButton:
      return std::make_unique<CommandButtonPeer>(window, static_cast<ui::CommandButton&>(control));
    case ui::Kind::CheckBox:
      return std::make_unique<CheckBoxPeer>(window, static_cast<ui::CheckBox&>(control));
    case ui::Kind::TextBox:
      return makeTextBoxPeer(window, static_cast<ui::TextBox&>(control));
    case ui::Kind::RichTextBox:
      return makeRichTextPeer(window, static_cast<ui::RichTextBox&>(control));
    case ui::Kind::ListBox:
      return makeListBoxPeer(window, static_cast<ui::ListBox&>(control));
    case ui::Kind::PictureBox:
      return makePictureBoxPeer(window, static_cast<ui::PictureBox&>(control));
    case ui::Kind::Frame:
      return makeFramePeer(window, static_cast<ui::Frame&>(control));
    case ui::Kind::Label:
      return std::make_unique<LabelPeer>(window, static_cast<ui::Label&>(control));
    case ui::Kind::Line:
      return std::make_unique<LinePeer>(window, static_cast<ui::Line&>(control));
  }
  return nullptr;
}

}  // namespace ui_win32
