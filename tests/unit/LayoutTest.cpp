#include <gtest/gtest.h>

#include "support/Session.h"

namespace {

using platform::ClipFormat;

TEST(LayoutTest, MinimumSizeSnapsToItsOddValuesWithStrictTests) {
  fake::Started s({ClipFormat::Text});
  struct Case {
    int width, height;
    int expectedWidth, expectedHeight;
  };
  const Case cases[] = {{8000, 5000, 8410, 5000},
                        {8350, 5000, 8350, 5000},
                        {9000, 2900, 9000, 3011},
                        {8300, 3000, 8300, 3000},
                        {100, 100, 8410, 3011}};
  for (const Case& c : cases) {
    s.form.setWidth(c.width);
    s.form.setHeight(c.height);
    EXPECT_EQ(s.form.width(), c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(s.form.height(), c.expectedHeight) << c.width << "x" << c.height;
  }
}

TEST(LayoutTest, FittedPictureCoversTheStatedRectangleTwoClicksRestoreAndResizeRedraws) {
  fake::Started s({ClipFormat::Bitmap});
  Form1& f = s.form;
  ASSERT_TRUE(f.PictureFitted);
  f.FitPictureToPreview();
  const ui::Drawing& d = f.ClipPic.drawing();
  const int w = f.ClipPic.width() - 300;
  const int h = f.ClipPic.height() - 600;
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  // The drawing call's destination is 1.8 times the reduced preview; the picture fills
  // 1.8 * 1440 / 2540 of it.
  EXPECT_NEAR(d.width, 1.8 * 1440.0 / 2540.0 * w, 1.0);
  EXPECT_NEAR(d.height, 1.8 * 1440.0 / 2540.0 * h, 1.0);
  EXPECT_TRUE(f.ClipPic.autoRedraw());
  f.ResizeBtn.userClick();
  EXPECT_FALSE(f.PictureFitted);
  EXPECT_EQ(f.ClipPic.drawing().picture, nullptr);
  EXPECT_EQ(f.ClipPic.picture(), f.picture());
  f.ClipPic.userClick();  // a click on the preview switches too
  EXPECT_TRUE(f.PictureFitted);
  // A text refresh keeps the fitted view, and a resize redraws it.
  s.t.clipboard.formats = {ClipFormat::Text};
  s.refresh();
  ASSERT_TRUE(f.PictureFitted);
  f.setWidth(11000);
  EXPECT_EQ(f.ClipPic.width(), 11000);
}

TEST(LayoutTest, AlwaysOnTopStatesAndHowOftenTheyAreStored) {
  fake::Started s({ClipFormat::Text});
  AlwaysOnTop& aot = s.form.AlwaysOnTop1;
  const auto& stored = s.t.settings.values[L"Brimlo\\AlwaysOnTop\\OnTop"];
  // A refresh of the window puts it on top.
  ASSERT_TRUE(aot.GetIsOnTop());
  EXPECT_EQ(s.t.window.calls.back().insertAfter, platform::kTopmost);
  EXPECT_EQ(stored, L"True");
  EXPECT_TRUE(aot.AOT_Enabled.visible());
  // A click on the on picture: normal, highlighted off picture, "False" stored.
  const int before = s.t.settings.writes;
  aot.AOT_Enabled.userClick();
  EXPECT_FALSE(aot.GetIsOnTop());
  EXPECT_TRUE(aot.AOT_MouseMove.visible());
  EXPECT_FALSE(aot.AOT_Enabled.visible());
  EXPECT_FALSE(aot.AOT_Disabled.visible());
  EXPECT_EQ(s.t.window.calls.back().insertAfter, platform::kNoTopmost);
  EXPECT_EQ(s.t.window.calls.back().flags, 3u);
  EXPECT_EQ(stored, L"False");
  EXPECT_EQ(s.t.settings.writes - before, 1);
  // Mouse onto the control's surface: the plain off picture again; onto it: highlighted.
  aot.control().userMouseMove(0, 0, 1, 1);
  EXPECT_TRUE(aot.AOT_Disabled.visible());
  aot.AOT_Disabled.userMouseMove(0, 0, 1, 1);
  EXPECT_TRUE(aot.AOT_MouseMove.visible());
  // F5 puts it on top again.
  s.refresh();
  EXPECT_TRUE(aot.GetIsOnTop());
  EXPECT_EQ(stored, L"True");
  // The control keeps its size.
  const int width = aot.control().width();
  aot.control().setWidth(width + 2000);
  EXPECT_EQ(aot.control().width(), width);
}

}  // namespace
