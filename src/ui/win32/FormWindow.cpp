#include "ui/win32/FormWindow.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <set>

#include "platform/win32/Adapters.h"
#include "res/resource.h"
#include "ui/win32/Barrier.h"
#include "ui/win32/CommonControls.h"
#include "ui/win32/ControlPeers.h"
#include "ui/win32/Dpi.h"
#include "util/Phases.h"

namespace ui_win32 {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Tab and the accelerators reach the controls inside the container controls too.
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr int kToolTipWidth = 400;
// Applies the form's bounds once the window's own size change is over.
constexpr UINT kApplyBounds = WM_APP + 1;
// Hands the window's own rectangle to the system again once a size change it reported is over.
constexpr UINT kReapplyBounds = WM_APP + 2;
// What the window needs only once the user sees it, done after its first painting.
constexpr UINT kAfterFirstPaint = WM_APP + 3;

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON icon,
                   HICON smallIcon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, HINSTANCE instance, FormOptions options)
    : form_(form),
      instance_(instance),
      options_(options),
      children_(*this, form),
      keys_(form, [this](HWND hwnd) { return children_.peerOf(hwnd); }) {}

FormWindow::~FormWindow() {
  children_.forEach([](ControlPeer& peer) { peer.detach(); });
  if (form_.peer() == this)
    form_.attachPeer(nullptr);
  if (hwnd_ && IsWindow(hwnd_)) {
    destroying_ = true;
    DestroyWindow(hwnd_);
  }
  children_.clear();
}

std::wstring FormWindow::className() const {
  return L"Brimlo" + form_.name();
}

bool FormWindow::registerClasses() {
  const int bigSize = GetSystemMetrics(SM_CXICON);
  const int smallSize = GetSystemMetrics(SM_CXSMICON);
  auto* bigIcon = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_BRIMLO), IMAGE_ICON, bigSize, bigSize, LR_SHARED));
  auto* smallIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_BRIMLO),
                                                  IMAGE_ICON, smallSize, smallSize, LR_SHARED));
  return registerClass(instance_, className().c_str(), formProc, bigIcon, smallIcon) &&
         registerClass(instance_, kFrameClass, DefWindowProcW, nullptr, nullptr) &&
         registerClass(instance_, kPictureClass, DefWindowProcW, nullptr, nullptr);
}

