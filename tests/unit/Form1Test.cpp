#include <gtest/gtest.h>

#include <functional>

#include "support/Session.h"

namespace {

using platform::exitcode::kOther;

// Esc (from any field) and the exit button store the window's place; the close box, and any
// way out of a minimised window, do not.
TEST(Form1Test, EveryWayOutEndsWithStatusOne) {
  const std::pair<std::function<void(Form1&)>, bool> cases[] = {
      {[](Form1& f) { f.userKeyPress(27); }, true},
      {[](Form1& f) {
         ASSERT_TRUE(f.setFocus(f.Path));
         f.userKeyPress(27);
       },
       true},
      {[](Form1& f) { f.CancleBtn.userClick(); }, true},
      {[](Form1& f) { f.userClose(); }, false},
      {[](Form1& f) {
         f.userBoundsChanged(0, 0, 2400, 500, 2160, 0, ui::WindowState::Minimized);
         f.exitProgram();
       },
       false},
  };
  for (const auto& c : cases) {
    fake::Started s({platform::ClipFormat::Text});
    s.t.settings.values.clear();
    EXPECT_EQ(s.run([&] { c.first(s.form); }), kOther);
    EXPECT_EQ(s.t.settings.values.size(), c.second ? 4u : 0u) << "way " << &c - cases;
  }
}

TEST(Form1Test, OnlyPlainF5Refreshes) {
  fake::Started s({platform::ClipFormat::Text});
  const std::pair<int, int> cases[] = {{116, ui::shift::kShift},
                                       {116, ui::shift::kCtrl},
                                       {116, ui::shift::kAlt},
                                       {117, 0},
                                       {116, 0}};
  for (const auto& [key, shift] : cases) {
    s.form.Path.setText(L"D:\\Typed\\");
    s.form.FNText.setText(L"typed name");
    s.form.userKeyDown(key, shift);
    // A refresh proposes a fresh name but keeps the typed directory.
    EXPECT_EQ(s.form.Path.text(), L"D:\\Typed\\") << key << "/" << shift;
    EXPECT_EQ(s.form.FNText.text() != L"typed name", key == 116 && shift == 0);
  }
}

TEST(Form1Test, ControlsSitWhereTheDesignPutsThemInTheirContainers) {
  struct Case {
    const wchar_t* name;
    const wchar_t* container;  // "": the window itself
    int left, top, width, height;
  };
  const Case cases[] = {
      {L"ConvertTxtBtn", L"", 5760, 1920, 735, 375},
      {L"AlwaysOnTop1", L"", 0, 0, 315, 300},
      {L"SaveURLBtn", L"", 240, 2400, 1575, 375},
      {L"PicturesFrame", L"", 9840, 2640, 2775, 2775},
      {L"TmpPic(4)", L"PicturesFrame", 1440, 2040, 735, 375},
      {L"ListBox", L"", 6600, 3360, 2895, 1260},
      {L"ClipPic", L"", 5295, 1815, 3015, 1455},
      {L"ResizeBtn", L"ClipPic", 120, 120, 735, 615},
      {L"ClipText", L"", 120, 1920, 6735, 3975},
      {L"Frame1", L"", 0, 0, 14055, 1815},
      {L"AddTimeCheck", L"Frame1", 3840, 1320, 1575, 255},
      {L"Picture1", L"Frame1", 6240, 480, 480, 480},
      {L"Helpbtn", L"Frame1", 5760, 360, 255, 225},
      {L"ContextMenuCheck", L"Frame1", 5520, 1320, 2535, 195},
      {L"FNText", L"Frame1", 120, 480, 5895, 360},
      {L"OpenFileCheck", L"Frame1", 5520, 1080, 1935, 255},
      {L"CancleBtn", L"Frame1", 2640, 1080, 645, 510},
      {L"Path", L"Frame1", 120, 120, 6615, 285},
      {L"AddDatecheck", L"Frame1", 3840, 1080, 1695, 255},
      {L"SaveTxtBtn", L"Frame1", 120, 1080, 2415, 495},
      {L"SavePictureBtn", L"Frame1", 120, 1080, 2415, 495},
      {L"SaveFilesBtn", L"Frame1", 120, 1080, 2415, 495},
      {L"wwwBtn", L"Frame1", 9000, 1485, 345, 195},
      {L"UpdateBtn", L"Frame1", 8250, 1500, 525, 195},
      {L"RichText", L"", 120, 1920, 6495, 4215},
  };
  fake::TestPlatform t;
  Form1 form(t.platform);
  for (const Case& c : cases) {
    const ui::Control* control = form.find(c.name);
    ASSERT_NE(control, nullptr);
    const ui::Container* parent =
        *c.container ? dynamic_cast<const ui::Container*>(form.find(c.container)) : &form;
    EXPECT_EQ((std::array{control->left(), control->top(), control->width(), control->height()}),
              (std::array{c.left, c.top, c.width, c.height}))
        << control->name();
    EXPECT_EQ(control->parent(), parent) << control->name();
  }
  // Creation order (the order of tabbing and drawing) follows the design.
  EXPECT_EQ(form.controls().front()->name(), L"ConvertTxtBtn");
  EXPECT_EQ(form.controls().back()->name(), L"RichText");
  // The store of mode images is never drawn.
  EXPECT_FALSE(form.PicturesFrame.visible());
  EXPECT_EQ(form.caption(), L"Brimlo");
  EXPECT_EQ(form.clientWidth(), 9885);
  EXPECT_EQ(form.clientHeight(), 5790);
  EXPECT_EQ(form.FNText.toolTip(), L"Target Filename ");
}

}  // namespace
