#include "ui/win32/ControlPeers.h"

#include "platform/win32/Handles.h"
#include "ui/win32/Barrier.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace ui_win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Links show in the usual link blue unless the control asks for a colour of its own.
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
// Edit controls hold texts of any length the clipboard may bring.
constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

std::wstring windowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

// Paints into an off-screen bitmap first, so that a repaint does not flicker.
class BufferedPaint {
 public:
  BufferedPaint(HWND hwnd, HDC target) : target_(target), dc_(CreateCompatibleDC(target)) {
    GetClientRect(hwnd, &rect_);
    bitmap_.reset(CreateCompatibleBitmap(target, std::max<LONG>(rect_.right, 1),
                                         std::max<LONG>(rect_.bottom, 1)));
    selected_ = win32::select(dc(), bitmap_.get());
  }
  ~BufferedPaint() { BitBlt(target_, 0, 0, rect_.right, rect_.bottom, dc(), 0, 0, SRCCOPY); }
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;
  HDC dc() const { return dc_.get(); }
  const RECT& rect() const { return rect_; }

 private:
  HDC target_;
  RECT rect_{};
  win32::UniqueDc dc_;
  win32::UniqueBitmap bitmap_;
  win32::SelectedObject selected_;
};

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
    RemoveWindowSubclass(hwnd_, subclassProc, kSubclassId);
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
  SetWindowSubclass(hwnd_, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  applyFont();
  applyToolTip();
  created();
  return true;
}

void ControlPeer::update(ui::Prop prop) {
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
  return DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK ControlPeer::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR self) {
  auto* peer = reinterpret_cast<ControlPeer*>(self);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, subclassProc, kSubclassId);
    peer->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  return guarded([&] { return peer->subclassed(msg, wp, lp); });
}

LRESULT ControlPeer::subclassed(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (message(msg, wp, lp, result))
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
  bool pressedByEnter() const override { return true; }
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
      const int size = MulDiv(32, window_.dpi(), 96);
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
      const int inset = MulDiv(4, window_.dpi(), 96);
      InflateRect(&focus, -inset, -inset);
      DrawFocusRect(dc, &focus);
    }
  }

 protected:
  const wchar_t* className() const override { return L"BUTTON"; }
  // A graphical button draws itself: the system's button would ignore the back colour.
  DWORD style() const override {
    return WS_TABSTOP | (button_.graphical() ? BS_OWNERDRAW : BS_PUSHBUTTON);
  }
  std::wstring text() const override { return button_.caption(); }
  // The save buttons' face is a bold one.
  FontStyle fontStyle() const override {
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
  const wchar_t* className() const override { return L"BUTTON"; }
  DWORD style() const override { return WS_TABSTOP | BS_CHECKBOX; }
  std::wstring text() const override { return box_.caption(); }
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

class TextBoxPeer : public ControlPeer {
 public:
  TextBoxPeer(FormWindow& window, ui::TextBox& box) : ControlPeer(window, box), box_(box) {}

  void command(WORD code) override {
    if (code != EN_CHANGE || updating_)
      return;
    box_.userSetText(windowText(hwnd_));
    readSelection();
  }
  bool typesEnter() const override { return box_.multiLine(); }
  void beforeFirstShow() override {
    if (!held_)
      return;
    held_ = false;
    showText();
    applySelection();
  }

 protected:
  const wchar_t* className() const override { return L"EDIT"; }
  DWORD style() const override {
    if (!box_.multiLine())
      return WS_TABSTOP | ES_AUTOHSCROLL;
    return WS_TABSTOP | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
           ES_WANTRETURN;
  }
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  void created() override {
    // The limit first: a text longer than the default limit would be cut at creation.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, kNoTextLimit, 0);
    showText();
    applySelection();
  }
  void updateOwn(ui::Prop prop) override {
    if (prop != ui::Prop::Text && prop != ui::Prop::Selection)
      return;
    // Until the window first appears the model alone holds text and caret: a batch run that
    // never shows the window does not pay for laying out a clipboard text of many megabytes.
    if (!window_.shownOnce()) {
      held_ = true;
      return;
    }
    if (prop == ui::Prop::Text)
      showText();
    applySelection();
  }
  bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    // Keys and clicks move the caret: the model keeps up with it (not while the model holds a
    // text the window does not have yet).
    if (held_)
      return false;
    if (msg == WM_KEYUP || msg == WM_LBUTTONUP || msg == WM_KILLFOCUS) {
      result = defaultProc(msg, wp, lp);
      readSelection();
      return true;
    }
    return false;
  }

 private:
  // The edit control takes seconds to lay out a text of many megabytes, and the window answers
  // nothing meanwhile. Such a text shows its start, says so, and cannot be edited there: the
  // model keeps the whole text, which is what a save writes.
  void showText() {
    const std::wstring& text = box_.text();
    const bool cut = box_.multiLine() && text.size() > kPreviewLength;
    SendMessageW(hwnd_, EM_SETREADONLY, cut ? TRUE : FALSE, 0);
    if (!cut) {
      setTextQuietly(text);
      return;
    }
    setTextQuietly(text.substr(0, kPreviewLength) + L"\r\n\r\n[... The preview shows the first " +
                   std::to_wstring(kPreviewLength) + L" of " + std::to_wstring(text.size()) +
                   L" characters; the whole text is saved.]");
  }
  static constexpr std::size_t kPreviewLength = 1 << 18;

  void applySelection() {
    Quiet quiet(updating_);
    const int start = box_.selStart();
    const int end = start + box_.selLength();
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
  }
  void readSelection() {
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    box_.userSetSelection(static_cast<int>(start), static_cast<int>(end - start));
  }
  ui::TextBox& box_;
  bool held_ = false;
};

