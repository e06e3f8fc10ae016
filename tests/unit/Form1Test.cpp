#include <gtest/gtest.h>

#include "app/Form1.h"
#include "support/Fakes.h"

namespace {

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form(t.platform) {
    t.clipboard.formats = {platform::ClipFormat::Text};
    t.clipboard.textContent = L"some text";
  }
  // Runs an action that should end the program and returns the exit status.
  template <class F>
  int endsWith(F action) {
    if (const auto status = fake::exitStatusOf(action))
      return *status;
    ADD_FAILURE() << "the program did not end";
    return -1;
  }
  fake::TestPlatform t;
  Form1 form;
};

TEST_F(Form1Test, EscEndsTheProgramFromAnyFieldAndStoresThePosition) {
  for (ui::TextBox* field : {&form.FNText, &form.Path}) {
    t.settings.values.clear();
    form.load();
    ASSERT_TRUE(form.setFocus(*field));
    EXPECT_EQ(endsWith([&] { form.userKeyPress(27); }), platform::exitcode::kOther);
    EXPECT_EQ(t.settings.values.count(L"Brimlo\\Form1\\Pos\\Left"), 1u) << field->name();
  }
}

TEST_F(Form1Test, ExitButtonStoresThePositionCloseBoxDoesNot) {
  form.load();
  t.settings.values.clear();
  EXPECT_EQ(endsWith([&] { form.CancleBtn.userClick(); }), platform::exitcode::kOther);
  EXPECT_EQ(t.settings.values.size(), 4u);
  t.settings.values.clear();
  EXPECT_EQ(endsWith([&] { form.userClose(); }), platform::exitcode::kOther);
  EXPECT_TRUE(t.settings.values.empty());
}

TEST_F(Form1Test, ExitWhileMinimisedKeepsTheStoredPosition) {
  t.settings.values[L"Brimlo\\Form1\\Pos\\Left"] = L"777";
  form.load();
  form.userBoundsChanged(0, 0, 2400, 500, 2160, 0, ui::WindowState::Minimized);
  const auto before = t.settings.values;
  EXPECT_EQ(endsWith([&] { form.exitProgram(); }), platform::exitcode::kOther);
  EXPECT_EQ(t.settings.values, before);
  EXPECT_EQ(t.settings.values[L"Brimlo\\Form1\\Pos\\Left"], L"777");
}

TEST_F(Form1Test, OnlyPlainF5Refreshes) {
  form.load();
  struct Case {
    int key, shift;
    bool refreshes;
  };
  const Case cases[] = {{116, 0, true},
                        {116, ui::shift::kShift, false},
                        {116, ui::shift::kCtrl, false},
                        {116, ui::shift::kAlt, false},
                        {117, 0, false}};
  for (const Case& c : cases) {
    form.Path.setText(L"D:\\Typed\\");
    form.FNText.setText(L"typed name");
    form.userKeyDown(c.key, c.shift);
    // A refresh proposes a fresh name but keeps the typed directory.
    EXPECT_EQ(form.Path.text(), L"D:\\Typed\\") << c.key << "/" << c.shift;
    EXPECT_EQ(form.FNText.text() != L"typed name", c.refreshes) << c.key << "/" << c.shift;
  }
}

TEST_F(Form1Test, InventoryMatchesTheDesign) {
  struct Case {
    const wchar_t* name;
    ui::Kind kind;
    const wchar_t* container;
    int left, top, width, height;
  };
  const Case cases[] = {
      {L"ConvertTxtBtn", ui::Kind::CommandButton, nullptr, 5760, 1920, 735, 375},
      {L"AlwaysOnTop1", ui::Kind::PictureBox, nullptr, 0, 0, 315, 300},
      {L"SaveURLBtn", ui::Kind::CommandButton, nullptr, 240, 2400, 1575, 375},
      {L"PicturesFrame", ui::Kind::Frame, nullptr, 9840, 2640, 2775, 2775},
      {L"TmpPic(4)", ui::Kind::PictureBox, L"PicturesFrame", 1440, 2040, 735, 375},
      {L"ListBox", ui::Kind::ListBox, nullptr, 6600, 3360, 2895, 1260},
      {L"ClipPic", ui::Kind::PictureBox, nullptr, 5295, 1815, 3015, 1455},
      {L"ResizeBtn", ui::Kind::CommandButton, L"ClipPic", 120, 120, 735, 615},
      {L"ClipText", ui::Kind::TextBox, nullptr, 120, 1920, 6735, 3975},
      {L"Frame1", ui::Kind::Frame, nullptr, 0, 0, 14055, 1815},
      {L"AddTimeCheck", ui::Kind::CheckBox, L"Frame1", 3840, 1320, 1575, 255},
      {L"Picture1", ui::Kind::PictureBox, L"Frame1", 6240, 480, 480, 480},
      {L"Helpbtn", ui::Kind::CommandButton, L"Frame1", 5760, 360, 255, 225},
      {L"ContextMenuCheck", ui::Kind::CheckBox, L"Frame1", 5520, 1320, 2535, 195},
      {L"FNText", ui::Kind::TextBox, L"Frame1", 120, 480, 5895, 360},
      {L"OpenFileCheck", ui::Kind::CheckBox, L"Frame1", 5520, 1080, 1935, 255},
      {L"CancleBtn", ui::Kind::CommandButton, L"Frame1", 2640, 1080, 645, 510},
      {L"Path", ui::Kind::TextBox, L"Frame1", 120, 120, 6615, 285},
      {L"AddDatecheck", ui::Kind::CheckBox, L"Frame1", 3840, 1080, 1695, 255},
      {L"SaveTxtBtn", ui::Kind::CommandButton, L"Frame1", 120, 1080, 2415, 495},
      {L"SavePictureBtn", ui::Kind::CommandButton, L"Frame1", 120, 1080, 2415, 495},
      {L"SaveFilesBtn", ui::Kind::CommandButton, L"Frame1", 120, 1080, 2415, 495},
      {L"wwwBtn", ui::Kind::Label, L"Frame1", 9000, 1485, 345, 195},
      {L"UpdateBtn", ui::Kind::Label, L"Frame1", 8250, 1500, 525, 195},
      {L"RichText", ui::Kind::RichTextBox, nullptr, 120, 1920, 6495, 4215},
  };
  for (const Case& c : cases) {
    ui::Control* control = form.find(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->kind(), c.kind) << c.name;
    EXPECT_EQ(control->left(), c.left) << c.name;
    EXPECT_EQ(control->top(), c.top) << c.name;
    EXPECT_EQ(control->width(), c.width) << c.name;
    EXPECT_EQ(control->height(), c.height) << c.name;
    ui::Container* expected = c.container ? dynamic_cast<ui::Container*>(form.find(c.container))
                                          : static_cast<ui::Container*>(&form);
    EXPECT_EQ(control->parent(), expected) << c.name;
  }
  // Creation order follows the design: the first and the last control.
  EXPECT_EQ(form.controls().front()->name(), L"ConvertTxtBtn");
  EXPECT_EQ(form.controls().back()->name(), L"RichText");
  // The store of mode images is never drawn.
  EXPECT_FALSE(form.PicturesFrame.visible());
  EXPECT_EQ(form.caption(), L"Brimlo");
  EXPECT_EQ(form.clientWidth(), 9885);
  EXPECT_EQ(form.clientHeight(), 5790);
  EXPECT_EQ(form.FNText.toolTip(), L"Target Filename ");
  EXPECT_EQ(form.SaveFilesBtn.caption(), L"&Copy File(s) ..");
}

}  // namespace
