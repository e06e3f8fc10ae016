#include "window/AlwaysOnTop.h"

#include "target/Settings.h"

namespace {
constexpr wchar_t kToolTip[] = L"Always on top";

ui::PictureBox& makePicture(ui::Form& form, ui::PictureBox& container, const wchar_t* name,
                            ui::ImageId image) {
  auto& pic = form.add<ui::PictureBox>(name, &container);
  pic.setBounds(0, 0, AlwaysOnTop::kSize[0], AlwaysOnTop::kSize[1]);
  pic.setImage(image);
  pic.setToolTip(kToolTip);
  return pic;
}
}  // namespace

AlwaysOnTop::AlwaysOnTop(const platform::Platform& p, ui::Form& form, const std::wstring& name,
                         int left, int top)
    : self_(form.add<ui::PictureBox>(name)),
      AOT_Disabled(makePicture(form, self_, L"AOT_Disabled", ui::ImageId::AotDisabled)),
      AOT_MouseMove(makePicture(form, self_, L"AOT_MouseMove", ui::ImageId::AotMouseMove)),
      AOT_Enabled(makePicture(form, self_, L"AOT_Enabled", ui::ImageId::AotEnabled)),
      platform_(p),
      form_(form) {
  self_.setBounds(left, top, kSize[0], kSize[1]);
  self_.onResize = [this] { UserControl_Resize(); };
  self_.onMouseMove = [this](int, int, int, int) { UserControl_MouseMove(); };
  AOT_Disabled.onMouseMove = [this](int, int, int, int) { AOT_Disabled_MouseMove(); };
  AOT_Disabled.onClick = [this] { AOT_Disabled_Click(); };
  AOT_MouseMove.onClick = [this] { AOT_MouseMove_Click(); };
  AOT_Enabled.onClick = [this] { AOT_Enabled_Click(); };
  UserControl_Initialize();
}

void AlwaysOnTop::UserControl_Initialize() {
  IsOnTop = false;
  AOT_Disabled.setVisible(true);
  AOT_Enabled.setVisible(false);
  AOT_MouseMove.setVisible(false);
  AOT_Enabled.setBounds(AOT_Disabled.left(), AOT_Disabled.top(), AOT_Enabled.width(),
                        AOT_Enabled.height());
  AOT_MouseMove.setBounds(AOT_Disabled.left(), AOT_Disabled.top(), AOT_MouseMove.width(),
                          AOT_MouseMove.height());
}

void AlwaysOnTop::UserControl_Resize() {
  self_.setBounds(self_.left(), self_.top(), kSize[0], kSize[1]);
}

void AlwaysOnTop::UserControl_MouseMove() {
  if (AOT_MouseMove.visible()) {
    AOT_Disabled.setVisible(true);
    AOT_MouseMove.setVisible(false);
  }
}

void AlwaysOnTop::AOT_Disabled_MouseMove() {
  AOT_Disabled.setVisible(false);
  AOT_MouseMove.setVisible(true);
  AOT_Enabled.setVisible(false);
}

void AlwaysOnTop::AOT_MouseMove_Click() {
  IsOnTop = true;
  AOT_Disabled.setVisible(false);
  AOT_MouseMove.setVisible(false);
  AOT_Enabled.setVisible(true);
  SetWindowAlwayOnTop(form_);
}

void AlwaysOnTop::AOT_Disabled_Click() {
  AOT_MouseMove_Click();
}

void AlwaysOnTop::AOT_Enabled_Click() {
  IsOnTop = false;
  AOT_Disabled.setVisible(false);
  AOT_MouseMove.setVisible(true);
  AOT_Enabled.setVisible(false);
  SetWindowBackToNormal(form_);
}

void AlwaysOnTop::SetWindowAlwayOnTop(ui::Form& window) {
  IsOnTop = true;
  SaveSettings();
  platform_.window.setWindowPos(window.handle(), platform::kTopmost, 0, 0, 0, 0,
                                platform::kKeepSizeAndPosition);
}

void AlwaysOnTop::SetWindowBackToNormal(ui::Form& window) {
  IsOnTop = false;
  SaveSettings();
  platform_.window.setWindowPos(window.handle(), platform::kNoTopmost, 0, 0, 0, 0,
                                platform::kKeepSizeAndPosition);
}

void AlwaysOnTop::SetToTop(bool save) {
  AOT_MouseMove_Click();
  if (save)
    SaveSettings();
}

void AlwaysOnTop::SetToNormal(bool save) {
  AOT_Enabled_Click();
  if (save)
    SaveSettings();
}

void AlwaysOnTop::SaveSettings() {
  Settings::write(platform_, Settings::kOnTop, GetIsOnTop() ? L"True" : L"False");
}

void AlwaysOnTop::LoadSettings() {
  if (Settings::read(platform_, Settings::kOnTop) == L"True") {
    SetToTop(false);
  } else {
    SetToNormal(false);
  }
}
