#pragma once
// The child windows of a form's controls, one peer each: made all at once, or each when its
// control first shows, and kept in the form's order, which is also the order Tab follows.
#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "ui/Form.h"

namespace ui_win32 {

class ControlPeer;
class FormWindow;

class ChildWindows {
 public:
  ChildWindows(FormWindow& window, ui::Form& form);
  ~ChildWindows();
  ChildWindows(const ChildWindows&) = delete;
  ChildWindows& operator=(const ChildWindows&) = delete;

  // Makes the windows of the controls that have none yet: all of them, or only those that show
  // now (the others get theirs when they first show). False when one could not be made.
  bool make(bool all);
  // Every control gets its window only when it first shows.
  void makeEachWhenShown();
  // Every control has its window (where it has one).
  [[nodiscard]] bool allMade() const { return allMade_; }
  // Makes the window of a control that needs it after the others, with its containers and the
  // controls inside it that show.
  void makeLate(ui::Control& control);

  ControlPeer* peerOf(HWND hwnd) const;
  [[nodiscard]] ControlPeer* peerOf(const ui::Control& control) const;
  template <class F>
  void forEach(F&& f) {
    for (auto& peer : peers_)
      f(*peer);
  }
  void clear();

 private:
  // Makes one control's window (the index is its place in the form's list).
  bool makeWindow(ui::Control& control, std::size_t index);
  // Windows made later than others would lie on top of them: put every child back in the
  // form's order.
  void restoreOrder();

  FormWindow& window_;
  ui::Form& form_;
  bool allMade_ = false;
  std::vector<std::unique_ptr<ControlPeer>> peers_;
  std::map<HWND, ControlPeer*> byHwnd_;
  std::map<const ui::Control*, ControlPeer*> byControl_;
};

}  // namespace ui_win32
