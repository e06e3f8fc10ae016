#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"

namespace {

using testsupport::ChildReport;

TEST(Win32ProcessTest, ArgumentsAreTheTextTypedAfterTheProgramPath) {
  struct Case {
    const wchar_t* line;
    const wchar_t* arguments;
  };
  const Case cases[] = {
      {L"\"C:\\Program Files\\Brimlo\\brimlo.exe\"   /s  \"C:\\My  Shots\\a.jpg\"  ",
       L"/s  \"C:\\My  Shots\\a.jpg\"  "},
      {L"C:\\Tools\\brimlo.exe    -x   y", L"-x   y"},
      {L"C:\\Tools\\brimlo.exe\t \tnotes.txt", L"notes.txt"},
      {L"\"C:\\Tools\\brimlo.exe\"/s", L"/s"},
      {L"\"C:\\Tools\\brimlo.exe\"", L""},
      {L"brimlo.exe  \"quoted arg\" tail\\", L"\"quoted arg\" tail\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.line);
    ChildReport child;
    ASSERT_TRUE(child.run(c.line));
    EXPECT_EQ(child.lines().at(0), c.arguments);
  }
}

// A copy of the program in a folder with a dotted, non-ASCII name, and one in a drive's root.
TEST(Win32ProcessTest, ProgramDirectoryAndNameFollowTheExecutable) {
  testsupport::TempDir dir(L"location");
  const std::wstring inFolder = dir / L"Brimlo Tools";
  CreateDirectoryW(inFolder.c_str(), nullptr);
  const std::wstring drive = dir.path().substr(0, 3);  // "C:\"
  const std::wstring rootName = L"brimlo-root-" + std::to_wstring(GetCurrentProcessId());
  struct Case {
    std::wstring copy, expected;
  };
  const Case cases[] = {
      {inFolder + L"\\Brimlo.Test Ω.exe", inFolder + L"|Brimlo.Test Ω"},
      {drive + rootName + L".exe", drive + L"|" + rootName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.copy);
    // Wine lets anyone write into a drive's root (Windows only an administrator).
    ASSERT_TRUE(CopyFileW(testsupport::selfPath().c_str(), c.copy.c_str(), FALSE));
    ChildReport child;
    EXPECT_TRUE(child.run(L"brimlo", c.copy));
    EXPECT_EQ(child.lines().at(1), c.expected);
    DeleteFileW(c.copy.c_str());
  }
}

TEST(Win32ProcessTest, StartedProgramGetsItsShowStateAndReportsItsId) {
  win32::Win32Process process;
  const std::wstring self = testsupport::selfPath();
  struct Case {
    std::wstring application, line;
    int showState;
  };
  const Case cases[] = {
      {L"", L"\"" + self + L"\" --report", SW_HIDE},
      {L"", L"\"" + self + L"\" --report", SW_SHOWMINNOACTIVE},
      // Named as the application, that program runs whatever the line's first word names.
      {self, L"\"C:\\No Such\\program.exe\" --report", SW_HIDE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.line << " " << c.showState);
    const ChildReport child;
    const std::uint32_t id = process.startProcess(c.application, c.line, c.showState);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(child.lines().at(0), L"--report");
    EXPECT_EQ(child.lines().at(2), std::to_wstring(id) + L" " + std::to_wstring(c.showState));
  }
  EXPECT_EQ(process.startProcess(L"", L"C:\\missing\\nothing-here.exe", SW_SHOWNORMAL), 0u);
}

TEST(Win32ProcessTest, ErrorsHaveReadableTexts) {
  win32::Win32Process process;
  const std::wstring notFound = process.errorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(notFound.empty());
  EXPECT_EQ(notFound.find_last_of(L"\r\n"), std::wstring::npos);
  EXPECT_NE(notFound, L"error 2");
  EXPECT_EQ(process.errorText(0x2000ABCD), L"error 536914893");
}

}  // namespace