class ListBoxPeer : public ControlPeer {
 public:
  ListBoxPeer(FormWindow& window, ui::ListBox& list) : ControlPeer(window, list), list_(list) {}

  void applyDpi() override {
    ControlPeer::applyDpi();
    fill();
  }
  void command(WORD code) override {
    if (code == LBN_SELCHANGE) {
      list_.userSelect(selection());
    } else if (code == LBN_DBLCLK) {
      list_.userSelect(selection());
      list_.userDblClick();
    }
  }

 protected:
  const wchar_t* className() const override { return L"LISTBOX"; }
  DWORD style() const override {
    return WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
  }
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  void created() override { fill(); }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Items)
      fill();
    if (prop == ui::Prop::ListIndex)
      SendMessageW(hwnd_, LB_SETCURSEL, list_.listIndex(), 0);
  }

 private:
  int selection() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
  void fill() {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    SendMessageW(hwnd_, LB_INITSTORAGE, list_.items().size(), 0);
    // Long paths scroll sideways rather than being cut off.
    LONG widest = 0;
    {
      const win32::ReleasedDc dc = win32::windowDc(hwnd_);
      const win32::SelectedObject font = win32::select(dc.get(), window_.font(list_.font()));
      for (const std::wstring& item : list_.items()) {
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), item.c_str(), static_cast<int>(item.size()), &extent);
        widest = std::max(widest, extent.cx);
      }
    }
    const LONG extent = widest + 4;
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    SendMessageW(hwnd_, LB_SETCURSEL, list_.listIndex(), 0);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  ui::ListBox& list_;
};

// A container that draws itself completely (background, contents, the lines on it) and
// clicks like a button.
class PaintedContainerPeer : public ControlPeer {
 public:
  using ControlPeer::ControlPeer;
  bool isContainer() const override { return true; }

 protected:
  DWORD style() const override { return WS_CLIPCHILDREN; }
  DWORD exStyle() const override { return WS_EX_CONTROLPARENT; }
  bool clicksOnRelease() const override { return true; }
  bool message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
    if (msg == WM_ERASEBKGND) {
      result = 1;  // the paint covers everything
      return true;
    }
    if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
      PAINTSTRUCT ps{};
      HDC dc = msg == WM_PAINT ? BeginPaint(hwnd_, &ps) : reinterpret_cast<HDC>(wp);
      paint(dc);
      if (msg == WM_PAINT)
        EndPaint(hwnd_, &ps);
      result = 0;
      return true;
    }
    return false;
  }
  virtual void paint(HDC target) = 0;
};

