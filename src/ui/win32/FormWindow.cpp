#include "ui/win32/FormWindow.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/win32/ControlPeer.h"

namespace uiw {

namespace {

constexpr wchar_t kFormClass[] = L"BrimloForm";
// The smallest outer size a drag can make; the layout snaps smaller sizes set by code.
constexpr int kMinTrackWidth = 8300;
constexpr int kMinTrackHeight = 3000;
constexpr int kFirstControlId = 100;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <class F>
F user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

int windowDpi(HWND hwnd) {
  static const auto getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpi && hwnd) {
    if (const UINT dpi = getDpi(hwnd)) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

int imageResource(ui::ImageId id) {
  switch (id) {
    case ui::ImageId::ModeFiles:
      return IDB_MODE_FILES;
    case ui::ImageId::ModeText:
      return IDB_MODE_TEXT;
    case ui::ImageId::ModePicture:
      return IDB_MODE_PICTURE;
    case ui::ImageId::ModeRichText:
      return IDB_MODE_RICHTEXT;
    case ui::ImageId::Resize:
      return IDB_RESIZE;
    case ui::ImageId::NewFolder:
      return IDB_NEW_FOLDER;
    case ui::ImageId::Exit:
      return IDB_EXIT;
    case ui::ImageId::AotDisabled:
      return IDB_AOT_DISABLED;
    case ui::ImageId::AotMouseMove:
      return IDB_AOT_MOUSEMOVE;
    case ui::ImageId::AotEnabled:
      return IDB_AOT_ENABLED;
    case ui::ImageId::Icon:
      return IDI_BRIMLO;
    case ui::ImageId::None:
      break;
  }
  return 0;
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, HINSTANCE instance) : form_(form), instance_(instance) {}

FormWindow::~FormWindow() {
  for (auto& [key, f] : fonts_) DeleteObject(f);
  for (auto& [key, b] : brushes_) DeleteObject(b);
  for (auto& [key, i] : images_) DeleteObject(i);
  if (hwnd_) DestroyWindow(hwnd_);
  form_.attachPeer(nullptr);
}

void FormWindow::registerClasses() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &FormWindow::formProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_BRIMLO), IMAGE_ICON, 32,
                                           32, LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_BRIMLO), IMAGE_ICON,
                                             16, 16, LR_DEFAULTCOLOR));
  wc.hIcon = bigIcon_;
  wc.hIconSm = smallIcon_;
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  RegisterPeerClasses(instance_);
}

