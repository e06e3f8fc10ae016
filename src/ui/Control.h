#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Picture.h"

namespace ui {

using Color = std::uint32_t;  // 0x00BBGGRR
// The system's colour of a button face, whatever the colour scheme (0x80000000 + its index).
constexpr Color kButtonFace = 0x8000000F;

enum class Kind {
  CommandButton,
  CheckBox,
  TextBox,
  RichTextBox,
  ListBox,
  PictureBox,
  Frame,
  Label,
  Line,
};

enum class FontFace { Default, MsSansSerif, CourierNew, Arial };

// Images the window shows, built into the program.
enum class ImageId {
  None,
  ModeFiles,
  ModeText,
  ModePicture,
  ModeRichText,
  Resize,
  NewFolder,
  Exit,
  AotDisabled,
  AotMouseMove,
  AotEnabled,
  Icon,
};

// What changed on a control, so that its peer mirrors just that.
enum class Prop {
  Visible,
  Enabled,
  Bounds,
  Caption,
  Text,
  Colors,
  ToolTip,
  Value,
  Selection,
  Items,
  ItemRemoved,  // one entry, at the list's removedIndex()
  ListIndex,
  Image,
  Drawing,
  Line,
};

// The on-screen counterpart of a control. It mirrors the model and reports user input back.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void update(Prop prop) = 0;
};

class Container;

using Handler = std::function<void()>;
using MouseHandler = std::function<void(int button, int shift, int x, int y)>;
using KeyPressHandler = std::function<void(int& keyAscii)>;
using KeyHandler = std::function<void(int& keyCode, int shift)>;

// Mouse buttons and modifier bits as the handlers receive them.
namespace mouse {
constexpr int kLeft = 1;
constexpr int kRight = 2;
}  // namespace mouse
namespace shift {
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;
}  // namespace shift

class Control {
 public:
  Control(Kind kind, std::wstring name, Container* parent);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] const std::wstring& name() const { return name_; }
  [[nodiscard]] Container* parent() const { return parent_; }

  [[nodiscard]] bool visible() const { return visible_; }
  void setVisible(bool visible);
  // Visible itself and inside visible containers: only then can it take the focus.
  [[nodiscard]] bool shown() const;
  [[nodiscard]] bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);

  [[nodiscard]] int left() const { return left_; }
  [[nodiscard]] int top() const { return top_; }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  void setLeft(int v) { setBounds(v, top_, width_, height_); }
  void setTop(int v) { setBounds(left_, v, width_, height_); }
  virtual bool setWidth(int v);
  virtual bool setHeight(int v);
  void setBounds(int left, int top, int width, int height);

  [[nodiscard]] Color backColor() const { return backColor_; }
  void setBackColor(Color c);
  [[nodiscard]] Color foreColor() const { return foreColor_; }
  void setForeColor(Color c);
  [[nodiscard]] FontFace font() const { return font_; }
  void setFont(FontFace f) { font_ = f; }
  [[nodiscard]] const std::wstring& toolTip() const { return toolTip_; }
  void setToolTip(const std::wstring& text);
  // What a screen reader calls a control that shows neither caption nor tooltip.
  [[nodiscard]] const std::wstring& accessibleName() const { return accessibleName_; }
  void setAccessibleName(std::wstring name) { accessibleName_ = std::move(name); }

  // Whether the control can take the keyboard focus at all.
  [[nodiscard]] virtual bool canFocus() const { return true; }

  void attachPeer(Peer* peer) { peer_ = peer; }
  [[nodiscard]] Peer* peer() const { return peer_; }
  // Makes the control's window when it is first needed (shown, or asked for what only its
  // window knows); set by a window that makes its controls' windows late.
  using WindowMaker = std::function<void(Control&)>;
  void setWindowMaker(WindowMaker maker) { windowMaker_ = std::move(maker); }

  Handler onGotFocus;
  Handler onLostFocus;
  Handler onResize;
  Handler onClick;
  Handler onDblClick;
  MouseHandler onMouseMove;
  MouseHandler onMouseDown;
  KeyPressHandler onKeyPress;
  KeyHandler onKeyDown;

  // Input reported by the peer (or a test standing in for the user).
  void userClick() { fire(onClick); }
  void userDblClick() { fire(onDblClick); }
  void userMouseMove(int button, int shiftState, int x, int y);
  void userMouseDown(int button, int shiftState, int x, int y);

 protected:
  void notify(Prop prop);
  // Asks for the control's window where it has none yet.
  void needWindow() {
    if (!peer_ && windowMaker_)
      windowMaker_(*this);
  }
  static void fire(const Handler& h) {
    if (h)
      h();
  }

 private:
  Kind kind_;
  std::wstring name_;
  Container* parent_;
  bool visible_ = true;
  bool enabled_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Color backColor_ = 0x00FFFFFF;
  Color foreColor_ = 0x00000000;
  FontFace font_ = FontFace::Default;
  std::wstring toolTip_;
  std::wstring accessibleName_;
  Peer* peer_ = nullptr;
  WindowMaker windowMaker_;
};

