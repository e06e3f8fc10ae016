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

// Each row is read where it is written, and reads as its fallback (or the control's value) when
// nothing, or an empty text, is stored. A failed write keeps the old value, silently.
TEST_F(RegistryTest, EverySettingReadsItsFallbackAndThenWhatWasWritten) {
  for (const Settings::Row* row : Settings::kAll) {
    const std::wstring fallback = row->fallback != nullptr ? row->fallback : L"1";
    const std::wstring key = std::wstring(L"Brimlo\\") + row->section + L"\\" + row->key;
    t.settings.values.clear();
    EXPECT_EQ(Settings::read(p, *row, L"1"), fallback) << row->key;
    t.settings.values[key] = L"";
    EXPECT_EQ(Settings::read(p, *row, L"1"), fallback) << row->key;
    Settings::write(p, *row, L"0");
    EXPECT_EQ(t.settings.values[key], L"0") << row->key;
    t.settings.failWrites = true;
    Settings::write(p, *row, L"1");
    t.settings.failWrites = false;
    EXPECT_EQ(Settings::read(p, *row, L"1"), L"0") << row->key;
  }
  EXPECT_TRUE(t.dialogs.shown.empty());
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

TEST_F(RegistryTest, WindowPositionIsRestoredCorrectedWhenOutOfSightAndStored) {
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
    const std::wstring pos = L"Brimlo\\Form1\\Pos\\";
    const wchar_t* keys[] = {L"Height", L"Width", L"Top", L"Left"};
    for (int i = 0; i < 4; ++i) {
      if (!c.stored[i].empty())
        tp.settings.values[pos + keys[i]] = c.stored[i];
    }
    PositionForm form;
    EXPECT_TRUE(Registry::LoadWindowPos(tp.platform, L"Form1").ok());
    EXPECT_EQ((std::array{form.left(), form.top(), form.width(), form.height()}),
              (std::array{c.left, c.top, c.width, c.height}))
        << c.what;
    EXPECT_EQ(form.visible(), c.shownEarly) << c.what;
    // Stored as shown, from a maximised window too; a minimised one stores nothing.
    tp.settings.values.clear();
    form.userBoundsChanged(c.left, c.top, c.width, c.height, 0, 0, ui::WindowState::Maximized);
    Registry::SaveWindowPos(tp.platform, L"Form1");
    const std::array<int, 4> shown = {c.height, c.width, c.top, c.left};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(tp.settings.values[pos + keys[i]], std::to_wstring(shown[i])) << c.what;
    tp.settings.values.clear();
    form.userBoundsChanged(0, 0, 2000, 500, 1760, 0, ui::WindowState::Minimized);
    Registry::SaveWindowPos(tp.platform, L"Form1");
    EXPECT_TRUE(tp.settings.values.empty()) << c.what;
  }
}

}  // namespace
