#include "ui/Control.h"

namespace ui {

Control::Control(Kind kind, std::wstring name, Container* parent)
    : kind_(kind), name_(std::move(name)), parent_(parent) {}

Control::~Control() = default;

void Control::notify(Prop prop) {
  if (peer_)
    peer_->update(prop);
}

void Control::setVisible(bool visible) {
  if (visible_ == visible)
    return;
  visible_ = visible;
  // A window made now mirrors the whole control, its visibility included.
  if (visible && !peer_ && windowMaker_) {
    windowMaker_(*this);
    return;
  }
  notify(Prop::Visible);
}

bool Control::shown() const {
  return visible_ && (parent_ == nullptr || parent_->containerShown());
}

void Control::setEnabled(bool enabled) {
  if (enabled_ == enabled)
    return;
  enabled_ = enabled;
  notify(Prop::Enabled);
}

bool Control::setWidth(int v) {
  if (v < 0)
    return false;
  setBounds(left_, top_, v, height_);
  return true;
}

bool Control::setHeight(int v) {
  if (v < 0)
    return false;
  setBounds(left_, top_, width_, v);
  return true;
}

void Control::setBounds(int left, int top, int width, int height) {
  if (width < 0 || height < 0)
    return;
  if (left == left_ && top == top_ && width == width_ && height == height_)
    return;
  const bool sized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  notify(Prop::Bounds);
  if (sized)
    fire(onResize);
}

void Control::setBackColor(Color c) {
  if (backColor_ == c)
    return;
  backColor_ = c;
  notify(Prop::Colors);
}

void Control::setForeColor(Color c) {
  if (foreColor_ == c)
    return;
  foreColor_ = c;
  notify(Prop::Colors);
}

void Control::setToolTip(const std::wstring& text) {
  if (toolTip_ == text)
    return;
  toolTip_ = text;
  notify(Prop::ToolTip);
}

void Control::userMouseMove(int button, int shiftState, int x, int y) {
  if (onMouseMove)
    onMouseMove(button, shiftState, x, y);
}

void Control::userMouseDown(int button, int shiftState, int x, int y) {
  if (onMouseDown)
    onMouseDown(button, shiftState, x, y);
}

void CommandButton::setCaption(const std::wstring& c) {
  if (caption_ == c)
    return;
  caption_ = c;
  notify(Prop::Caption);
}

void CommandButton::setImage(ImageId id) {
  image_ = id;
  notify(Prop::Image);
}

void CheckBox::setCaption(const std::wstring& c) {
  if (caption_ == c)
    return;
  caption_ = c;
  notify(Prop::Caption);
}

bool CheckBox::setValue(int v) {
  if (v < 0 || v > 2)
    return false;
  if (v == value_)
    return true;
  value_ = v;
  notify(Prop::Value);
  fire(onClick);
  return true;
}

void TextBox::setText(std::wstring t) {
  assign(std::move(t), false);
}

void TextBox::userSetText(const std::wstring& t) {
  assign(std::wstring(t), true);
}

void TextBox::assign(std::wstring&& t, bool fromUser) {
  if (t == text_)
    return;
  text_ = std::move(t);
  // A new text puts the caret at its start, as the platform's edit control does.
  if (!fromUser) {
    selStart_ = 0;
    selLength_ = 0;
    notify(Prop::Text);
  } else {
    const int n = static_cast<int>(text_.size());
    if (selStart_ > n)
      selStart_ = n;
    if (selStart_ + selLength_ > n)
      selLength_ = n - selStart_;
  }
  fire(onChange);
}

bool TextBox::setSelStart(int start) {
  if (start < 0)
    return false;
  const int n = static_cast<int>(text_.size());
  selStart_ = start > n ? n : start;
  selLength_ = 0;
  notify(Prop::Selection);
  return true;
}

bool TextBox::setSelLength(int length) {
  if (length < 0)
    return false;
  const int n = static_cast<int>(text_.size());
  selLength_ = selStart_ + length > n ? n - selStart_ : length;
  notify(Prop::Selection);
  return true;
}

void TextBox::userSetSelection(int start, int length) {
  selStart_ = start;
  selLength_ = length;
}

void RichTextBox::setTextRTF(const std::wstring& rtf) {
  if (rich_) {
    rich_->setRtf(rtf);
  } else {
    rtf_ = rtf;
  }
}

std::wstring RichTextBox::textRTF() const {
  return rich_ ? rich_->rtf() : rtf_;
}

std::wstring RichTextBox::text() {
  // The plain text is what the rich edit control makes of the document.
  needWindow();
  return rich_ ? rich_->plainText() : std::wstring();
}

void RichTextBox::paste() {
  needWindow();
  if (rich_)
    rich_->paste();
}

void RichTextBox::setSelStart(int position) {
  if (rich_)
    rich_->setCaret(position);
}

std::optional<std::string> RichTextBox::rtfDocument() const {
  if (rich_)
    return rich_->rtfDocument();
  // Without a window the document is the one last set; RTF is written in 7-bit characters.
  std::string document;
  document.reserve(rtf_.size());
  for (const wchar_t c : rtf_) {
    if (c > 0x7F)
      return std::nullopt;
    document.push_back(static_cast<char>(c));
  }
  return document;
}

void ListBox::addItem(const std::wstring& item) {
  items_.push_back(item);
  notify(Prop::Items);
}

void ListBox::addItems(const std::vector<std::wstring>& items) {
  items_.insert(items_.end(), items.begin(), items.end());
  notify(Prop::Items);
}

bool ListBox::removeItem(int index) {
  if (index < 0 || index >= listCount())
    return false;
  items_.erase(items_.begin() + index);
  if (listIndex_ >= listCount())
    listIndex_ = -1;
  removedIndex_ = index;
  notify(Prop::ItemRemoved);
  return true;
}

void ListBox::clear() {
  if (items_.empty() && listIndex_ == -1)
    return;
  items_.clear();
  listIndex_ = -1;
  notify(Prop::Items);
}

bool ListBox::setListIndex(int index) {
  if (index < -1 || index >= listCount())
    return false;
  listIndex_ = index;
  notify(Prop::ListIndex);
  return true;
}

void PictureBox::setImage(ImageId id) {
  image_ = id;
  picture_.reset();
  drawing_ = Drawing{};
  notify(Prop::Image);
}

void PictureBox::setPicture(std::shared_ptr<const platform::Picture> p) {
  picture_ = std::move(p);
  image_ = ImageId::None;
  drawing_ = Drawing{};
  notify(Prop::Image);
}

void PictureBox::paintPicture(std::shared_ptr<const platform::Picture> p, int x, int y, int width,
                              int height) {
  if (!p)
    return;  // a stretch without a picture draws nothing
  drawing_ = Drawing{std::move(p), x, y, width, height};
  notify(Prop::Drawing);
}

void Frame::setCaption(const std::wstring& c) {
  caption_ = c;
  notify(Prop::Caption);
}

void Label::setCaption(const std::wstring& c) {
  if (caption_ == c)
    return;
  caption_ = c;
  notify(Prop::Caption);
}

void Line::setEnds(int x1, int y1, int x2, int y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  notify(Prop::Line);
}

}  // namespace ui
