#pragma once
#include <windows.h>

#include <string>

#include "ui/Control.h"

namespace uiw {

class FormWindow;

// The child window of one control. It applies the model's changes to the window and turns the
// window's notifications into the model's user events.
class ControlPeer : public ui::Peer {
 public:
  ControlPeer(FormWindow& owner, ui::Control& model);
  ~ControlPeer() override;
  ControlPeer(const ControlPeer&) = delete;
  ControlPeer& operator=(const ControlPeer&) = delete;

  virtual bool create(HWND parent, int id);
  HWND hwnd() const { return hwnd_; }
  ui::Control& model() { return model_; }

  void update(ui::Prop prop) override;
  // Re-applies everything (after creation and when the DPI changes).
  void applyAll();

  // A WM_COMMAND notification from this control.
  void onCommand(WORD code);
  // The colours for WM_CTLCOLOR*; null when the control keeps the system's.
  HBRUSH onControlColor(HDC dc);
  // Whether this is a multi-line text box (Enter types a line break there).
  bool isMultiLineEdit() const;

  static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  static LRESULT CALLBACK customProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  LRESULT customMessage(UINT msg, WPARAM wp, LPARAM lp);
  void paintCustom(HDC dc);
  void applyBounds();
  void applyToolTip();
  int shiftState() const;

  FormWindow& owner_;
  ui::Control& model_;
  HWND hwnd_ = nullptr;
  bool updating_ = false;
  bool toolAdded_ = false;
};

// The rich-text box: the platform's rich edit control.
class RichPeer : public ControlPeer, public ui::RichTextPeer {
 public:
  RichPeer(FormWindow& owner, ui::RichTextBox& model);
  bool create(HWND parent, int id) override;
  void update(ui::Prop prop) override { ControlPeer::update(prop); }
  void paste() override;
  std::wstring rtf() override;
  void setRtf(const std::wstring& rtf) override;
  std::wstring plainText() override;
  void setCaret(int position) override;
  std::uint32_t saveRtfFile(const std::wstring& path) override;
};

// Registers the window classes the peers use.
void RegisterPeerClasses(HINSTANCE instance);

}  // namespace uiw
