#include <gtest/gtest.h>

#include "support/Fakes.h"
#include "target/Registry.h"
#include "target/Settings.h"
#include "ui/Form.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  fake::TestPlatform t;
  const platform::Platform& p = t.platform;
};

TEST_F(RegistryTest, MissingAndStoredValuesAgainstTheDefaultAndAFailedWrite) {
  struct Case {
    std::optional<std::wstring> stored;
    std::wstring defaultValue;
    std::wstring expected;
  };
  const Case cases[] = {
      {std::nullopt, L"1", L"1"}, {std::nullopt, L"", L""},
      {L"", L"1", L"1"},  // stored empty counts as missing
      {L"0", L"1", L"0"},         {L"True", L"", L"True"},
  };
  for (const Case& c : cases) {
    t.settings.values.clear();
    if (c.stored)
      t.settings.values[L"Brimlo\\Settings\\AddDateJPG"] = *c.stored;
    EXPECT_EQ(Registry::GetSettingValue(p, L"Settings", L"AddDateJPG", c.defaultValue), c.expected)
        << "stored=" << (c.stored ? "value" : "none");
  }
  // A failed write keeps the old value, silently.
  t.settings.failWrites = true;
  Registry::SaveSettingValue(p, L"Settings", L"AddDateJPG", L"1");
  EXPECT_EQ(t.settings.values[L"Brimlo\\Settings\\AddDateJPG"], L"True");
  EXPECT_TRUE(t.dialogs.shown.empty());
}

// Each row is read where it is written, and reads as its fallback (or the control's value) when
// nothing is stored.
TEST_F(RegistryTest, EverySettingReadsItsFallbackAndThenWhatWasWritten) {
  for (const Settings::Row* row : Settings::kAll) {
    t.settings.values.clear();
    EXPECT_EQ(Settings::read(p, *row, L"1"), row->fallback != nullptr ? row->fallback : L"1")
        << row->key;
    Settings::write(p, *row, L"0");
    EXPECT_EQ(t.settings.values.count(std::wstring(L"Brimlo\\") + row->section + L"\\" + row->key),
              1u)
        << row->key;
    EXPECT_EQ(Settings::read(p, *row, L"1"), L"0") << row->key;
  }
}

// Either is a mistake of the program itself: the user is told, an empty name ends the program.
TEST_F(RegistryTest, AnEmptyProgramNameEndsTheProgramAndAnUnknownWindowIsReported) {
  EXPECT_EQ(fake::exitStatusOf([&] { Registry::EnsureProgramName(p, L"   "); }),
            platform::exitcode::kOther);
  EXPECT_NO_THROW(Registry::EnsureProgramName(p, L" Brimlo "));
  EXPECT_EQ(Registry::LoadWindowPos(p, L"NoSuchForm").text(),
            L"FormName not found\r(AppDefOps.LoadWindowPos)");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text.rfind(L"Der Programm-Name wurde nicht festgelegt", 0), 0u);
}

// A window of the design size: 9885 x 5790 client, 240 x 705 frame, at 120, 450.
class PositionForm : public ui::Form {
 public:
  PositionForm() : ui::Form(L"Form1") { setDesignBounds(120, 450, 9885, 5790, 240, 705); }
};

TEST_F(RegistryTest, WindowPositionIsRestoredAndCorrectedWhenOutOfSight) {
  struct Case {
    const char* what;
    std::array<std::wstring, 4> stored;  // height, width, top, left; "": none
    int left, top, width, height;
    bool shownEarly;
  };
  const std::wstring right = std::to_wstring(t.screen.width + 1);
  const std::wstring below = std::to_wstring(t.screen.height + 1);
  const int bottom = t.screen.height;
  const std::wstring edge = std::to_wstring(bottom);
  const Case cases[] = {
      {"nothing stored", {}, 120, 450, 10125, 6495, false},
      {"on screen", {L"7000", L"9000", L"600", L"900"}, 900, 600, 9000, 7000, false},
      {"right of the screen", {L"7000", L"9000", L"600", right}, 100, 100, 9000, 7000, true},
      {"left of the screen", {L"", L"9000", L"", L"-9001"}, 100, 100, 9000, 6495, true},
      {"above the screen", {L"7000", L"", L"-7001", L""}, 100, 100, 10125, 7000, true},
      {"below the screen", {L"", L"", below, L""}, 100, 100, 10125, 6495, true},
      {"at the bottom edge", {L"", L"", edge, L""}, 120, bottom, 10125, 6495, false},
      {"width not a number", {L"7000", L"abc", L"600", L"900"}, 900, 600, 10125, 7000, false},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    const wchar_t* keys[] = {L"Height", L"Width", L"Top", L"Left"};
    for (int i = 0; i < 4; ++i) {
      if (!c.stored[i].empty())
        tp.settings.values[std::wstring(L"Brimlo\\Form1\\Pos\\") + keys[i]] = c.stored[i];
    }
    PositionForm form;
    EXPECT_TRUE(Registry::LoadWindowPos(tp.platform, L"Form1").ok());
    EXPECT_EQ((std::array{form.left(), form.top(), form.width(), form.height()}),
              (std::array{c.left, c.top, c.width, c.height}))
        << c.what;
    EXPECT_EQ(form.visible(), c.shownEarly) << c.what;
  }
}

TEST_F(RegistryTest, SaveStoresFourValuesUnlessMinimised) {
  PositionForm form;
  form.userBoundsChanged(300, 400, 9000, 7000, 8760, 6295, ui::WindowState::Maximized);
  Registry::SaveWindowPos(p, L"Form1");
  const std::map<std::wstring, std::wstring> stored = {{L"Brimlo\\Form1\\Pos\\Height", L"7000"},
                                                       {L"Brimlo\\Form1\\Pos\\Width", L"9000"},
                                                       {L"Brimlo\\Form1\\Pos\\Top", L"400"},
                                                       {L"Brimlo\\Form1\\Pos\\Left", L"300"}};
  EXPECT_EQ(t.settings.values, stored);
  form.userBoundsChanged(0, 0, 2000, 500, 1760, 0, ui::WindowState::Minimized);
  Registry::SaveWindowPos(p, L"Form1");
  EXPECT_EQ(t.settings.values, stored);
}

}  // namespace
