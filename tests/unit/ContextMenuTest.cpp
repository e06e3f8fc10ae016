#include <gtest/gtest.h>

#include "shell/ContextMenu.h"
#include "support/Session.h"

namespace {

const std::wstring kKey = L"*\\shell\\Save Clipboard to file.. (Brimlo)\\command";
const std::wstring kMachineKey = L"HKCR\\" + kKey;
const std::wstring kUserKey = L"HKCU\\Software\\Classes\\" + kKey;
constexpr std::uint32_t kDenied = 5;

using Values = std::map<std::wstring, std::wstring>;

// Checking writes the quoted program path wherever the program runs (unquoted, Windows would try
// C:\Program.exe first), into the machine's classes or, refused there, the user's; unchecking
// keeps the entry, and checking again writes where the program is now.
TEST(ContextMenuTest, CheckingWritesTheQuotedProgramPathUncheckingKeepsIt) {
  struct Case {
    std::wstring directory, name;
    std::uint32_t machineError, userError;
    std::wstring key;  // where the entry went; empty: nowhere
  };
  const Case cases[] = {
      {L"C:\\Program Files\\Brimlo", L"Brimlo", 0, 0, kMachineKey},  // an administrator
      {L"C:\\Users\\Jörg\\Программы", L"brimlo2", 0, 0, kMachineKey},
      {L"\\\\server\\share\\apps", L"Brimlo", 0, 0, kMachineKey},
      {L"D:\\Tools", L"Brimlo", kDenied, 0, kUserKey},
      {L"D:\\Tools", L"Brimlo", 0, kDenied, kMachineKey},  // the user's classes locked
      {L"D:\\Tools", L"Brimlo", kDenied, kDenied, L""},
  };
  for (const Case& c : cases) {
    fake::Session s;
    s.t.process.programDir = c.directory;
    s.t.process.programBaseName = c.name;
    s.t.shellRegistry.classesRootError = c.machineError;
    s.t.shellRegistry.currentUserError = c.userError;
    s.form.ContextMenuCheck.userToggle();
    const Values written{{c.key, L"\"" + c.directory + L"\\" + c.name + L".exe\" %1"}};
    EXPECT_EQ(s.t.shellRegistry.values, c.key.empty() ? Values{} : written);
    // The box shows what the menu holds: checked only when an entry was written.
    EXPECT_EQ(s.form.ContextMenuCheck.value(), c.key.empty() ? 0 : 1);
    const fake::Box refused{
        L"The context-menu entry could not be written to the registry:\r\r" + kKey,
        platform::box::kCritical};
    EXPECT_EQ(s.t.dialogs.shown, c.key.empty() ? fake::Boxes{refused} : fake::Boxes{});
    // Unchecking after the message tries nothing more, nor does unchecking by the user.
    EXPECT_EQ(s.t.shellRegistry.writes, c.key.empty() || c.machineError ? 2 : 1);
    if (c.key.empty())
      continue;
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.form.ContextMenuCheck.value(), 0);
    EXPECT_EQ(s.t.shellRegistry.writes, c.machineError ? 2 : 1);
    s.t.process.programDir = L"E:\\Portable";
    s.form.ContextMenuCheck.userToggle();
    EXPECT_EQ(s.t.shellRegistry.values.begin()->second,
              L"\"E:\\Portable\\" + c.name + L".exe\" %1");
  }
}

}  // namespace
