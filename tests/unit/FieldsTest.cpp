#include <gtest/gtest.h>

#include "app/Form1.h"
#include "support/Fakes.h"

namespace {

using platform::ClipFormat;

constexpr ui::Color kRed = 0x000000C0;
constexpr ui::Color kWhite = 0x00FFFFFF;
constexpr ui::Color kBlack = 0x00000000;

class FieldsTest : public ::testing::Test {
 protected:
  FieldsTest() {
    t.fileSystem.addDirectory(L"C:\\Data\\Shots");
    t.fileSystem.addDrive(L'D');
  }
  void start(ClipFormat format) {
    t.clipboard.formats = {format};
    t.clipboard.textContent = L"text";
    t.clipboard.picture = std::make_shared<fake::FakePicture>(64, 48);
    t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    form.load();
  }
  template <class F>
  std::optional<int> run(F action) {
    return fake::exitStatusOf(action);
  }
  fake::TestPlatform t;
  Form1 form{t.platform};
};

TEST_F(FieldsTest, DirectoryCheckColoursButtonAndToolTip) {
  t.fileSystem.addDirectory(L"C:\\Windows\\Temp");
  t.fileSystem.addDirectory(L"C:\\ReadOnlyDir", platform::attr::kReadOnly);
  t.fileSystem.addDirectory(L"C:\\Users\\me\\Desktop");
  struct Case {
    std::wstring text;
    ui::Color back, fore;
    bool button;
    std::wstring toolTip;  // empty: unchanged
  };
  const std::wstring warning =
      L"Warning: C:\\ is used by the TC if the Directory is not valid for this operation";
  const ui::Color panel = 0x00E0E0E0;
  const Case cases[] = {
      {L"", kRed, kWhite, false, L""},
      {L"   ", kRed, kWhite, false, L""},
      {L"C:\\", kRed, kWhite, false, warning},
      {L"c:\\", kRed, kWhite, false, warning},
      {L"C:\\Windows\\Temp\\", panel, kBlack, false, L"Target directory"},
      {L"C:\\NoSuchDir\\", kRed, kWhite, true, L"Path not found"},
      {L"C:\\ReadOnlyDir\\", kRed, kWhite, true, L"Path not found"},
      {L"C:\\Users\\me\\Desktop\\", panel, kBlack, false, L"Target directory"},
      {L"X:\\Nowhere\\DESKTOP\\", panel, kBlack, false, L"Target directory"},
      {L"X:\\abc", kRed, kWhite, true, L"Path not found"},
      {L"D:\\", panel, kBlack, false, L"Target directory"},
  };
  start(ClipFormat::Text);
  for (const Case& c : cases) {
    form.Path.setToolTip(L"before");
    form.Path.setText(L"something else");
    form.Path.setToolTip(L"before");
    form.Path.setText(c.text);
    EXPECT_EQ(form.Path.backColor(), c.back) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(form.Path.foreColor(), c.fore) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(form.AddDirBtn.visible(), c.button) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(form.Path.toolTip(), c.toolTip.empty() ? L"before" : c.toolTip)
        << std::string(c.text.begin(), c.text.end());
  }
}

TEST_F(FieldsTest, RefreshGivesThePathThePanelColourWhateverTheCheckShowed) {
  t.process.currentDir = L"C:\\Gone";  // no such directory
  start(ClipFormat::Bitmap);
  EXPECT_EQ(form.Path.backColor(), 0x00FFBFC0u);
  EXPECT_EQ(form.Path.foreColor(), kWhite);
  EXPECT_TRUE(form.AddDirBtn.visible());
  EXPECT_EQ(form.Path.toolTip(), L"Path not found");
}

TEST_F(FieldsTest, LeavingTheFieldAppendsTheSeparatorAndChecks) {
  start(ClipFormat::Text);
  ASSERT_TRUE(form.setFocus(form.Path));
  EXPECT_EQ(form.Path.backColor(), kWhite);
  form.Path.userSetText(L"C:\\Data");
  ASSERT_TRUE(form.setFocus(form.FNText));
  EXPECT_EQ(form.Path.text(), L"C:\\Data\\");
  EXPECT_EQ(form.Path.toolTip(), L"Target directory");
}

TEST_F(FieldsTest, CreateDirectoriesButtonMakesTheFieldValid) {
  start(ClipFormat::Text);
  form.Path.setText(L"C:\\New\\Sub\\");
  ASSERT_TRUE(form.AddDirBtn.visible());
  form.AddDirBtn.userClick();
  EXPECT_TRUE(t.fileSystem.exists(L"C:\\New\\Sub"));
  EXPECT_FALSE(form.AddDirBtn.visible());
  EXPECT_EQ(form.Path.toolTip(), L"Target directory");
  form.AddDirBtn.userMouseMove(0, 0, 1, 1);
  EXPECT_EQ(form.AddDirBtn.backColor(), kWhite);
}

TEST_F(FieldsTest, EnterSavesByMode) {
  struct Case {
    ClipFormat format;
    bool inPath;
    std::optional<int> status;
    std::wstring box;  // a message expected, if any
  };
  const Case cases[] = {
      {ClipFormat::Bitmap, true, platform::exitcode::kSaved, L""},
      {ClipFormat::Text, true, platform::exitcode::kSaved, L""},
      {ClipFormat::HDrop, true, std::nullopt, L""},  // Enter in the directory never copies files
      {ClipFormat::Bitmap, false, platform::exitcode::kSaved, L""},
      {ClipFormat::Text, false, platform::exitcode::kSaved, L""},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = {c.format};
    tp.clipboard.textContent = L"text";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(64, 48);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    Form1 f(tp.platform);
    f.load();
    ui::TextBox& field = c.inPath ? f.Path : f.FNText;
    if (c.inPath) {
      ASSERT_TRUE(f.setFocus(field));
    }
    const std::optional<int> status = fake::exitStatusOf([&] {
      int key = 13;
      field.onKeyPress(key);
    });
    EXPECT_EQ(status, c.status);
  }
}

TEST_F(FieldsTest, EnterInTheNameFieldWithoutSaveButtonShowsError2633) {
  start(ClipFormat::Text);
  form.SaveTxtBtn.setVisible(false);
  int key = 13;
  form.FNText_KeyPress(key);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, L"Error #2633");
  EXPECT_EQ(t.dialogs.shown[0].title, L"Button for Action not found");
  EXPECT_EQ(t.dialogs.shown[0].style, platform::box::kCritical);
}

