#include "ui/win32/ChildWindows.h"

#include "ui/win32/ControlPeers.h"
#include "ui/win32/FormWindow.h"

namespace ui_win32 {

namespace {
// Control ids start above the ids the dialog keys send (IDOK, IDCANCEL, ...).
constexpr int kFirstControlId = 100;
}  // namespace

ChildWindows::ChildWindows(FormWindow& window, ui::Form& form) : window_(window), form_(form) {}

ChildWindows::~ChildWindows() = default;

void ChildWindows::clear() {
  peers_.clear();
}

bool ChildWindows::make(bool all) {
  const bool someMadeBefore = !peers_.empty();
  const auto& controls = form_.controls();
  // Containers come before their children in the form's list, so a parent window always exists.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    ui::Control& control = *controls[i];
    if (peerOf(control) != nullptr)
      continue;
    if (all || control.shown()) {
      if (!makeWindow(control, i))
        return false;
    } else {
      control.setWindowMaker([this](ui::Control& c) { makeLate(c); });
    }
  }
  allMade_ = all;
  if (someMadeBefore)
    restoreOrder();
  return true;
}

void ChildWindows::makeEachWhenShown() {
  for (const auto& control : form_.controls())
    control->setWindowMaker([this](ui::Control& c) { makeLate(c); });
}

bool ChildWindows::makeWindow(ui::Control& control, std::size_t index) {
  std::unique_ptr<ControlPeer> peer = makePeer(window_, control);
  if (!peer || !peer->create(window_.containerWindow(control.parent()),
                             kFirstControlId + static_cast<int>(index))) {
    return false;
  }
  control.setWindowMaker(nullptr);
  if (peer->hwnd())
    byHwnd_[peer->hwnd()] = peer.get();
  byControl_[&control] = peer.get();
  peer->attach();
  peers_.push_back(std::move(peer));
  return true;
}

void ChildWindows::makeLate(ui::Control& control) {
  // Before the window first shows, only what a control's own window knows (the rich-text box's
  // document) makes one; the rest waits for the showing, which makes the shown ones.
  if ((!window_.shownOnce() && control.kind() != ui::Kind::RichTextBox) || !window_.makeWindow())
    return;
  const auto& controls = form_.controls();
  const auto indexOf = [&](const ui::Control& c) {
    std::size_t i = 0;
    while (i < controls.size() && controls[i].get() != &c)
      ++i;
    return i;
  };
  // Its containers first, then the control, then whatever inside it shows with it.
  std::vector<ui::Control*> chain;
  for (ui::Control* c = &control; c != nullptr; c = dynamic_cast<ui::Control*>(c->parent())) {
    if (peerOf(*c) == nullptr)
      chain.insert(chain.begin(), c);
  }
  for (ui::Control* c : chain) {
    if (!makeWindow(*c, indexOf(*c)))
      return;
  }
  for (std::size_t i = indexOf(control) + 1; i < controls.size(); ++i) {
    ui::Control& inner = *controls[i];
    bool inside = false;
    for (auto* c = dynamic_cast<ui::Control*>(inner.parent()); c && !inside;
         c = dynamic_cast<ui::Control*>(c->parent())) {
      inside = c == &control;
    }
    if (inside && peerOf(inner) == nullptr && inner.shown() && !makeWindow(inner, i))
      return;
  }
  // A window made later than its siblings would lie on top of them and out of the Tab order.
  restoreOrder();
}

void ChildWindows::restoreOrder() {
  std::map<HWND, HWND> lastIn;  // per parent window: the child placed last
  for (const auto& control : form_.controls()) {
    const ControlPeer* peer = peerOf(*control);
    if (peer == nullptr || peer->hwnd() == nullptr)
      continue;
    HWND& previous = lastIn[GetParent(peer->hwnd())];
    SetWindowPos(peer->hwnd(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    previous = peer->hwnd();
  }
}

ControlPeer* ChildWindows::peerOf(HWND hwnd) const {
  auto it = byHwnd_.find(hwnd);
  return it == byHwnd_.end() ? nullptr : it->second;
}

ControlPeer* ChildWindows::peerOf(const ui::Control& control) const {
  auto it = byControl_.find(&control);
  return it == byControl_.end() ? nullptr : it->second;
}

}  // namespace ui_win32
