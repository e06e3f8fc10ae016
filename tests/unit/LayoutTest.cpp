#include <gtest/gtest.h>

#include "app/Form1.h"
#include "support/Fakes.h"

namespace {

using platform::ClipFormat;

class LayoutTest : public ::testing::Test {
 protected:
  LayoutTest() { t.fileSystem.addDirectory(L"C:\\Data\\Shots"); }
  void start(std::set<ClipFormat> formats) {
    t.clipboard.formats = std::move(formats);
    t.clipboard.textContent = L"text";
    t.clipboard.picture = std::make_shared<fake::FakePicture>(640, 480);
    t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    form.load();
  }
  fake::TestPlatform t;
  Form1 form{t.platform};
};

TEST_F(LayoutTest, MinimumSizeSnapsToItsOddValuesWithStrictTests) {
  start({ClipFormat::Text});
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
    form.setWidth(c.width);
    form.setHeight(c.height);
    EXPECT_EQ(form.width(), c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(form.height(), c.expectedHeight) << c.width << "x" << c.height;
  }
}

TEST_F(LayoutTest, PanelLinksAndPreviewsFollowTheWindowSize) {
  struct Case {
    const char* what;
    std::set<ClipFormat> formats;
  };
  const Case cases[] = {{"text", {ClipFormat::Text}},
                        {"rich text", {ClipFormat::Text, ClipFormat::Rtf}},
                        {"files", {ClipFormat::HDrop}},
                        {"picture", {ClipFormat::Bitmap}}};
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = c.formats;
    tp.clipboard.textContent = L"text";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(640, 480);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    Form1 f(tp.platform);
    f.load();
    f.setWidth(12000);
    f.setHeight(9000);
    EXPECT_EQ(f.Frame1.width(), 12000) << c.what;
    EXPECT_EQ(f.UpdateBtn.left(), 12000 - 1600) << c.what;
    EXPECT_EQ(f.wwwBtn.left(), 12000 - 800) << c.what;
    EXPECT_EQ(f.Line1.x2(), 12000) << c.what;
    EXPECT_EQ(f.Path.width(), 12000 - 500) << c.what;
    EXPECT_EQ(f.Picture1.left(), 12000 - f.Picture1.width() - 300) << c.what;
    EXPECT_EQ(f.AddDirBtn.left(), 12000 - f.AddDirBtn.width() - 300) << c.what;
    if (f.RichText.visible()) {
      EXPECT_EQ(f.RichText.width(), 11500);
      EXPECT_EQ(f.RichText.height(), 9000 - f.RichText.top() - 700);
      EXPECT_EQ(f.ConvertTxtBtn.left(), 11500 - f.ConvertTxtBtn.width() - 200);
    } else if (f.ClipText.visible()) {
      EXPECT_EQ(f.ClipText.width(), 11500);
      EXPECT_EQ(f.ClipText.height(), 9000 - 1920 - 700);
    } else if (f.ListBox.visible()) {
      EXPECT_EQ(f.ListBox.width(), 11500);
      EXPECT_EQ(f.ListBox.height(), 1520);  // fixed, whatever the window's height
      EXPECT_EQ(f.ConvertTxtBtn.left(), 11500 - f.ConvertTxtBtn.width() - 200);
    } else {
      EXPECT_EQ(f.ClipPic.width(), 12000);
      EXPECT_EQ(f.ClipPic.height(), 9000 - f.ClipPic.top());
      EXPECT_EQ(f.ResizeBtn.left(), 12000 - f.ResizeBtn.width() - 300);
    }
  }
}

