#include "ui/win32/ControlPeer.h"

#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "ui/win32/FormWindow.h"

namespace uiw {

namespace {

constexpr wchar_t kContainerClass[] = L"BrimloContainer";
constexpr wchar_t kPictureClass[] = L"BrimloPicture";
constexpr COLORREF kLinkColor = RGB(0, 0, 192);
// Texts of any length: the edit controls' default limit is far too small for a clipboard.
constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

std::wstring windowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

const wchar_t* captionOf(const ui::Control& c) {
  switch (c.kind()) {
    case ui::Kind::CommandButton:
      return static_cast<const ui::CommandButton&>(c).caption().c_str();
    case ui::Kind::CheckBox:
      return static_cast<const ui::CheckBox&>(c).caption().c_str();
    case ui::Kind::Label:
      return static_cast<const ui::Label&>(c).caption().c_str();
    case ui::Kind::Frame:
      return static_cast<const ui::Frame&>(c).caption().c_str();
    case ui::Kind::TextBox:
      return static_cast<const ui::TextBox&>(c).text().c_str();
    default:
      return L"";
  }
}

int xOf(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int yOf(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

}  // namespace

void RegisterPeerClasses(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &ControlPeer::customProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kContainerClass;
  RegisterClassExW(&wc);
  wc.lpszClassName = kPictureClass;
  RegisterClassExW(&wc);
}

ControlPeer::ControlPeer(FormWindow& owner, ui::Control& model) : owner_(owner), model_(model) {}

ControlPeer::~ControlPeer() { model_.attachPeer(nullptr); }

bool ControlPeer::create(HWND parent, int id) {
  const wchar_t* cls = L"STATIC";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (model_.kind()) {
    case ui::Kind::CommandButton: {
      const auto& b = static_cast<const ui::CommandButton&>(model_);
      cls = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      if (b.graphical() && b.image() != ui::ImageId::None) style |= BS_BITMAP;
      break;
    }
    case ui::Kind::CheckBox:
      cls = L"BUTTON";
      // The model decides the value; the window only shows it.
      style |= WS_TABSTOP | BS_CHECKBOX;
      break;
    case ui::Kind::TextBox:
      cls = L"EDIT";
      exStyle = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      if (static_cast<const ui::TextBox&>(model_).multiLine()) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
      }
      break;
    case ui::Kind::ListBox:
      cls = L"LISTBOX";
      exStyle = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
      break;
    case ui::Kind::PictureBox:
      cls = kPictureClass;
      style |= WS_CLIPCHILDREN;
      exStyle = WS_EX_CONTROLPARENT;
      break;
    case ui::Kind::Frame:
      cls = kContainerClass;
      style |= WS_CLIPCHILDREN;
      exStyle = WS_EX_CONTROLPARENT;
      break;
    case ui::Kind::Label:
      cls = L"STATIC";
      style |= SS_NOTIFY | SS_LEFT;
      break;
    case ui::Kind::Line:
      return true;  // drawn by its container
    case ui::Kind::RichTextBox:
      return false;  // RichPeer creates it
  }
  hwnd_ = CreateWindowExW(exStyle, cls, captionOf(model_), style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), owner_.instance(),
                          nullptr);
  if (!hwnd_) return false;
  if (cls == kPictureClass || cls == kContainerClass) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  if (model_.kind() == ui::Kind::TextBox) SendMessageW(hwnd_, EM_SETLIMITTEXT, kNoTextLimit, 0);
  if (model_.kind() == ui::Kind::ListBox) {
    SetWindowSubclass(hwnd_, &ControlPeer::subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  return true;
}

int ControlPeer::shiftState() const {
  int s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ui::shift::kShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ui::shift::kCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ui::shift::kAlt;
  return s;
}

bool ControlPeer::isMultiLineEdit() const {
  return (model_.kind() == ui::Kind::TextBox &&
          static_cast<const ui::TextBox&>(model_).multiLine()) ||
         model_.kind() == ui::Kind::RichTextBox;
}

void ControlPeer::applyAll() {
  for (ui::Prop p : {ui::Prop::Bounds, ui::Prop::Caption, ui::Prop::Text, ui::Prop::Value,
                     ui::Prop::Items, ui::Prop::Image, ui::Prop::Colors, ui::Prop::Enabled,
                     ui::Prop::ToolTip, ui::Prop::Visible}) {
    update(p);
  }
  if (hwnd_) {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font(model_.font())), TRUE);
  }
}

void ControlPeer::applyBounds() {
  if (!hwnd_) return;
  SetWindowPos(hwnd_, nullptr, owner_.toPixels(model_.left()), owner_.toPixels(model_.top()),
               owner_.toPixels(model_.width()), owner_.toPixels(model_.height()),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlPeer::applyToolTip() {
  if (!hwnd_ || !owner_.toolTips()) return;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(hwnd_);
  info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  info.lpszText = const_cast<wchar_t*>(model_.toolTip().c_str());
  if (!toolAdded_) {
    if (model_.toolTip().empty()) return;
    toolAdded_ = SendMessageW(owner_.toolTips(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  } else {
    SendMessageW(owner_.toolTips(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void ControlPeer::update(ui::Prop prop) {
  if (model_.kind() == ui::Kind::Line) {
    // Lines are painted by their container.
    if (HWND parent = owner_.parentWindowOf(model_)) InvalidateRect(parent, nullptr, TRUE);
    return;
  }
  if (!hwnd_) return;
  updating_ = true;
  switch (prop) {
    case ui::Prop::Visible:
      ShowWindow(hwnd_, model_.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case ui::Prop::Enabled:
      EnableWindow(hwnd_, model_.enabled());
      break;
    case ui::Prop::Bounds:
      applyBounds();
      break;
    case ui::Prop::Caption:
      if (model_.kind() != ui::Kind::TextBox) SetWindowTextW(hwnd_, captionOf(model_));
      break;
    case ui::Prop::Text:
      if (model_.kind() == ui::Kind::TextBox) {
        SetWindowTextW(hwnd_, static_cast<const ui::TextBox&>(model_).text().c_str());
      }
      break;
    case ui::Prop::Selection:
      if (model_.kind() == ui::Kind::TextBox) {
        const auto& t = static_cast<const ui::TextBox&>(model_);
        SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(t.selStart()),
                     static_cast<LPARAM>(t.selStart() + t.selLength()));
      }
      break;
    case ui::Prop::Value:
      if (model_.kind() == ui::Kind::CheckBox) {
        const int v = static_cast<const ui::CheckBox&>(model_).value();
        SendMessageW(hwnd_, BM_SETCHECK, v == 1 ? BST_CHECKED : v == 2 ? BST_INDETERMINATE : BST_UNCHECKED, 0);
      }
      break;
    case ui::Prop::Items:
    case ui::Prop::ListIndex:
      if (model_.kind() == ui::Kind::ListBox) {
        const auto& list = static_cast<const ui::ListBox&>(model_);
        if (prop == ui::Prop::Items) {
          SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
          SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
          for (const std::wstring& item : list.items()) {
            SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
          }
          SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
          InvalidateRect(hwnd_, nullptr, TRUE);
        }
        SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
      }
      break;
    case ui::Prop::Image:
    case ui::Prop::Drawing:
      if (model_.kind() == ui::Kind::CommandButton) {
        const auto& b = static_cast<const ui::CommandButton&>(model_);
        if (b.image() != ui::ImageId::None) {
          SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP,
                       reinterpret_cast<LPARAM>(owner_.image(b.image())));
        }
      } else {
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      break;
    case ui::Prop::Colors:
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case ui::Prop::ToolTip:
      applyToolTip();
      break;
    case ui::Prop::Line:
      break;
  }
  updating_ = false;
}

void ControlPeer::onCommand(WORD code) {
  if (updating_) return;  // our own change, not the user's
  switch (model_.kind()) {
    case ui::Kind::CommandButton:
      if (code == BN_CLICKED) model_.userClick();
      break;
    case ui::Kind::CheckBox:
      if (code == BN_CLICKED) static_cast<ui::CheckBox&>(model_).userToggle();
      break;
    case ui::Kind::TextBox:
      if (code == EN_CHANGE) static_cast<ui::TextBox&>(model_).userSetText(windowText(hwnd_));
      break;
    case ui::Kind::ListBox: {
      auto& list = static_cast<ui::ListBox&>(model_);
      const int selected = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
      if (code == LBN_SELCHANGE) list.userSelect(selected);
      if (code == LBN_DBLCLK) {
        list.userSelect(selected);
        list.userDblClick();
      }
      break;
    }
    case ui::Kind::Label:
      if (code == STN_CLICKED) model_.userClick();
      break;
    default:
      break;
  }
}

HBRUSH ControlPeer::onControlColor(HDC dc) {
  COLORREF fore = model_.foreColor();
  if (model_.kind() == ui::Kind::Label) fore = kLinkColor;
  SetTextColor(dc, fore);
  SetBkColor(dc, model_.backColor());
  return owner_.brush(model_.backColor());
}

LRESULT CALLBACK ControlPeer::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlPeer*>(data);
  if (msg == WM_RBUTTONDOWN || msg == WM_LBUTTONDOWN) {
    const int button = msg == WM_RBUTTONDOWN ? ui::mouse::kRight : ui::mouse::kLeft;
    const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
    self->model_.userMouseDown(button, self->shiftState(), self->owner_.toTwips(xOf(lp)),
                               self->owner_.toTwips(yOf(lp)));
    return r;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ControlPeer::customProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  if (self->owner_.handleParentMessage(hwnd, msg, wp, lp, result)) return result;
  return self->customMessage(msg, wp, lp);
}

LRESULT ControlPeer::customMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      paintCustom(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      model_.userMouseMove((wp & MK_LBUTTON) ? ui::mouse::kLeft : 0, shiftState(),
                           owner_.toTwips(xOf(lp)), owner_.toTwips(yOf(lp)));
      return 0;
    case WM_LBUTTONUP:
      model_.userClick();
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

void ControlPeer::paintCustom(HDC dc) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  FillRect(dc, &rc, owner_.brush(model_.backColor()));
  HDC mem = CreateCompatibleDC(dc);
  const auto blit = [&](HBITMAP bmp) {
    BITMAP info{};
    if (!bmp || !GetObjectW(bmp, sizeof(info), &info)) return;
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
  };
  if (model_.kind() == ui::Kind::PictureBox) {
    const auto& pic = static_cast<const ui::PictureBox&>(model_);
    if (pic.image() != ui::ImageId::None) blit(owner_.image(pic.image()));
    const ui::Drawing& d = pic.drawing();
    // A stretched drawing becomes the preview's picture; otherwise the picture at its own size.
    if (pic.picture() && !d.picture) blit(reinterpret_cast<HBITMAP>(pic.picture()->handle()));
    if (d.picture) {
      auto bmp = reinterpret_cast<HBITMAP>(d.picture->handle());
      BITMAP info{};
      if (bmp && GetObjectW(bmp, sizeof(info), &info)) {
        HGDIOBJ old = SelectObject(mem, bmp);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, owner_.toPixels(d.x), owner_.toPixels(d.y), owner_.toPixels(d.width),
                   owner_.toPixels(d.height), mem, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(mem, old);
      }
    }
  } else if (model_.kind() == ui::Kind::Frame) {
    owner_.paintLines(dc, dynamic_cast<const ui::Container*>(&model_));
  }
  DeleteDC(mem);
}

RichPeer::RichPeer(FormWindow& owner, ui::RichTextBox& model) : ControlPeer(owner, model) {}

bool RichPeer::create(HWND parent, int id) {
  const wchar_t* cls = L"RICHEDIT50W";
  if (!LoadLibraryW(L"Msftedit.dll")) {
    LoadLibraryW(L"Riched20.dll");
    cls = L"RichEdit20W";
  }
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"",
                          WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                              ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          owner_.instance(), nullptr);
  if (!hwnd_) return false;
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kNoTextLimit));
  // Pasted formatted text without its own plain format would otherwise come out all bold.
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font(model_.font())), FALSE);
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  format.dwEffects = 0;
  SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  static_cast<ui::RichTextBox&>(model_).attachRichPeer(this);
  return true;
}

void RichPeer::paste() { SendMessageW(hwnd_, WM_PASTE, 0, 0); }

namespace {

struct StreamState {
  std::string* buffer;
  std::size_t position;
  HANDLE file;
};

DWORD CALLBACK streamOut(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* written) {
  auto* s = reinterpret_cast<StreamState*>(cookie);
  if (s->file) {
    DWORD done = 0;
    if (!WriteFile(s->file, bytes, static_cast<DWORD>(count), &done, nullptr)) return 1;
    *written = static_cast<LONG>(done);
    return done == static_cast<DWORD>(count) ? 0 : 1;
  }
  s->buffer->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
  *written = count;
  return 0;
}

DWORD CALLBACK streamIn(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* read) {
  auto* s = reinterpret_cast<StreamState*>(cookie);
  const std::size_t left = s->buffer->size() - s->position;
  const std::size_t n = left < static_cast<std::size_t>(count) ? left : static_cast<std::size_t>(count);
  memcpy(bytes, s->buffer->data() + s->position, n);
  s->position += n;
  *read = static_cast<LONG>(n);
  return 0;
}

}  // namespace

std::wstring RichPeer::rtf() {
  std::string bytes;
  StreamState state{&bytes, 0, nullptr};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&state), 0, &streamOut};
  SendMessageW(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  // RTF is 7-bit text with escapes: each byte is one character.
  return std::wstring(bytes.begin(), bytes.end());
}

void RichPeer::setRtf(const std::wstring& rtf) {
  std::string bytes;
  bytes.reserve(rtf.size());
  for (wchar_t c : rtf) bytes.push_back(static_cast<char>(c & 0xFF));
  updating_ = true;
  if (bytes.empty()) {
    SetWindowTextW(hwnd_, L"");
  } else {
    StreamState state{&bytes, 0, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&state), 0, &streamIn};
    SendMessageW(hwnd_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  }
  updating_ = false;
}

std::wstring RichPeer::plainText() { return windowText(hwnd_); }

void RichPeer::setCaret(int position) { SendMessageW(hwnd_, EM_SETSEL, position, position); }

std::uint32_t RichPeer::saveRtfFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  StreamState state{nullptr, 0, file};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&state), 0, &streamOut};
  SendMessageW(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  const DWORD streamError = es.dwError;
  const BOOL closed = CloseHandle(file);
  if (streamError != 0) return ERROR_WRITE_FAULT;
  return closed ? 0 : GetLastError();
}

}  // namespace uiw
