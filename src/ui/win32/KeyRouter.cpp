#include "ui/win32/KeyRouter.h"

#include "platform/Process.h"
#include "ui/win32/ControlPeers.h"

namespace ui_win32 {

namespace {

int keyShiftState() {
  int state = 0;
  if (GetKeyState(VK_SHIFT) < 0)
    state |= ui::shift::kShift;
  if (GetKeyState(VK_CONTROL) < 0)
    state |= ui::shift::kCtrl;
  if (GetKeyState(VK_MENU) < 0)
    state |= ui::shift::kAlt;
  return state;
}

}  // namespace

bool KeyRouter::route(HWND window, MSG& msg) {
  if (!window || (msg.hwnd != window && !IsChild(window, msg.hwnd)))
    return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (form_.userKeyDown(static_cast<int>(msg.wParam), keyShiftState()) == 0)
        return true;
      if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        return enterOrEscape(msg);
      }
      break;
    }
    case WM_CHAR: {
      if (skipChar_ != 0 && msg.wParam == skipChar_) {
        skipChar_ = 0;  // reported when its key went down
        break;
      }
      const int key = form_.userKeyPress(static_cast<int>(msg.wParam));
      if (key == 0)
        return true;
      msg.wParam = static_cast<WPARAM>(key);
      break;
    }
    default:
      break;
  }
  return IsDialogMessageW(window, &msg) != FALSE;
}

bool KeyRouter::enterOrEscape(MSG& msg) {
  const bool enter = msg.wParam == VK_RETURN;
  if (form_.userKeyPress(enter ? platform::key::kEnter : platform::key::kEscape) == 0 || !enter)
    return true;
  HWND focused = GetFocus();
  ControlPeer* peer = peerOf_(focused);
  if (peer && peer->typesEnter()) {
    skipChar_ = L'\r';
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  } else if (peer && peer->pressedByEnter()) {
    SendMessageW(focused, BM_CLICK, 0, 0);
  }
  return true;
}

}  // namespace ui_win32