class PictureBoxPeer : public PaintedContainerPeer {
 public:
  PictureBoxPeer(FormWindow& window, ui::PictureBox& box)
      : PaintedContainerPeer(window, box), box_(box) {}

 protected:
  const wchar_t* className() const override { return FormWindow::kPictureClass; }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Image || prop == ui::Prop::Drawing)
      InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  // The background, then the built-in image or the picture at its own size, then the stretched
  // drawing on top.
  void paint(HDC target) override {
    BufferedPaint buffer(hwnd_, target);
    HDC dc = buffer.dc();
    FillRect(dc, &buffer.rect(), window_.brush(box_.backColor()));
    const int width = buffer.rect().right;
    const int height = buffer.rect().bottom;
    if (box_.image() == ui::ImageId::Icon) {
      const int size = MulDiv(32, window_.dpi(), 96);
      DrawIconEx(dc, 0, 0, window_.icon(size), size, size, 0, nullptr, DI_NORMAL);
    } else if (HBITMAP image = window_.bitmap(box_.image())) {
      drawBitmap(dc, image, 0, 0, width, height, false);
    } else if (box_.picture()) {
      drawBitmap(dc, reinterpret_cast<HBITMAP>(box_.picture()->handle()), 0, 0, width, height,
                 false);
    }
    const ui::Drawing& drawing = box_.drawing();
    if (drawing.picture) {
      drawBitmap(dc, reinterpret_cast<HBITMAP>(drawing.picture->handle()),
                 window_.toPixels(drawing.x), window_.toPixels(drawing.y),
                 window_.toPixels(drawing.width), window_.toPixels(drawing.height), true);
    }
    window_.paintLines(dc, &box_);
  }
  ui::PictureBox& box_;
};

class FramePeer : public PaintedContainerPeer {
 public:
  FramePeer(FormWindow& window, ui::Frame& frame)
      : PaintedContainerPeer(window, frame), frame_(frame) {}

 protected:
  const wchar_t* className() const override { return FormWindow::kFrameClass; }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Caption)
      InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  void paint(HDC target) override {
    BufferedPaint buffer(hwnd_, target);
    HDC dc = buffer.dc();
    FillRect(dc, &buffer.rect(), window_.brush(frame_.backColor()));
    // A captioned frame is a group box; the panels without a caption are plain areas.
    if (!frame_.caption().empty()) {
      const win32::SelectedObject font = win32::select(dc, window_.font(frame_.font()));
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      RECT edge = buffer.rect();
      edge.top += metrics.tmHeight / 2;
      DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
      SetTextColor(dc, frame_.foreColor());
      SetBkColor(dc, frame_.backColor());
      const int indent = window_.toPixels(120);
      TextOutW(dc, indent, 0, frame_.caption().c_str(), static_cast<int>(frame_.caption().size()));
    }
    window_.paintLines(dc, &frame_);
  }
  ui::Frame& frame_;
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
  const wchar_t* className() const override { return L"STATIC"; }
  DWORD style() const override { return SS_NOTIFY | SS_LEFT; }
  std::wstring text() const override { return label_.caption(); }
  FontStyle fontStyle() const override { return FontStyle::Underline; }
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
  const wchar_t* className() const override { return nullptr; }
  DWORD style() const override { return 0; }

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
      return std::make_unique<TextBoxPeer>(window, static_cast<ui::TextBox&>(control));
    case ui::Kind::RichTextBox:
      return makeRichTextPeer(window, static_cast<ui::RichTextBox&>(control));
    case ui::Kind::ListBox:
      return std::make_unique<ListBoxPeer>(window, static_cast<ui::ListBox&>(control));
    case ui::Kind::PictureBox:
      return std::make_unique<PictureBoxPeer>(window, static_cast<ui::PictureBox&>(control));
    case ui::Kind::Frame:
      return std::make_unique<FramePeer>(window, static_cast<ui::Frame&>(control));
    case ui::Kind::Label:
      return std::make_unique<LabelPeer>(window, static_cast<ui::Label&>(control));
    case ui::Kind::Line:
      return std::make_unique<LinePeer>(window, static_cast<ui::Line&>(control));
  }
  return nullptr;
}

}  // namespace ui_win32