SIZE FormWindow::outerSize(int dpi) const {
  RECT rect{0, 0, win32::twipsToPixels(designClientWidth_, dpi),
            win32::twipsToPixels(designClientHeight_, dpi)};
  adjustWindowRect(rect, kFormStyle, kFormExStyle, dpi);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool FormWindow::create(ControlWindows when) {
  if (hwnd_ || ready_)
    return false;
  // The design gives the client area; the frame around it is whatever this system draws.
  dpi_ = win32::systemDpi();
  primaryDpi_ = dpi_;
  designClientWidth_ = form_.clientWidth();
  designClientHeight_ = form_.clientHeight();
  const SIZE size = outerSize(dpi_);
  placed_ = RECT{positionToPixels(form_.left()), positionToPixels(form_.top()), 0, 0};
  placed_.right = placed_.left + size.cx;
  placed_.bottom = placed_.top + size.cy;
  if (when == ControlWindows::Now) {
    if (!makeWindow() || !children_.make(true))
      return false;
  } else {
    children_.makeEachWhenShown();
  }
  form_.attachPeer(this);
  ready_ = true;

  // The form learns the outer size. Its layout waits for the window's first appearance, as the
  // form's Resize event does.
  ui::Handler layout = std::move(form_.onResize);
  form_.onResize = nullptr;
  reportBounds();
  form_.onResize = std::move(layout);
  return true;
}

bool FormWindow::makeWindow() {
  if (hwnd_)
    return true;
  if (!registerClasses())
    return false;
  phases::mark("classes");
  // The controls' windows need the common controls; a run that never shows the window needs
  // none. (OLE comes with the rich edit control or after the first painting.)
  // Without the library the controls' windows cannot be made, and the showing fails there.
  (void)commonControls::load();
  phases::mark("libraries");
  // Made at the design size, then given the place the form has by now: the steps of a window
  // made before the form took its place, so the form ends where it would have. Until then the
  // window's own size changes tell the form nothing.
  const bool wasReady = ready_;
  ready_ = false;
  SIZE size = outerSize(dpi_);
  const std::wstring windowClass = className();
  hwnd_ = CreateWindowExW(kFormExStyle, windowClass.c_str(), form_.caption().c_str(), kFormStyle,
                          placed_.left, placed_.top, size.cx, size.cy, nullptr, nullptr, instance_,
                          this);
  if (!hwnd_) {
    ready_ = wasReady;
    return false;
  }
  const int monitorDpi = windowDpi(hwnd_);
  if (monitorDpi != dpi_) {
    dpi_ = monitorDpi;
    size = outerSize(dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  phases::mark("window_made");
  if (!wasReady)
    return true;
  ready_ = true;
  updateBounds();
  return true;
}

void initializeOle() {
  static const bool ready = SUCCEEDED(OleInitialize(nullptr));
  (void)ready;
}

int FormWindow::runMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    dispatch(msg);
  return 1;
}

void FormWindow::dispatch(MSG& msg) {
  if (preTranslate(msg))
    return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool FormWindow::preTranslate(MSG& msg) {
  return keys_.route(hwnd_, msg);
}

void FormWindow::updateCaption() {
  if (hwnd_)
    SetWindowTextW(hwnd_, form_.caption().c_str());
}

void FormWindow::updateBounds() {
  if (!hwnd_) {
    // No window yet: the form gets what a hidden window would report, the same pixels within the
    // system's limits for a window's size. A size set while the form hears of one waits, as it
    // would for the window's message loop; the window takes the form's bounds when it is made.
    if (!ready_ || reporting_)
      return;
    const auto limit = [](int pixels, int least, int most) {
      return std::max(GetSystemMetrics(least), std::min(GetSystemMetrics(most), pixels));
    };
    placed_ = RECT{positionToPixels(form_.left()), positionToPixels(form_.top()), 0, 0};
    placed_.right = placed_.left + limit(toPixels(form_.width()), SM_CXMINTRACK, SM_CXMAXTRACK);
    placed_.bottom = placed_.top + limit(toPixels(form_.height()), SM_CYMINTRACK, SM_CYMAXTRACK);
    reportBounds();
    return;
  }
  if (IsIconic(hwnd_) || IsZoomed(hwnd_))
    return;
  if (reporting_) {
    // A size the form sets while it hears of the user's sizing waits until that is over;
    // changing the window in the middle of it would fight the user and lose the size.
    PostMessageW(hwnd_, kApplyBounds, 0, 0);
    return;
  }
  applyingBounds_ = true;
  SetWindowPos(hwnd_, nullptr, positionToPixels(form_.left()), positionToPixels(form_.top()),
               toPixels(form_.width()), toPixels(form_.height()), SWP_NOZORDER | SWP_NOACTIVATE);
  applyingBounds_ = false;
  // The system may round or refuse the size: the form gets what the window really has.
  if (ready_)
    reportBounds();
}

void FormWindow::updatePicture() {
  if (hwnd_)
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::updateColors() {
  if (hwnd_)
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::show() {
  const bool first = !shownOnce_;
  // The first showing makes the windows of the controls that show; the others are made when
  // they first show.
  if (!makeWindow() || (first && !children_.allMade() && !children_.make(false)))
    return;
  shownOnce_ = true;
  if (first) {
    phases::mark("controls_made");
    children_.forEach([](ControlPeer& peer) { peer.beforeFirstShow(); });
    // A form lays itself out before it first appears: moving windows that are not yet on the
    // screen costs nothing to paint, so the window shows laid out (about 50 ms sooner under Wine).
    if (form_.onResize)
      form_.onResize();
    phases::mark("laid_out");
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (first)
    phases::mark("visible");
}

void FormWindow::focus(ui::Control& control) {
  if (peerOf(control) == nullptr && shownOnce_ && control.shown())
    children_.makeLate(control);
  ControlPeer* peer = peerOf(control);
  if (peer && peer->hwnd())
    SetFocus(peer->hwnd());
}

HWND FormWindow::toolTips() {
  if (!toolTips_ && hwnd_ && paintedOnce_) {
    toolTips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                    instance_, nullptr));
    if (toolTips_)
      SendMessageW(toolTips_.get(), TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
  }
  return toolTips_.get();
}

COLORREF FormWindow::containerColor(const ui::Container* container) const {
  if (container == nullptr || container == &form_)
    return form_.backColor();
  if (const auto* control = dynamic_cast<const ui::Control*>(container)) {
    return control->backColor();
  }
  return form_.backColor();
}

HWND FormWindow::containerWindow(const ui::Container* container) const {
  if (container == nullptr || container == &form_)
    return hwnd_;
  if (const auto* control = dynamic_cast<const ui::Control*>(container)) {
    if (ControlPeer* peer = peerOf(*control); peer && peer->hwnd())
      return peer->hwnd();
  }
  return hwnd_;
}

ControlPeer* FormWindow::peerOf(HWND hwnd) const {
  return children_.peerOf(hwnd);
}

ControlPeer* FormWindow::peerOf(const ui::Control& control) const {
  return children_.peerOf(control);
}

bool FormWindow::handleParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp))) {
        peer->command(HIWORD(wp));
        result = 0;
        return true;
      }
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (ControlPeer* peer = peerOf(item->hwndItem)) {
        peer->draw(*item);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp))) {
        result = reinterpret_cast<LRESULT>(peer->colors(reinterpret_cast<HDC>(wp)));
        return true;
      }
      return false;
    default:
      return false;
  }
}

