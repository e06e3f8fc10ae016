#include <gtest/gtest.h>

#include "support/Session.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;

constexpr ui::Color kRed = 0x000000C0;
constexpr ui::Color kWhite = 0x00FFFFFF;
constexpr ui::Color kBlack = 0x00000000;

TEST(FieldsTest, DirectoryCheckColoursButtonAndToolTip) {
  fake::Session s({ClipFormat::Text});
  s.t.fileSystem.addDrive(L'D');
  s.t.fileSystem.addDirectory(L"C:\\Windows\\Temp");
  s.t.fileSystem.addDirectory(L"C:\\ReadOnlyDir", platform::attr::kReadOnly);
  s.t.fileSystem.addDirectory(L"C:\\Users\\me\\Desktop");
  s.start();
  // Texts alike in the panel's colour and black (valid) or white on red, whether the button that
  // creates the directory shows, and the tool tip (empty: unchanged).
  struct Case {
    std::vector<std::wstring> texts;
    bool valid, button;
    std::wstring toolTip;
  };
  const std::wstring warning =
      L"Warning: C:\\ is used by the TC if the Directory is not valid for this operation";
  const Case cases[] = {
      {{L"", L"   "}, false, false, L""},
      {{L"C:\\", L"c:\\"}, false, false, warning},
      {{L"C:\\Windows\\Temp\\", L"C:\\Users\\me\\Desktop\\"}, true, false, L"Target directory"},
      {{L"X:\\Nowhere\\DESKTOP\\", L"D:\\"}, true, false, L"Target directory"},
      {{L"C:\\NoSuchDir\\", L"C:\\ReadOnlyDir\\", L"X:\\abc"}, false, true, L"Path not found"},
  };
  for (const Case& c : cases) {
    for (const std::wstring& text : c.texts) {
      SCOPED_TRACE(text::toUtf8(text));
      s.form.Path.setText(L"something else");
      s.form.Path.setToolTip(L"before");
      s.form.Path.setText(text);
      EXPECT_EQ(s.form.Path.backColor(), c.valid ? s.form.Frame1.backColor() : kRed);
      EXPECT_EQ(s.form.Path.foreColor(), c.valid ? kBlack : kWhite);
      EXPECT_EQ(s.form.AddDirBtn.visible(), c.button);
      EXPECT_EQ(s.form.Path.toolTip(), c.toolTip.empty() ? L"before" : c.toolTip);
    }
  }
}

// A refresh gives the field the panel's colour whatever the check showed; leaving the field adds
// the separator, and the button creates the missing directories.
TEST(FieldsTest, MissingDirectoryFromRefreshToTheCreateButton) {
  fake::Session s({ClipFormat::Bitmap});
  s.t.process.currentDir = L"C:\\Gone";  // no such directory
  s.start();
  EXPECT_EQ(s.form.Path.backColor(), s.form.Frame1.backColor());
  EXPECT_EQ(s.form.Path.foreColor(), kWhite);
  EXPECT_TRUE(s.form.AddDirBtn.visible());
  EXPECT_EQ(s.form.Path.toolTip(), L"Path not found");
  ASSERT_TRUE(s.form.setFocus(s.form.Path));
  EXPECT_EQ(s.form.Path.backColor(), kWhite);
  s.form.Path.userSetText(L"C:\\New\\Sub");
  ASSERT_TRUE(s.form.setFocus(s.form.FNText));
  EXPECT_EQ(s.form.Path.text(), L"C:\\New\\Sub\\");
  ASSERT_TRUE(s.form.AddDirBtn.visible());
  s.form.AddDirBtn.userClick();
  EXPECT_TRUE(s.t.fileSystem.exists(L"C:\\New\\Sub"));
  EXPECT_FALSE(s.form.AddDirBtn.visible());
  EXPECT_EQ(s.form.Path.toolTip(), L"Target directory");
  s.form.AddDirBtn.userMouseMove(0, 0, 1, 1);
  EXPECT_EQ(s.form.AddDirBtn.backColor(), kWhite);
}

TEST(FieldsTest, EnterSavesByMode) {
  struct Case {
    ClipFormat format;
    bool inPath;
    std::optional<int> status;
    bool saveButtonHidden = false;
  };
  const Case cases[] = {
      {ClipFormat::Bitmap, true, platform::exitcode::kSaved},
      {ClipFormat::Text, true, platform::exitcode::kSaved},
      {ClipFormat::HDrop, true, std::nullopt},  // Enter in the directory never copies files
      {ClipFormat::Bitmap, false, platform::exitcode::kSaved},
      {ClipFormat::Text, false, platform::exitcode::kSaved},
      {ClipFormat::Text, false, std::nullopt, true},
  };
  for (const Case& c : cases) {
    fake::Started s({c.format});
    if (c.inPath) {
      ASSERT_TRUE(s.form.setFocus(s.form.Path));
    }
    s.form.SaveTxtBtn.setVisible(s.form.SaveTxtBtn.visible() && !c.saveButtonHidden);
    EXPECT_EQ(s.run([&] { s.form.userKeyPress(13); }), c.status);
    const fake::Box error{L"Error #2633", platform::box::kCritical, L"Button for Action not found"};
    EXPECT_EQ(s.t.dialogs.shown, c.saveButtonHidden ? fake::Boxes{error} : fake::Boxes{});
  }
}