// A control that holds other controls (the top panel, the picture preview).
class Container {
 public:
  virtual ~Container() = default;
  [[nodiscard]] virtual bool containerShown() const = 0;
  [[nodiscard]] const std::vector<Control*>& children() const { return children_; }
  void addChild(Control* c) { children_.push_back(c); }

 private:
  std::vector<Control*> children_;
};

class CommandButton : public Control {
 public:
  CommandButton(std::wstring name, Container* parent)
      : Control(Kind::CommandButton, std::move(name), parent) {
    setBackColor(kButtonFace);
  }
  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(const std::wstring& c);
  // Graphical style: the button face has its back colour and shows the image (its caption then
  // serves only as the accelerator) or else the caption.
  [[nodiscard]] bool graphical() const { return graphical_; }
  void setGraphical(bool g) { graphical_ = g; }
  [[nodiscard]] ImageId image() const { return image_; }
  void setImage(ImageId id);

 private:
  std::wstring caption_;
  bool graphical_ = false;
  ImageId image_ = ImageId::None;
};

class CheckBox : public Control {
 public:
  CheckBox(std::wstring name, Container* parent)
      : Control(Kind::CheckBox, std::move(name), parent) {}
  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(const std::wstring& c);
  [[nodiscard]] int value() const { return value_; }
  // Accepts 0, 1 and 2; a change runs the Click handler. False for a refused value.
  bool setValue(int v);
  // The user clicked the box: it toggles between off and on.
  void userToggle() { setValue(value_ == 1 ? 0 : 1); }

 private:
  std::wstring caption_;
  int value_ = 0;
};

class TextBox : public Control {
 public:
  TextBox(std::wstring name, Container* parent) : Control(Kind::TextBox, std::move(name), parent) {}
  [[nodiscard]] const std::wstring& text() const { return text_; }
  // A change of the text runs the Change handler; the same text again runs nothing.
  void setText(std::wstring t);
  [[nodiscard]] bool multiLine() const { return multiLine_; }
  void setMultiLine(bool m) { multiLine_ = m; }
  [[nodiscard]] int selStart() const { return selStart_; }
  [[nodiscard]] int selLength() const { return selLength_; }
  // Refuses a start outside the text; clamps like the platform's edit control otherwise.
  bool setSelStart(int start);
  // Refuses a negative length.
  bool setSelLength(int length);

  Handler onChange;

  // The user edited the text (the peer already shows it).
  void userSetText(const std::wstring& t);
  // The user moved the caret or selection.
  void userSetSelection(int start, int length);

 private:
  void assign(std::wstring&& t, bool fromUser);
  std::wstring text_;
  bool multiLine_ = false;
  int selStart_ = 0;
  int selLength_ = 0;
};

// What the rich-text box asks of the platform's rich edit control.
class RichTextPeer : public Peer {
 public:
  virtual void paste() = 0;
  virtual std::wstring rtf() = 0;
  virtual void setRtf(const std::wstring& rtf) = 0;
  virtual std::wstring plainText() = 0;
  virtual void setCaret(int position) = 0;
  // The content as an RTF document; nothing when the box could not write it whole.
  virtual std::optional<std::string> rtfDocument() = 0;
};

class RichTextBox : public Control {
 public:
  RichTextBox(std::wstring name, Container* parent)
      : Control(Kind::RichTextBox, std::move(name), parent) {}
  void attachRichPeer(RichTextPeer* p) {
    rich_ = p;
    attachPeer(p);
  }
  void setTextRTF(const std::wstring& rtf);
  [[nodiscard]] std::wstring textRTF() const;
  std::wstring text();
  void clear() { setTextRTF(L""); }
  void paste();
  void setSelStart(int position);
  // The content as an RTF document; nothing when it could not be written whole.
  [[nodiscard]] std::optional<std::string> rtfDocument() const;