TEST_F(LayoutTest, FittedPictureCoversTheStatedRectangleAndTwoClicksRestoreTheView) {
  start({ClipFormat::Bitmap});
  ASSERT_TRUE(form.PictureFitted);
  form.FitPictureToPreview();
  const ui::Drawing& d = form.ClipPic.drawing();
  const int w = form.ClipPic.width() - 300;
  const int h = form.ClipPic.height() - 600;
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  // The drawing call's destination is 1.8 times the reduced preview; the picture fills
  // 1.8 * 1440 / 2540 of it.
  EXPECT_NEAR(d.width, 1.8 * 1440.0 / 2540.0 * w, 1.0);
  EXPECT_NEAR(d.height, 1.8 * 1440.0 / 2540.0 * h, 1.0);
  EXPECT_TRUE(form.ClipPic.autoRedraw());
  form.ResizeBtn.userClick();
  EXPECT_FALSE(form.PictureFitted);
  EXPECT_EQ(form.ClipPic.drawing().picture, nullptr);
  EXPECT_EQ(form.ClipPic.picture(), form.picture());
  form.ClipPic.userClick();  // a click on the preview switches too
  EXPECT_TRUE(form.PictureFitted);
}

TEST_F(LayoutTest, ResizeWhileFittedRedrawsInEveryMode) {
  start({ClipFormat::Bitmap});
  ASSERT_TRUE(form.PictureFitted);
  t.clipboard.formats = {ClipFormat::Text};
  form.userKeyDown(116, 0);  // the text refresh keeps PictureFitted
  ASSERT_TRUE(form.PictureFitted);
  form.setWidth(11000);
  EXPECT_EQ(form.ClipPic.width(), 11000);
}

TEST_F(LayoutTest, AlwaysOnTopStatesAndHowOftenTheyAreStored) {
  start({ClipFormat::Text});
  AlwaysOnTop& aot = form.AlwaysOnTop1;
  const auto onTopWrites = [&] { return t.settings.writes; };
  ASSERT_TRUE(aot.GetIsOnTop());
  // A click on the on picture: normal, highlighted off picture, "False" stored.
  int before = onTopWrites();
  aot.AOT_Enabled.userClick();
  EXPECT_FALSE(aot.GetIsOnTop());
  EXPECT_TRUE(aot.AOT_MouseMove.visible());
  EXPECT_FALSE(aot.AOT_Enabled.visible());
  EXPECT_FALSE(aot.AOT_Disabled.visible());
  EXPECT_EQ(t.window.calls.back().insertAfter, platform::kNoTopmost);
  EXPECT_EQ(t.window.calls.back().flags, 3u);
  EXPECT_EQ(t.settings.values[L"Brimlo\\AlwaysOnTop\\OnTop"], L"False");
  EXPECT_EQ(onTopWrites() - before, 1);
  // Mouse onto the control's surface: the plain off picture again; onto it: highlighted.
  aot.control().userMouseMove(0, 0, 1, 1);
  EXPECT_TRUE(aot.AOT_Disabled.visible());
  aot.AOT_Disabled.userMouseMove(0, 0, 1, 1);
  EXPECT_TRUE(aot.AOT_MouseMove.visible());
  // A refresh puts it on top again.
  form.userKeyDown(116, 0);
  EXPECT_TRUE(aot.GetIsOnTop());
  EXPECT_EQ(t.settings.values[L"Brimlo\\AlwaysOnTop\\OnTop"], L"True");
  // With the save flag the state is stored twice, without it once.
  before = onTopWrites();
  aot.SetToNormal(true);
  EXPECT_EQ(onTopWrites() - before, 2);
  before = onTopWrites();
  aot.SetToTop();
  EXPECT_EQ(onTopWrites() - before, 1);
  // The control keeps its size.
  aot.control().setWidth(2000);
  EXPECT_EQ(aot.control().width(), 315);
  EXPECT_EQ(aot.control().height(), 300);
}

TEST_F(LayoutTest, AlwaysOnTopLoadSettingsDefaultsToOn) {
  start({ClipFormat::Text});
  form.AlwaysOnTop1.SetToNormal();
  t.settings.values.erase(L"Brimlo\\AlwaysOnTop\\OnTop");
  form.AlwaysOnTop1.LoadSettings();
  EXPECT_TRUE(form.AlwaysOnTop1.GetIsOnTop());
  t.settings.values[L"Brimlo\\AlwaysOnTop\\OnTop"] = L"False";
  form.AlwaysOnTop1.LoadSettings();
  EXPECT_FALSE(form.AlwaysOnTop1.GetIsOnTop());
}

}  // namespace
