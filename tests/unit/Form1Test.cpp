#include <gtest/gtest.h>

#include <functional>

#include "support/Session.h"
#include "util/Text.h"

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

// A control outside its container's area, or in the wrong container, is not drawn where the user
// looks for it; the creation order is the order of tabbing and drawing.
TEST(Form1Test, ControlsLieInsideTheirContainers) {
  fake::TestPlatform t;
  Form1 f(t.platform);
  for (const auto& c : f.controls()) {
    const auto* parent = dynamic_cast<const ui::Control*>(c->parent());
    if (parent == nullptr)
      continue;  // the window's own controls may lie beyond its first size
    EXPECT_TRUE(c->left() >= 0 && c->top() >= 0 && c->left() + c->width() <= parent->width() &&
                c->top() + c->height() <= parent->height())
        << text::toUtf8(c->name());
  }
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &f.Path, &f.FNText, &f.AddDirBtn, &f.Picture1, &f.Helpbtn, &f.SaveTxtBtn,
           &f.SavePictureBtn, &f.SaveFilesBtn, &f.CancleBtn, &f.AddDatecheck, &f.AddTimeCheck,
           &f.OpenFileCheck, &f.ContextMenuCheck, &f.wwwBtn, &f.UpdateBtn})
    EXPECT_EQ(c->parent(), &f.Frame1) << text::toUtf8(c->name());
  EXPECT_EQ(f.ResizeBtn.parent(), &f.ClipPic);
  EXPECT_EQ(f.controls().front()->name(), L"ConvertTxtBtn");
  EXPECT_EQ(f.controls().back()->name(), L"RichText");
  EXPECT_FALSE(f.PicturesFrame.visible());  // the store of mode images is never drawn
  EXPECT_EQ(f.clientWidth(), 9885);
  EXPECT_EQ(f.clientHeight(), 5790);
}

// A screen reader names a control by its caption, else its tooltip, else the name given for the
// purpose: every button, box, link, field and list, and every picture that clicks and holds no
// other control (a preview holds the button that does what its click does), has one.
TEST(Form1Test, EveryControlTheUserActsOnHasAName) {
  fake::Started s({platform::ClipFormat::Text});
  for (const auto& c : s.form.controls()) {
    const auto* box = dynamic_cast<const ui::TextBox*>(c.get());
    const auto* pic = dynamic_cast<const ui::PictureBox*>(c.get());
    const bool acted = box   ? !box->multiLine()
                       : pic ? c->onClick && pic->children().empty()
                             : c->kind() != ui::Kind::Frame && c->kind() != ui::Kind::Line &&
                                   c->kind() != ui::Kind::RichTextBox;
    std::wstring caption;
    if (const auto* b = dynamic_cast<const ui::CommandButton*>(c.get()))
      caption = b->caption();
    if (const auto* b = dynamic_cast<const ui::CheckBox*>(c.get()))
      caption = b->caption();
    if (const auto* b = dynamic_cast<const ui::Label*>(c.get()))
      caption = b->caption();
    EXPECT_TRUE(!acted || !caption.empty() || !c->toolTip().empty() || !c->accessibleName().empty())
        << text::toUtf8(c->name());
  }
}

}  // namespace
