#pragma once
// Where a key pressed in the window goes. The order is the window's contract with its handlers:
//   1. the form's KeyDown sees every key before any control, and may swallow it;
//   2. Enter and Escape go to the form's KeyPress (the dialog keys would otherwise turn them into
//      a default button's click or IDCANCEL), then Enter to a field that types a new line, or as
//      a click to the focused button;
//   3. a character goes to the form's KeyPress, which may swallow or replace it;
//   4. the dialog keys (Tab, the accelerators) move among the controls, inside containers too.
#include <windows.h>

#include <functional>

#include "ui/Form.h"

namespace ui_win32 {

class ControlPeer;

class KeyRouter {
 public:
  using PeerOf = std::function<ControlPeer*(HWND)>;
  KeyRouter(ui::Form& form, PeerOf peerOf) : form_(form), peerOf_(std::move(peerOf)) {}

  // Routes a message meant for the window or one of its children. True when it is done with;
  // false leaves it to the usual translation and dispatch.
  bool route(HWND window, MSG& msg);

 private:
  bool enterOrEscape(MSG& msg);

  ui::Form& form_;
  PeerOf peerOf_;
  WPARAM skipChar_ = 0;  // a character already reported when its key went down
};

}  // namespace ui_win32
