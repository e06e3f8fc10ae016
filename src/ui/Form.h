#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

enum class WindowState { Normal, Minimized, Maximized };

// What the form asks of its on-screen window.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void updateCaption() = 0;
  virtual void updateBounds() = 0;
  virtual void updatePicture() = 0;
  virtual void updateColors() = 0;
  // Shows the window (not modal) and brings it to the front.
  virtual void show() = 0;
  // Moves the real keyboard focus to the control's window.
  virtual void focus(Control& control) = 0;
  // The platform's handle of the window, for calls that act on it; a window made late is made
  // now.
  [[nodiscard]] virtual std::uintptr_t handle() = 0;
};

// The model of a top-level window: its properties, its controls and the routing of input.
class Form : public Container {
 public:
  explicit Form(std::wstring name);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  [[nodiscard]] const std::wstring& name() const { return name_; }
  [[nodiscard]] bool containerShown() const override { return visible_; }

  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(const std::wstring& c);

  // Outer bounds in twips. A size or position change is refused while minimised or maximised.
  [[nodiscard]] int left() const { return left_; }
  [[nodiscard]] int top() const { return top_; }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  bool setLeft(int v);
  bool setTop(int v);
  bool setWidth(int v);
  bool setHeight(int v);
  // Client area size in twips (what the design positions refer to).
  [[nodiscard]] int clientWidth() const { return clientWidth_; }
  [[nodiscard]] int clientHeight() const { return clientHeight_; }

  [[nodiscard]] WindowState windowState() const { return state_; }
  [[nodiscard]] Color backColor() const { return backColor_; }
  void setBackColor(Color c);

  // The window's own picture, drawn unscaled at the top left of the client area.
  [[nodiscard]] const std::shared_ptr<const platform::Picture>& picture() const { return picture_; }
  void setPicture(std::shared_ptr<const platform::Picture> p);

  [[nodiscard]] bool visible() const { return visible_; }
  void show();

  // Controls in creation order.
  template <class T>
  T& add(std::wstring name, Container* parent = nullptr) {
    auto owned = std::make_unique<T>(std::move(name), parent ? parent : this);
    T& ref = *owned;
    (parent ? parent : this)->addChild(&ref);
    controls_.push_back(std::move(owned));
    return ref;
  }
  [[nodiscard]] const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  [[nodiscard]] Control* find(const std::wstring& name) const;

  // Focus: fails without effect for a control that is hidden, disabled or cannot focus.
  [[nodiscard]] Control* activeControl() const { return active_; }
  bool setFocus(Control& control);

  Handler onLoad;
  Handler onResize;
  // The user closed the window through its close box or system menu.
  Handler onClose;
  KeyHandler onKeyDown;
  KeyPressHandler onKeyPress;

  void attachPeer(FormPeer* p) { peer_ = p; }
  [[nodiscard]] FormPeer* peer() const { return peer_; }
  [[nodiscard]] std::uintptr_t handle() const { return peer_ ? peer_->handle() : 0; }

  // Input reported by the peer. The form sees keys before the focused control.
  // Returns the key after all handlers (0 when a handler swallowed it).
  int userKeyDown(int keyCode, int shiftState);
  int userKeyPress(int keyAscii);
  // The real focus moved (by the user or the platform).
  void userFocusChanged(Control* now);
  // The user or the platform moved or sized the window (twips, outer and client).
  void userBoundsChanged(int left, int top, int width, int height, int clientWidth,
                         int clientHeight, WindowState state);
  void userClose() {
    if (onClose)
      onClose();
  }
  // Runs the load handler, as creating the window does.
  void load();

 private:
  void moveFocus(Control* to);
  std::wstring name_;
  std::wstring caption_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int clientWidth_ = 0, clientHeight_ = 0;
  WindowState state_ = WindowState::Normal;
  Color backColor_ = 0x00FFFFFF;
  std::shared_ptr<const platform::Picture> picture_;
  bool visible_ = false;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* active_ = nullptr;
  FormPeer* peer_ = nullptr;

 protected:
  // For the design values: sets bounds without the refusal rules.
  void setDesignBounds(int left, int top, int clientWidth, int clientHeight, int frameWidth,
                       int frameHeight);
};

}  // namespace ui
