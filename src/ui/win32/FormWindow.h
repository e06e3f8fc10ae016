#pragma once
// The real window of a form: a top-level window with one child window per control, mirroring
// the control model and reporting the user's input back into it.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"
#include "ui/Form.h"
#include "ui/win32/ChildWindows.h"
#include "ui/win32/KeyRouter.h"

namespace ui_win32 {

class ControlPeer;

// OLE on this thread, once: the rich edit control and the clipboard's data objects need it.
void initializeOle();

struct FormOptions {
  // The smallest outer size (twips) the window accepts from the user or the system, and the
  // size it takes instead when it would become narrower or lower than that (0: no limit). The
  // window takes the replacement before it is drawn, so a drag below the minimum shows the
  // replaced size at once and never alternates between the two.
  int minWidth = 0;
  int minHeight = 0;
  int snapWidth = 0;
  int snapHeight = 0;
};

enum class FontStyle { Regular, Bold, Underline };

// The face name and size in points of each font of the control model.
struct FontSpec {
  const wchar_t* name;
  int points;
};
FontSpec fontSpec(ui::FontFace face);

// When the controls' windows are made. A run may end before the window ever shows (a batch
// save), and a mode shows only some controls: with WhenShown, a control's window is made when
// the control first shows (the window's first showing makes those that show then), or when the
// program asks for what only that window knows (the rich-text box's plain text or the
// clipboard pasted into it). The rich edit control's library is loaded only then.
enum class ControlWindows { Now, WhenShown };

class FormWindow : public ui::FormPeer {
 public:
  FormWindow(ui::Form& form, HINSTANCE instance, FormOptions options = {});
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Takes over the form: with Now, makes the window (hidden) with the form's design client size
  // and one window per control, then reports the real bounds to the form; false when a window
  // could not be made. With WhenShown, no window is made yet, not even the top-level one: the
  // form hears the bounds a hidden window would have, and the window comes when the form first
  // shows or its handle is asked for (a batch save that ends before never makes one).
  bool create(ControlWindows when = ControlWindows::Now);
  // Makes the top-level window now if it does not exist yet. False when it could not be made.
  bool makeWindow();
  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  ui::Form& form() { return form_; }

  // Runs the messages until WM_QUIT. Returns the exit status of a loop that ends.
  int runMessageLoop();
  // The one road of every message the program's loops take (this one and the copy's pump):
  // what preTranslate does first, then the usual translation and dispatch.
  void dispatch(MSG& msg);
  // Everything the window does with a message before it is dispatched: the keys' road (see
  // KeyRouter). True when the message is done with.
  bool preTranslate(MSG& msg);

  // FormPeer
  void updateCaption() override;
  void updateBounds() override;
  void updatePicture() override;
  void updateColors() override;
  void show() override;
  void focus(ui::Control& control) override;
  [[nodiscard]] std::uintptr_t handle() override {
    return reinterpret_cast<std::uintptr_t>(makeWindow() ? hwnd_ : nullptr);
  }

  // Shared by the peers.
  [[nodiscard]] int dpi() const { return dpi_; }
  [[nodiscard]] int toPixels(int twips) const { return win32::twipsToPixels(twips, dpi_); }
  [[nodiscard]] int toTwips(int pixels) const { return win32::pixelsToTwips(pixels, dpi_); }
  // The window's position is in twips of the primary screen, whatever monitor it is on: the
  // position stored at exit and the off-screen check of the next start measure alike.
  [[nodiscard]] int positionToPixels(int twips) const {
    return win32::twipsToPixels(twips, primaryDpi_);
  }
  [[nodiscard]] int positionToTwips(int pixels) const {
    return win32::pixelsToTwips(pixels, primaryDpi_);
  }
  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  HFONT font(ui::FontFace face, FontStyle style = FontStyle::Regular);
  HBRUSH brush(COLORREF color);
  // A built-in bitmap at the window's DPI (its own size at 96 DPI); null for none.
  HBITMAP bitmap(ui::ImageId id);
  // The program's icon at a size in pixels.
  HICON icon(int size);
  // The tooltip window, made once the window has been painted (null before).
  HWND toolTips();
  // The window has been shown at least once (a batch run never shows it).
  [[nodiscard]] bool shownOnce() const { return shownOnce_; }
  // The background colour of a container (the form or a container control).
  COLORREF containerColor(const ui::Container* container) const;
  // The window that holds a container's children.
  HWND containerWindow(const ui::Container* container) const;
  ControlPeer* peerOf(HWND hwnd) const;
  [[nodiscard]] ControlPeer* peerOf(const ui::Control& control) const;

  // Messages every parent window (the form and its container controls) answers the same way:
  // notifications and colours of its children.
  bool handleParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // Draws the lines that lie in a container, in that container's client coordinates.
  void paintLines(HDC dc, const ui::Container* container);

  // The window classes of the container controls.
  static constexpr wchar_t kFrameClass[] = L"BrimloFrame";
  static constexpr wchar_t kPictureClass[] = L"BrimloPicture";

 private:
  static LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  bool registerClasses();
  void reportBounds();
  // A size below the minimum that the user or the system asks for becomes the snap size.
  void snapToMinimum(WINDOWPOS& pos);
  void applyDpi(int dpi);
  void paint();
  [[nodiscard]] std::wstring className() const;
  // The outer size of the design's client area at a DPI.
  [[nodiscard]] SIZE outerSize(int dpi) const;

  ui::Form& form_;
  HINSTANCE instance_;
  FormOptions options_;
  HWND hwnd_ = nullptr;
  win32::UniqueWindow toolTips_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  int primaryDpi_ = USER_DEFAULT_SCREEN_DPI;
  int designClientWidth_ = 0, designClientHeight_ = 0;  // twips
  RECT placed_{};                // the outer rectangle in pixels while there is no window
  bool ready_ = false;           // the form is taken over; size changes reach it
  bool applyingBounds_ = false;  // a size set by the form is being applied
  bool reporting_ = false;       // the form is hearing of a size change
  bool shownOnce_ = false;
  bool paintedOnce_ = false;
  bool reapplyPosted_ = false;  // the window's rectangle is to be handed over again
  bool destroying_ = false;     // the window goes with this object, not with the program
  HWND lastFocus_ = nullptr;
  ChildWindows children_;
  KeyRouter keys_;
  std::map<std::tuple<ui::FontFace, int, FontStyle>, win32::UniqueFont> fonts_;
  std::map<COLORREF, win32::UniqueBrush> brushes_;
  std::map<std::pair<int, int>, win32::UniqueBitmap> bitmaps_;  // (resource, dpi)
  std::map<int, win32::UniqueIcon> icons_;                      // by size
};

}  // namespace ui_win32
