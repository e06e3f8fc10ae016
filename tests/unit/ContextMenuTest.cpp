#include <gtest/gtest.h>

#include "app/Form1.h"
#include "shell/ContextMenu.h"
#include "support/Fakes.h"

namespace {

const std::wstring kKey = L"*\\shell\\Save Clipboard to file.. (Brimlo)\\command";
const std::wstring kMachineKey = L"HKCR\\" + kKey;
const std::wstring kUserKey = L"HKCU\\Software\\Classes\\" + kKey;
constexpr std::uint32_t kAccessDenied = 5;

using Values = std::map<std::wstring, std::wstring>;

TEST(ContextMenuTest, CheckingWritesTheQuotedProgramPathWhereverTheProgramRuns) {
  struct Case {
    std::wstring directory;
    std::wstring name;
    std::wstring value;
  };
  const Case cases[] = {
      // Unquoted, Windows would try C:\Program.exe first.
      {L"C:\\Program Files\\Brimlo", L"Brimlo", L"\"C:\\Program Files\\Brimlo\\Brimlo.exe\" %1"},
      {L"D:\\Tools", L"Brimlo", L"\"D:\\Tools\\Brimlo.exe\" %1"},
      {L"C:\\Users\\Jörg\\Программы", L"brimlo2",
       L"\"C:\\Users\\Jörg\\Программы\\brimlo2.exe\" %1"},
      {L"\\\\server\\share\\apps", L"Brimlo", L"\"\\\\server\\share\\apps\\Brimlo.exe\" %1"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform p;
    Form1 f(p.platform);
    p.process.programDir = c.directory;
    p.process.programBaseName = c.name;

    f.ContextMenuCheck.userToggle();

    EXPECT_EQ(p.shellRegistry.values, (Values{{kMachineKey, c.value}})) << c.directory;
    EXPECT_EQ(f.ContextMenuCheck.value(), 1) << c.directory;
    EXPECT_TRUE(p.dialogs.shown.empty()) << c.directory;
  }
}

TEST(ContextMenuTest, UncheckingLeavesTheEntryAndCheckingAgainRewritesIt) {
  fake::TestPlatform t;
  Form1 form(t.platform);
  t.process.programDir = L"C:\\Program Files\\Brimlo";
  form.ContextMenuCheck.userToggle();
  form.ContextMenuCheck.userToggle();
  EXPECT_EQ(t.shellRegistry.writes, 1);
  EXPECT_EQ(form.ContextMenuCheck.value(), 0);

  form.ContextMenuCheck.userToggle();
  EXPECT_EQ(t.shellRegistry.writes, 2);
  EXPECT_EQ(t.shellRegistry.values,
            (Values{{kMachineKey, L"\"C:\\Program Files\\Brimlo\\Brimlo.exe\" %1"}}));

  // The program was moved since the entry was written: the entry follows it.
  t.process.programDir = L"E:\\Portable\\Brimlo";
  form.ContextMenuCheck.userToggle();
  form.ContextMenuCheck.userToggle();
  EXPECT_EQ(t.shellRegistry.values,
            (Values{{kMachineKey, L"\"E:\\Portable\\Brimlo\\Brimlo.exe\" %1"}}));
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST(ContextMenuTest, RefusedMachineKeyFallsBackToTheUsersClasses) {
  struct Case {
    const char* what;
    std::uint32_t machineError, userError;
    Values values;
    int checked;
    std::size_t boxes;
  };
  const std::wstring value = L"\"C:\\Tools\\Brimlo.exe\" %1";
  const Case cases[] = {
      {"administrator", 0, 0, {{kMachineKey, value}}, 1, 0},
      {"ordinary user", kAccessDenied, 0, {{kUserKey, value}}, 1, 0},
      {"user classes locked, machine open", 0, kAccessDenied, {{kMachineKey, value}}, 1, 0},
      {"both refused", kAccessDenied, kAccessDenied, {}, 0, 1},
  };
  for (const Case& c : cases) {
    fake::TestPlatform p;
    Form1 f(p.platform);
    p.shellRegistry.classesRootError = c.machineError;
    p.shellRegistry.currentUserError = c.userError;

    f.ContextMenuCheck.userToggle();

    EXPECT_EQ(p.shellRegistry.values, c.values) << c.what;
    // The box shows what the menu holds: checked only when an entry was written.
    EXPECT_EQ(f.ContextMenuCheck.value(), c.checked) << c.what;
    ASSERT_EQ(p.dialogs.shown.size(), c.boxes) << c.what;
    if (c.boxes == 0)
      continue;
    EXPECT_EQ(p.dialogs.shown[0].text,
              L"The context-menu entry could not be written to the registry:\r\r" + kKey);
    EXPECT_EQ(p.dialogs.shown[0].style, platform::box::kCritical);
    EXPECT_EQ(p.dialogs.shown[0].title, platform::kProgramTitle);
    // Unchecking after the message tries nothing more.
    EXPECT_EQ(p.shellRegistry.writes, 2);
  }
}

}  // namespace