 private:
  RichTextPeer* rich_ = nullptr;
  std::wstring rtf_;  // used only without a peer
};

class ListBox : public Control {
 public:
  ListBox(std::wstring name, Container* parent) : Control(Kind::ListBox, std::move(name), parent) {}
  [[nodiscard]] const std::vector<std::wstring>& items() const { return items_; }
  [[nodiscard]] int listCount() const { return static_cast<int>(items_.size()); }
  void addItem(const std::wstring& item);
  void addItems(const std::vector<std::wstring>& items);
  bool removeItem(int index);
  // Where the entry removed last stood, for a window that mirrors the list entry by entry.
  [[nodiscard]] int removedIndex() const { return removedIndex_; }
  void clear();
  // The selected entry, -1 for none.
  [[nodiscard]] int listIndex() const { return listIndex_; }
  bool setListIndex(int index);
  void userSelect(int index) { listIndex_ = index; }

 private:
  std::vector<std::wstring> items_;
  int listIndex_ = -1;
  int removedIndex_ = -1;
};

// A picture drawn stretched into a destination rectangle (twips, from the box's origin).
struct Drawing {
  std::shared_ptr<const platform::Picture> picture;
  int x = 0, y = 0, width = 0, height = 0;
};

class PictureBox : public Control, public Container {
 public:
  PictureBox(std::wstring name, Container* parent)
      : Control(Kind::PictureBox, std::move(name), parent) {}
  [[nodiscard]] bool containerShown() const override { return shown(); }
  [[nodiscard]] bool canFocus() const override { return false; }
  [[nodiscard]] ImageId image() const { return image_; }
  // Shows a built-in image at its own size.
  void setImage(ImageId id);
  [[nodiscard]] const std::shared_ptr<const platform::Picture>& picture() const { return picture_; }
  // Shows a picture at its own size (no picture clears the box).
  void setPicture(std::shared_ptr<const platform::Picture> p);
  // Keeps what is drawn on the box.
  [[nodiscard]] bool autoRedraw() const { return autoRedraw_; }
  void setAutoRedraw(bool a) { autoRedraw_ = a; }
  // Draws a picture stretched into a rectangle; it stays until the picture changes.
  void paintPicture(std::shared_ptr<const platform::Picture> p, int x, int y, int width,
                    int height);
  [[nodiscard]] const Drawing& drawing() const { return drawing_; }

 private:
  ImageId image_ = ImageId::None;
  std::shared_ptr<const platform::Picture> picture_;
  bool autoRedraw_ = false;
  Drawing drawing_;
};

class Frame : public Control, public Container {
 public:
  Frame(std::wstring name, Container* parent) : Control(Kind::Frame, std::move(name), parent) {}
  [[nodiscard]] bool containerShown() const override { return shown(); }
  [[nodiscard]] bool canFocus() const override { return false; }
  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(const std::wstring& c);

 private:
  std::wstring caption_;
};

class Label : public Control {
 public:
  Label(std::wstring name, Container* parent) : Control(Kind::Label, std::move(name), parent) {}
  [[nodiscard]] bool canFocus() const override { return false; }
  [[nodiscard]] const std::wstring& caption() const { return caption_; }
  void setCaption(const std::wstring& c);

 private:
  std::wstring caption_;
};

class Line : public Control {
 public:
  Line(std::wstring name, Container* parent) : Control(Kind::Line, std::move(name), parent) {}
  [[nodiscard]] bool canFocus() const override { return false; }
  [[nodiscard]] int x1() const { return x1_; }
  [[nodiscard]] int y1() const { return y1_; }
  [[nodiscard]] int x2() const { return x2_; }
  [[nodiscard]] int y2() const { return y2_; }
  void setEnds(int x1, int y1, int x2, int y2);
  void setX2(int x2) { setEnds(x1_, y1_, x2, y2_); }
  [[nodiscard]] Color lineColor() const { return lineColor_; }
  void setLineColor(Color c) { lineColor_ = c; }

 private:
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Color lineColor_ = 0x00808080;
};

}  // namespace ui