TEST_F(FieldsTest, DateAndTimeOptionsRewriteTheNameAndStoreBothKeys) {
  start(ClipFormat::Bitmap);  // refresh on 2026-12-06 05:51:52
  const std::wstring d = L"26.12.06_", tm = L"05-51-52_";
  form.FNText.setText(L"Docs_Screenshot.JPG");
  form.AddDatecheck.userToggle();
  EXPECT_EQ(form.FNText.text(), d + L"Docs_Screenshot.JPG");
  EXPECT_EQ(t.settings.values[L"Brimlo\\Settings\\AddDateJPG"], L"1");
  EXPECT_EQ(t.settings.values[L"Brimlo\\Settings\\AddTimeJPG"], L"0");
  // Time on with the date prefix there: the time prefix goes in front.
  form.AddTimeCheck.userToggle();
  EXPECT_EQ(form.FNText.text(), tm + d + L"Docs_Screenshot.JPG");
  // Date off keeps the time prefix, and the other way round.
  form.AddDatecheck.userToggle();
  EXPECT_EQ(form.FNText.text(), tm + L"Docs_Screenshot.JPG");
  form.AddDatecheck.userToggle();
  EXPECT_EQ(form.FNText.text(), d + tm + L"Docs_Screenshot.JPG");  // date first: reverse order
  form.AddTimeCheck.userToggle();
  EXPECT_EQ(form.FNText.text(), d + L"Docs_Screenshot.JPG");
  // An edited prefix is not removed; switching on again adds a fresh copy.
  form.FNText.setText(L"26.12.07_Docs.JPG");
  form.AddDatecheck.userToggle();
  EXPECT_EQ(form.FNText.text(), L"26.12.07_Docs.JPG");
  form.AddDatecheck.userToggle();
  EXPECT_EQ(form.FNText.text(), d + L"26.12.07_Docs.JPG");
  // The prefix that returns still carries the refresh's time, not the clock's.
  t.clock.time.minute = 59;
  form.AddTimeCheck.userToggle();
  EXPECT_EQ(form.FNText.text(), tm + d + L"26.12.07_Docs.JPG");
}

TEST_F(FieldsTest, OptionsAreRememberedPerModeAndNotWithoutASaveButton) {
  start(ClipFormat::Text);
  form.OpenFileCheck.userToggle();
  form.AddDatecheck.userToggle();
  EXPECT_EQ(t.settings.values[L"Brimlo\\Settings\\OpenFileTxt"], L"1");
  EXPECT_EQ(t.settings.values[L"Brimlo\\Settings\\AddDateTxt"], L"1");
  EXPECT_EQ(t.settings.values.count(L"Brimlo\\Settings\\AddDateJPG"), 0u);
  // A picture refresh restores the picture keys: the date stays off there.
  t.settings.values[L"Brimlo\\Settings\\AddDateJPG"] = L"0";
  t.clipboard.formats = {ClipFormat::Bitmap};
  form.userKeyDown(116, 0);
  EXPECT_EQ(form.AddDatecheck.value(), 0);
  // No save button shown: nothing is stored.
  form.SavePictureBtn.setVisible(false);
  const auto stored = t.settings.values;
  form.OpenFileCheck.userToggle();
  form.AddTimeCheck.userToggle();
  EXPECT_EQ(t.settings.values, stored);
}

TEST_F(FieldsTest, NameFieldFocusSelectsAllButTheExtension) {
  start(ClipFormat::Text);
  struct Case {
    std::wstring text;
    int start, length;
  };
  const Case cases[] = {{L"Shots_Text.TXT", 0, 10}, {L"a.TXT", 0, 1}, {L"abc", 0, 0}, {L"", 0, 0}};
  for (const Case& c : cases) {
    ASSERT_TRUE(form.setFocus(form.Path));
    form.FNText.setText(c.text);
    ASSERT_TRUE(form.setFocus(form.FNText));
    EXPECT_EQ(form.FNText.selStart(), c.start);
    EXPECT_EQ(form.FNText.selLength(), c.length);
  }
  EXPECT_TRUE(t.dialogs.shown.empty());
}

}  // namespace