bool FormWindow::create() {
  registerClasses();
  hwnd_ = CreateWindowExW(kFormExStyle, kFormClass, form_.caption().c_str(), kFormStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  dpi_ = windowDpi(hwnd_);
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                              nullptr, instance_, nullptr);
  form_.attachPeer(this);

  int id = kFirstControlId;
  for (const auto& control : form_.controls()) {
    std::unique_ptr<ControlPeer> peer;
    if (control->kind() == ui::Kind::RichTextBox) {
      peer = std::make_unique<RichPeer>(*this, static_cast<ui::RichTextBox&>(*control));
    } else {
      peer = std::make_unique<ControlPeer>(*this, *control);
    }
    HWND parent = parentWindowOf(*control);
    if (!peer->create(parent ? parent : hwnd_, id++)) continue;
    if (control->kind() != ui::Kind::RichTextBox) control->attachPeer(peer.get());
    if (peer->hwnd()) byHwnd_[peer->hwnd()] = peer.get();
    byControl_[control.get()] = peer.get();
    peers_.push_back(std::move(peer));
  }
  // The rich-text box's design content was set before its window existed.
  for (auto& peer : peers_) {
    if (peer->model().kind() == ui::Kind::RichTextBox) {
      auto& box = static_cast<ui::RichTextBox&>(peer->model());
      (void)box;
    }
    peer->applyAll();
  }

  // The design gives the client area; the frame comes on top of it.
  RECT rc{0, 0, toPixels(form_.clientWidth()), toPixels(form_.clientHeight())};
  static const auto adjust = user32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (adjust) {
    adjust(&rc, kFormStyle, FALSE, kFormExStyle, static_cast<UINT>(dpi_));
  } else {
    AdjustWindowRectEx(&rc, kFormStyle, FALSE, kFormExStyle);
  }
  updating_ = true;
  SetWindowPos(hwnd_, nullptr, toPixels(form_.left()), toPixels(form_.top()), rc.right - rc.left,
               rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
  updating_ = false;
  reportBounds();
  return true;
}

HWND FormWindow::parentWindowOf(const ui::Control& control) const {
  const auto* container = dynamic_cast<const ui::Control*>(control.parent());
  if (!container) return hwnd_;
  const ControlPeer* peer = peerOf(container);
  return peer && peer->hwnd() ? peer->hwnd() : hwnd_;
}

ControlPeer* FormWindow::peerOf(HWND hwnd) const {
  auto it = byHwnd_.find(hwnd);
  return it == byHwnd_.end() ? nullptr : it->second;
}

ControlPeer* FormWindow::peerOf(const ui::Control* control) const {
  auto it = byControl_.find(control);
  return it == byControl_.end() ? nullptr : it->second;
}

HFONT FormWindow::font(ui::FontFace face) {
  const auto key = std::make_pair(static_cast<int>(face), dpi_);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  const wchar_t* name = L"MS Shell Dlg 2";
  int points = 8;
  int weight = FW_NORMAL;
  switch (face) {
    case ui::FontFace::Default:
      break;
    case ui::FontFace::MsSansSerif:
      name = L"MS Sans Serif";
      break;
    case ui::FontFace::CourierNew:
      name = L"Courier New";
      points = 10;
      break;
    case ui::FontFace::Arial:
      name = L"Arial";
      points = 10;
      weight = FW_BOLD;
      break;
  }
  HFONT f = CreateFontW(-MulDiv(points, dpi_, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, name);
  fonts_[key] = f;
  return f;
}

HBRUSH FormWindow::brush(COLORREF color) {
  if (auto it = brushes_.find(color); it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(color);
  brushes_[color] = b;
  return b;
}

HBITMAP FormWindow::image(ui::ImageId id) {
  const int resource = imageResource(id);
  if (resource == 0) return nullptr;
  if (auto it = images_.find(resource); it != images_.end()) return it->second;
  HBITMAP bmp = nullptr;
  if (id == ui::ImageId::Icon) {
    // The window's icon drawn once into a bitmap, so picture boxes can show it like the others.
    const int size = 32;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    bmp = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT rc{0, 0, size, size};
    FillRect(mem, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (bigIcon_) DrawIconEx(mem, 0, 0, bigIcon_, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
  } else {
    bmp = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0,
                                          0, LR_CREATEDIBSECTION));
  }
  images_[resource] = bmp;
  return bmp;
}

void FormWindow::paintLines(HDC dc, const ui::Container* container) {
  if (!container) return;
  for (const ui::Control* c : container->children()) {
    if (c->kind() != ui::Kind::Line || !c->visible()) continue;
    const auto* line = static_cast<const ui::Line*>(c);
    HPEN pen = CreatePen(PS_SOLID, 1, line->lineColor());
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, toPixels(line->x1()), toPixels(line->y1()), nullptr);
    LineTo(dc, toPixels(line->x2()), toPixels(line->y2()));
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

bool FormWindow::handleParentMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp))) {
        peer->onCommand(HIWORD(wp));
        result = 0;
        return true;
      }
      return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (ControlPeer* peer = peerOf(reinterpret_cast<HWND>(lp))) {
        result = reinterpret_cast<LRESULT>(peer->onControlColor(reinterpret_cast<HDC>(wp)));
        return true;
      }
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<FormWindow*>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  if (self->handleParentMessage(hwnd, msg, wp, lp, result)) return result;
  return self->handle(msg, wp, lp);
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd_, &rc);
      FillRect(reinterpret_cast<HDC>(wp), &rc, brush(form_.backColor()));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      // The held picture lies unscaled at the top left, under the controls.
      if (form_.picture()) {
        auto bmp = reinterpret_cast<HBITMAP>(form_.picture()->handle());
        BITMAP info{};
        if (bmp && GetObjectW(bmp, sizeof(info), &info)) {
          HDC mem = CreateCompatibleDC(dc);
          HGDIOBJ old = SelectObject(mem, bmp);
          BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
          SelectObject(mem, old);
          DeleteDC(mem);
        }
      }
      paintLines(dc, &form_);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize.x = toPixels(kMinTrackWidth);
      info->ptMinTrackSize.y = toPixels(kMinTrackHeight);
      return 0;
    }
    case WM_SIZE:
    case WM_MOVE:
      if (!updating_) reportBounds();
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      applyDpi(HIWORD(wp));
      updating_ = true;
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      updating_ = false;
      reportBounds();
      return 0;
    }
    case WM_CLOSE:
      form_.userClose();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(1);
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void FormWindow::applyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  for (auto& peer : peers_) {
    peer->update(ui::Prop::Bounds);
    if (peer->hwnd()) {
      SendMessageW(peer->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font(peer->model().font())),
                   TRUE);
    }
  }
}

