#include <gtest/gtest.h>

#include "shell/ContextMenu.h"
#include "support/Session.h"

namespace {

const std::wstring kKey = L"*\\shell\\Save Clipboard to file.. (Brimlo)\\command";
const std::wstring kMachineKey = L"HKCR\\" + kKey;
const std::wstring kUserKey = L"HKCU\\Software\\Classes\\" + kKey;
constexpr std::uint32_t kAccessDenied = 5;
using platform::box::kCritical;

using Values = std::map<std::wstring, std::wstring>;

TEST(ContextMenuTest, CheckingWritesTheQuotedProgramPathWhereverTheProgramRunsUncheckingKeepsIt) {
  struct Case {
    std::wstring directory, name, value;
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
    fake::Session s;
    s.t.process.programDir = c.directory;
    s.t.process.programBaseName = c.name;
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.t.shellRegistry.values, (Values{{kMachineKey, c.value}}));
    EXPECT_EQ(s.form.ContextMenuCheck.value(), 1);
    // Unchecking leaves the entry; checking again writes where the program is now.
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.form.ContextMenuCheck.value(), 0);
    EXPECT_EQ(s.t.shellRegistry.writes, 1);
    s.t.process.programDir = L"E:\\Portable";
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.t.shellRegistry.values,
              (Values{{kMachineKey, L"\"E:\\Portable\\" + c.name + L".exe\" %1"}}));
    EXPECT_TRUE(s.t.dialogs.shown.empty());
  }
}

TEST(ContextMenuTest, RefusedMachineKeyFallsBackToTheUsersClasses) {
  struct Case {
    std::uint32_t machineError, userError;
    Values values;
  };
  const std::wstring value = L"\"C:\\Tools\\Brimlo.exe\" %1";
  const Case cases[] = {
      {0, 0, {{kMachineKey, value}}},              // an administrator
      {kAccessDenied, 0, {{kUserKey, value}}},     // an ordinary user
      {0, kAccessDenied, {{kMachineKey, value}}},  // the user's classes locked
      {kAccessDenied, kAccessDenied, {}},
  };
  for (const Case& c : cases) {
    fake::Session s;
    s.t.shellRegistry.classesRootError = c.machineError;
    s.t.shellRegistry.currentUserError = c.userError;
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.t.shellRegistry.values, c.values);
    // The box shows what the menu holds: checked only when an entry was written.
    EXPECT_EQ(s.form.ContextMenuCheck.value(), c.values.empty() ? 0 : 1);
    const fake::Box refused{
        L"The context-menu entry could not be written to the registry:\r\r" + kKey, kCritical};
    EXPECT_EQ(s.t.dialogs.shown, c.values.empty() ? fake::Boxes{refused} : fake::Boxes{});
    // Unchecking after the message tries nothing more.
    EXPECT_EQ(s.t.shellRegistry.writes, c.values.empty() || c.machineError ? 2 : 1);
  }
}

}  // namespace
