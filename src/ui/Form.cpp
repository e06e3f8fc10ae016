#include "ui/Form.h"

#include <algorithm>

#include "ui/Forms.h"

namespace ui {

namespace {
std::vector<Form*>& loadedForms() {
  static std::vector<Form*> forms;
  return forms;
}
}  // namespace

Form* findLoadedForm(const std::wstring& name) {
  for (Form* f : loadedForms()) {
    if (f->name() == name)
      return f;
  }
  return nullptr;
}

Form::Form(std::wstring name) : name_(std::move(name)) {
  loadedForms().push_back(this);
}

Form::~Form() {
  auto& forms = loadedForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void Form::setDesignBounds(int left, int top, int clientWidth, int clientHeight, int frameWidth,
                           int frameHeight) {
  left_ = left;
  top_ = top;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  width_ = clientWidth + frameWidth;
  height_ = clientHeight + frameHeight;
}

void Form::setCaption(const std::wstring& c) {
  if (caption_ == c)
    return;
  caption_ = c;
  if (peer_)
    peer_->updateCaption();
}

bool Form::setLeft(int v) {
  if (state_ != WindowState::Normal)
    return false;
  if (v == left_)
    return true;
  left_ = v;
  if (peer_)
    peer_->updateBounds();
  return true;
}

bool Form::setTop(int v) {
  if (state_ != WindowState::Normal)
    return false;
  if (v == top_)
    return true;
  top_ = v;
  if (peer_)
    peer_->updateBounds();
  return true;
}

bool Form::setWidth(int v) {
  if (state_ != WindowState::Normal || v < 0)
    return false;
  if (v == width_)
    return true;
  clientWidth_ += v - width_;
  width_ = v;
  if (peer_)
    peer_->updateBounds();
  if (onResize)
    onResize();
  return true;
}

bool Form::setHeight(int v) {
  if (state_ != WindowState::Normal || v < 0)
    return false;
  if (v == height_)
    return true;
  clientHeight_ += v - height_;
  height_ = v;
  if (peer_)
    peer_->updateBounds();
  if (onResize)
    onResize();
  return true;
}

void Form::setBackColor(Color c) {
  backColor_ = c;
  if (peer_)
    peer_->updateColors();
}

void Form::setPicture(std::shared_ptr<const platform::Picture> p) {
  picture_ = std::move(p);
  if (peer_)
    peer_->updatePicture();
}

void Form::show() {
  visible_ = true;
  if (peer_)
    peer_->show();
}

Control* Form::find(const std::wstring& name) const {
  for (const auto& c : controls_) {
    if (c->name() == name)
      return c.get();
  }
  return nullptr;
}

bool Form::setFocus(Control& control) {
  if (!visible_ || !control.shown() || !control.enabled() || !control.canFocus())
    return false;
  if (peer_)
    peer_->focus(control);
  moveFocus(&control);
  return true;
}

void Form::moveFocus(Control* to) {
  if (to == active_)
    return;
  Control* from = active_;
  active_ = to;
  if (from && from->onLostFocus)
    from->onLostFocus();
  // A LostFocus handler may itself have moved the focus elsewhere.
  if (active_ == to && to && to->onGotFocus)
    to->onGotFocus();
}

void Form::userFocusChanged(Control* now) {
  moveFocus(now);
}

int Form::userKeyDown(int keyCode, int shiftState) {
  if (onKeyDown)
    onKeyDown(keyCode, shiftState);
  if (keyCode != 0 && active_ && active_->onKeyDown)
    active_->onKeyDown(keyCode, shiftState);
  return keyCode;
}

int Form::userKeyPress(int keyAscii) {
  if (onKeyPress)
    onKeyPress(keyAscii);
  if (keyAscii != 0 && active_ && active_->onKeyPress)
    active_->onKeyPress(keyAscii);
  return keyAscii;
}

void Form::userBoundsChanged(int left, int top, int width, int height, int clientWidth,
                             int clientHeight, WindowState state) {
  const bool sized = width != width_ || height != height_ || state != state_ ||
                     clientWidth != clientWidth_ || clientHeight != clientHeight_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  state_ = state;
  if (sized && onResize)
    onResize();
}

void Form::load() {
  if (onLoad)
    onLoad();
}

}  // namespace ui