void FormWindow::reportBounds() {
  const bool wasReporting = reporting_;
  reporting_ = true;
  RECT outer = placed_, client{};
  ui::WindowState state = ui::WindowState::Normal;
  if (hwnd_) {
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    state = IsIconic(hwnd_)   ? ui::WindowState::Minimized
            : IsZoomed(hwnd_) ? ui::WindowState::Maximized
                              : ui::WindowState::Normal;
  } else {
    // The client area a window of that size would have inside its frame.
    RECT frame{0, 0, 0, 0};
    adjustWindowRect(frame, kFormStyle, kFormExStyle, dpi_);
    client.right = std::max(0L, outer.right - outer.left - (frame.right - frame.left));
    client.bottom = std::max(0L, outer.bottom - outer.top - (frame.bottom - frame.top));
  }
  form_.userBoundsChanged(positionToTwips(outer.left), positionToTwips(outer.top),
                          toTwips(outer.right - outer.left), toTwips(outer.bottom - outer.top),
                          toTwips(client.right), toTwips(client.bottom), state);
  reporting_ = wasReporting;
}

void FormWindow::snapToMinimum(WINDOWPOS& pos) {
  // A size the form sets is the form's own decision; a minimised or maximised window has the
  // size of its state.
  if ((pos.flags & SWP_NOSIZE) || applyingBounds_ || IsIconic(hwnd_) || IsZoomed(hwnd_))
    return;
  RECT now{};
  GetWindowRect(hwnd_, &now);
  const bool moves = (pos.flags & SWP_NOMOVE) == 0;
  const int askedWidth = pos.cx, askedHeight = pos.cy;
  // A drag at the left or top edge keeps the opposite edge where it is.
  if (options_.minWidth > 0 && toTwips(pos.cx) < options_.minWidth) {
    const int width = toPixels(options_.snapWidth);
    if (moves && pos.x != now.left && pos.x + pos.cx == now.right)
      pos.x = now.right - width;
    pos.cx = width;
  }
  if (options_.minHeight > 0 && toTwips(pos.cy) < options_.minHeight) {
    const int height = toPixels(options_.snapHeight);
    if (moves && pos.y != now.top && pos.y + pos.cy == now.bottom)
      pos.y = now.bottom - height;
    pos.cy = height;
  }
  // A window manager that sized the window itself (X11 under Wine) is not told of the change
  // made here while it reports its own: the window's rectangle goes to it once more afterwards.
  if ((pos.cx != askedWidth || pos.cy != askedHeight) && !reapplyPosted_)
    reapplyPosted_ = PostMessageW(hwnd_, kReapplyBounds, 0, 0) != FALSE;
}

void FormWindow::applyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  dpi_ = dpi;
  children_.forEach([](ControlPeer& peer) { peer.applyDpi(); });
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self)
    return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return guarded([&] { return self->handle(msg, wp, lp); });
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wp), &client, brush(form_.backColor()));
      return 1;
    }
    case WM_PAINT:
      paint();
      if (!paintedOnce_) {
        paintedOnce_ = true;
        phases::mark("painted");
        PostMessageW(hwnd_, kAfterFirstPaint, 0, 0);
      }
      return 0;
    case kAfterFirstPaint:
      // Nobody points at a control before the window is painted: the tooltip window and its
      // tools (about a popup window and a subclassing per control) wait until then, as does OLE
      // for what the user's actions ask of it later (downloads, the clipboard's data objects).
      initializeOle();
      children_.forEach([](ControlPeer& peer) { peer.applyToolTip(); });
      phases::mark("tooltips");
      return 0;
    case WM_SIZE:
    case WM_MOVE:
      if (ready_ && !applyingBounds_)
        reportBounds();
      break;
    case kApplyBounds:
      updateBounds();
      return 0;
    case kReapplyBounds: {
      reapplyPosted_ = false;
      RECT now{};
      GetWindowRect(hwnd_, &now);
      SetWindowPos(hwnd_, nullptr, now.left, now.top, now.right - now.left, now.bottom - now.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_WINDOWPOSCHANGING:
      // Before the system applies its own limits.
      snapToMinimum(*reinterpret_cast<WINDOWPOS*>(lp));
      break;
    case WM_DPICHANGED: {
      applyDpi(HIWORD(wp));
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      // The same pixels are other twips now, whether or not the window's size changed.
      if (ready_)
        reportBounds();
      return 0;
    }
    case WM_ACTIVATE:
      // The focus comes back to the control that had it when the window was left.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused && IsChild(hwnd_, focused))
          lastFocus_ = focused;
        break;
      }
      if (!lastFocus_ && form_.activeControl()) {
        if (ControlPeer* peer = peerOf(*form_.activeControl()))
          lastFocus_ = peer->hwnd();
      }
      if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
          IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      // The form decides; ending the program is its part.
      form_.userClose();
      return 0;
    case WM_DESTROY:
      toolTips_.reset();
      if (!destroying_)
        PostQuitMessage(1);
      return 0;
    default: {
      LRESULT result = 0;
      if (handleParentMessage(msg, wp, lp, result))
        return result;
      break;
    }
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace ui_win32