void FormWindow::reportBounds() {
  RECT outer, client;
  GetWindowRect(hwnd_, &outer);
  GetClientRect(hwnd_, &client);
  const ui::WindowState state = IsIconic(hwnd_)   ? ui::WindowState::Minimized
                                : IsZoomed(hwnd_) ? ui::WindowState::Maximized
                                                  : ui::WindowState::Normal;
  if (state == ui::WindowState::Minimized) {
    // A minimised window reports a tiny rectangle; keep the last real size and position.
    form_.userBoundsChanged(form_.left(), form_.top(), form_.width(), form_.height(),
                            form_.clientWidth(), form_.clientHeight(), state);
    return;
  }
  form_.userBoundsChanged(toTwips(outer.left), toTwips(outer.top), toTwips(outer.right - outer.left),
                          toTwips(outer.bottom - outer.top), toTwips(client.right),
                          toTwips(client.bottom), state);
}

void FormWindow::updateCaption() { SetWindowTextW(hwnd_, form_.caption().c_str()); }

void FormWindow::updateBounds() {
  if (!hwnd_ || IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  updating_ = true;
  SetWindowPos(hwnd_, nullptr, toPixels(form_.left()), toPixels(form_.top()),
               toPixels(form_.width()), toPixels(form_.height()), SWP_NOZORDER | SWP_NOACTIVATE);
  updating_ = false;
}

void FormWindow::updatePicture() { InvalidateRect(hwnd_, nullptr, TRUE); }

void FormWindow::updateColors() { InvalidateRect(hwnd_, nullptr, TRUE); }

void FormWindow::show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
}

void FormWindow::focus(ui::Control& control) {
  if (ControlPeer* peer = peerOf(&control)) {
    if (peer->hwnd()) {
      SetFocus(peer->hwnd());
      lastFocus_ = peer->hwnd();
    }
  }
}

void FormWindow::trackFocus() {
  HWND now = GetFocus();
  if (now == lastFocus_) return;
  lastFocus_ = now;
  // The focus may sit on an inner window of a control (none here today): walk up to a peer.
  for (HWND h = now; h && h != hwnd_; h = GetParent(h)) {
    if (ControlPeer* peer = peerOf(h)) {
      form_.userFocusChanged(&peer->model());
      return;
    }
  }
}

bool FormWindow::preTranslate(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  ControlPeer* focused = peerOf(GetFocus());
  const bool multiLine = focused && focused->isMultiLineEdit();
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ui::shift::kShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ui::shift::kCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ui::shift::kAlt;
    if (form_.userKeyDown(static_cast<int>(msg.wParam), shift) == 0) return true;
    trackFocus();
    // Esc and Enter reach the form and the field as key presses; the dialog manager would
    // otherwise turn them into button clicks.
    if (msg.wParam == VK_ESCAPE && msg.message == WM_KEYDOWN) {
      form_.userKeyPress(27);
      return true;
    }
    if (msg.wParam == VK_RETURN && msg.message == WM_KEYDOWN) {
      const bool onButton = focused && focused->model().kind() == ui::Kind::CommandButton;
      if (!onButton) {
        const int key = form_.userKeyPress(13);
        if (!multiLine || key == 0) return true;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
      }
    }
  } else if (msg.message == WM_CHAR) {
    // Enter and Esc were reported with their key-down.
    if (msg.wParam == L'\r' || msg.wParam == 27) return multiLine ? false : true;
    if (form_.userKeyPress(static_cast<int>(msg.wParam)) == 0) return true;
    return false;
  }
  if (!multiLine || msg.message != WM_KEYDOWN || msg.wParam == VK_TAB) {
    if (IsDialogMessageW(hwnd_, &msg)) return true;
  }
  return false;
}

int FormWindow::runMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!preTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    trackFocus();
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace uiw