TEST(FieldsTest, DateAndTimeOptionsRewriteTheNameAndStoreBothKeys) {
  fake::Started s({ClipFormat::Bitmap});  // on 2026-12-06 at 05:51:52
  Form1& f = s.form;
  const std::wstring d = L"26.12.06_", tm = L"05-51-52_", docs = L"Docs_Screenshot.JPG";
  const std::wstring edited = L"26.12.07_Docs.JPG";
  // The option clicked, the name typed before (if any), the name after the click.
  const std::tuple<ui::CheckBox*, std::wstring, std::wstring> steps[] = {
      {&f.AddDatecheck, docs, d + docs},
      {&f.AddTimeCheck, L"", tm + d + docs},  // the time prefix goes in front
      {&f.AddDatecheck, L"", tm + docs},      // date off keeps the time prefix
      {&f.AddDatecheck, L"", d + tm + docs},  // date last: in front
      {&f.AddTimeCheck, L"", d + docs},
      {&f.AddDatecheck, edited, edited},  // an edited prefix is not removed
      {&f.AddDatecheck, L"", d + edited},
  };
  for (const auto& [option, typed, name] : steps) {
    if (!typed.empty())
      f.FNText.setText(typed);
    option->userToggle();
    EXPECT_EQ(f.FNText.text(), name);
    EXPECT_EQ(s.t.settings.values.count(L"Brimlo\\Settings\\AddTimeJPG"), 1u);  // both stored
  }
  EXPECT_EQ(s.t.settings.values[L"Brimlo\\Settings\\AddDateJPG"], L"1");
  EXPECT_EQ(s.t.settings.values[L"Brimlo\\Settings\\AddTimeJPG"], L"0");
  // The prefix that returns still carries the refresh's time, not the clock's.
  s.t.clock.time.minute = 59;
  f.AddTimeCheck.userToggle();
  EXPECT_EQ(f.FNText.text(), tm + d + edited);
}

// Each option of each mode has its own stored value: a refresh restores it, a click by the user
// stores it there, and nothing is stored while no save button is shown.
TEST(FieldsTest, EachOptionIsRememberedPerMode) {
  using enum ClipFormat;
  const std::tuple<std::set<ClipFormat>, int, std::wstring> rows[] = {
      {{Bitmap}, 0, L"OpenFileJPG"},    {{Bitmap}, 1, L"AddDateJPG"},
      {{Bitmap}, 2, L"AddTimeJPG"},     {{Text}, 0, L"OpenFileTxt"},
      {{Text}, 1, L"AddDateTxt"},       {{Text}, 2, L"AddTimeTxt"},
      {{Text, Rtf}, 0, L"OpenFileTxt"}, {{Text, Rtf}, 1, L"AddDateTxt"},
  };
  for (const auto& [formats, option, key] : rows) {
    SCOPED_TRACE(text::toUtf8(key));
    fake::Session s(formats);
    auto& stored = s.t.settings.values;
    stored[L"Brimlo\\Settings\\" + key] = L"1";
    s.start();
    Form1& f = s.form;
    ui::CheckBox& box = *std::array{&f.OpenFileCheck, &f.AddDatecheck, &f.AddTimeCheck}[option];
    EXPECT_EQ(box.value(), 1);
    box.userToggle();
    EXPECT_EQ(stored[L"Brimlo\\Settings\\" + key], L"0");
    // No save button shown: nothing is stored.
    f.SavePictureBtn.setVisible(false);
    f.SaveTxtBtn.setVisible(false);
    const auto before = stored;
    box.userToggle();
    EXPECT_EQ(stored, before);
  }
}

TEST(FieldsTest, NameFieldFocusSelectsAllButTheExtension) {
  fake::Started s({ClipFormat::Text});
  const std::pair<std::wstring, int> cases[] = {
      {L"Shots_Text.TXT", 10}, {L"a.TXT", 1}, {L"abc", 0}, {L"", 0}};
  for (const auto& [text, length] : cases) {
    ASSERT_TRUE(s.form.setFocus(s.form.Path));
    s.form.FNText.setText(text);
    ASSERT_TRUE(s.form.setFocus(s.form.FNText));
    EXPECT_EQ(s.form.FNText.selStart(), 0);
    EXPECT_EQ(s.form.FNText.selLength(), length);
  }
  EXPECT_TRUE(s.t.dialogs.shown.empty());
}

}  // namespace
