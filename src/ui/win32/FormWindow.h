#pragma once
// The real window of a form: a top-level window with one child window per control, mirroring
// the control model and reporting the user's input back into it.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "ui/Form.h"

namespace uiw {

class ControlPeer;

class FormWindow : public ui::FormPeer {
 public:
  FormWindow(ui::Form& form, HINSTANCE instance);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Creates the window (hidden) and every control's window, and reports the real size back.
  bool create();
  HWND hwnd() const { return hwnd_; }
  ui::Form& form() { return form_; }

  // Runs the messages until the window is gone. Returns the exit status for a loop that ends.
  int runMessageLoop();
  // The form's key preview and dialog navigation for one message; true when it was consumed.
  bool preTranslate(MSG& msg);

  // FormPeer
  void updateCaption() override;
  void updateBounds() override;
  void updatePicture() override;
  void updateColors() override;
  void show() override;
  void focus(ui::Control& control) override;
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

  // Shared by the peers.
  int dpi() const { return dpi_; }
  int toPixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
  int toTwips(int pixels) const { return MulDiv(pixels, 1440, dpi_); }
  HFONT font(ui::FontFace face);
  HBRUSH brush(COLORREF color);
  HBITMAP image(ui::ImageId id);
  HINSTANCE instance() const { return instance_; }
  HWND toolTips() const { return toolTips_; }
  HWND parentWindowOf(const ui::Control& control) const;
  ControlPeer* peerOf(HWND hwnd) const;
  ControlPeer* peerOf(const ui::Control* control) const;

  // Messages that every parent window (the form and its containers) answers the same way.
  bool handleParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // Draws the lines that lie in a container.
  void paintLines(HDC dc, const ui::Container* container);

 private:
  static LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  void reportBounds();
  void applyDpi(int dpi);
  void trackFocus();
  void registerClasses();

  ui::Form& form_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND toolTips_ = nullptr;
  int dpi_ = 96;
  bool updating_ = false;
  HWND lastFocus_ = nullptr;
  std::vector<std::unique_ptr<ControlPeer>> peers_;
  std::map<HWND, ControlPeer*> byHwnd_;
  std::map<const ui::Control*, ControlPeer*> byControl_;
  std::map<std::pair<int, int>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<int, HBITMAP> images_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};

}  // namespace uiw
