#pragma once
#include "platform/Platform.h"
#include "ui/Form.h"

// A 21 x 20 picture button that keeps its window above all others or returns it to the normal
// stacking order, and remembers the state in the settings store.
class AlwaysOnTop {
 public:
  // Creates the control and its three stacked pictures inside the form, at the given place.
  AlwaysOnTop(const platform::Platform& p, ui::Form& form, const std::wstring& name, int left,
              int top);

  void SetWindowAlwayOnTop(ui::Form& window);
  [[nodiscard]] bool GetIsOnTop() const { return IsOnTop; }
  void SetWindowBackToNormal(ui::Form& window);
  void SetToTop(bool save = false);
  void SetToNormal(bool save = false);
  void SaveSettings();
  void LoadSettings();

  ui::PictureBox& control() { return self_; }

 private:
  ui::PictureBox& self_;

 public:
  ui::PictureBox& AOT_Disabled;
  ui::PictureBox& AOT_MouseMove;
  ui::PictureBox& AOT_Enabled;

  static constexpr int kSize[2] = {315, 300};

 private:
  void UserControl_Initialize();
  void UserControl_Resize();
  void UserControl_MouseMove();
  void AOT_Disabled_MouseMove();
  void AOT_MouseMove_Click();
  void AOT_Disabled_Click();
  void AOT_Enabled_Click();

  const platform::Platform& platform_;
  ui::Form& form_;
  bool IsOnTop = false;
};
