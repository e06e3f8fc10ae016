#pragma once
// One child window per control of the model. A peer applies each change of its control to the
// window and reports what the user does in the window back to the control.
#include <windows.h>

#include <memory>
#include <string>

#include "ui/Control.h"
#include "ui/win32/Accessible.h"
#include "ui/win32/FormWindow.h"

namespace ui_win32 {

class ControlPeer : public ui::Peer {
 public:
  ControlPeer(FormWindow& window, ui::Control& control) : window_(window), control_(control) {}
  ~ControlPeer() override;
  ControlPeer(const ControlPeer&) = delete;
  ControlPeer& operator=(const ControlPeer&) = delete;

  [[nodiscard]] ui::Control& control() const { return control_; }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }

  // Makes the control's window inside its container's window, mirroring the whole control.
  // A control drawn by its container (a line) has no window of its own.
  bool create(HWND parent, int id);
  // Hands the control to this peer, so that the control's changes reach it from now on.
  virtual void attach() { control_.attachPeer(this); }
  void detach() { control_.attachPeer(nullptr); }

  void update(ui::Prop prop) override;
  // Applies everything that depends on the DPI again (position, size, font, images).
  virtual void applyDpi();

  // A notification of the window to its parent (WM_COMMAND).
  virtual void command(WORD /*code*/) {}
  // The colours of the window (WM_CTLCOLOR...): sets them on the DC and returns the brush.
  virtual HBRUSH colors(HDC dc);
  // Draws a control that draws itself (WM_DRAWITEM).
  virtual void draw(const DRAWITEMSTRUCT& /*item*/) {}
  // Enter types into the control itself (a multi-line field).
  [[nodiscard]] virtual bool typesEnter() const { return false; }
  // Enter presses the control (a button with the focus).
  [[nodiscard]] virtual bool pressedByEnter() const { return false; }
  // The control holds other controls' windows and answers their notifications.
  [[nodiscard]] virtual bool isContainer() const { return false; }
  // The form is about to appear for the first time: what was held back goes to the window now.
  virtual void beforeFirstShow() {}
  // Gives the tooltip window the control's tip (none before the form's first painting).
  void applyToolTip();

 protected:
  // The window's class, styles and text at creation; no class for a control without a window.
  [[nodiscard]] virtual const wchar_t* className() const = 0;
  [[nodiscard]] virtual DWORD style() const = 0;
  [[nodiscard]] virtual DWORD exStyle() const { return 0; }
  [[nodiscard]] virtual std::wstring text() const { return {}; }
  [[nodiscard]] virtual FontStyle fontStyle() const { return FontStyle::Regular; }
  // Called once the window exists, before the control is attached.
  virtual void created() {}
  // The changes that only some kinds of control know.
  virtual void updateOwn(ui::Prop /*prop*/) {}
  // A left click (button down and up on the control) is the control's Click.
  [[nodiscard]] virtual bool clicksOnRelease() const { return false; }
  // Messages to the control's own window before its window procedure sees them; true when
  // handled (with the result).
  virtual bool message(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
    return false;
  }
  // The window procedure's own handling of a message.
  LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);

  // The window's size in pixels: the control's own, or more where its content needs more.
  virtual SIZE pixelSize();
  void applyBounds();
  void applyFont();
  // Sets the window text without reporting it back as the user's change.
  void setTextQuietly(const std::wstring& value);
  void repaint();
  [[nodiscard]] int shiftState(WPARAM mouseKeys) const;
  [[nodiscard]] int mouseButtons(WPARAM mouseKeys) const;

  // A change by code is being applied: the notifications it causes are not the user's.
  struct Quiet {
    explicit Quiet(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Quiet() { flag_ = before_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    bool& flag_;
    bool before_;
  };

  FormWindow& window_;
  ui::Control& control_;
  HWND hwnd_ = nullptr;
  bool updating_ = false;

 private:
  static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR self);
  LRESULT subclassed(UINT msg, WPARAM wp, LPARAM lp);
  // The name a screen reader hears where the window's text gives none (Accessible.cpp).
  void refreshAccessibleName();
  bool hasTool_ = false;
  bool pressed_ = false;  // the left button went down on a control that clicks on release
  SharedName accessibleName_ = std::make_shared<std::wstring>();
};

std::unique_ptr<ControlPeer> makePeer(FormWindow& window, ui::Control& control);
std::unique_ptr<ControlPeer> makeRichTextPeer(FormWindow& window, ui::RichTextBox& box);
std::unique_ptr<ControlPeer> makeTextBoxPeer(FormWindow& window, ui::TextBox& box);
std::unique_ptr<ControlPeer> makeListBoxPeer(FormWindow& window, ui::ListBox& list);
std::unique_ptr<ControlPeer> makePictureBoxPeer(FormWindow& window, ui::PictureBox& box);
std::unique_ptr<ControlPeer> makeFramePeer(FormWindow& window, ui::Frame& frame);

// Shared by the rich-text peer.
HBRUSH solidColors(FormWindow& window, HDC dc, const ui::Control& control);
// Draws a bitmap at its own size (cut to width and height), or stretched into that rectangle.
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, bool stretch);
// A colour of the control model as the screen shows it (a system colour resolved).
COLORREF screenColor(ui::Color color);

}  // namespace ui_win32
