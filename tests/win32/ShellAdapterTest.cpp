#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"

namespace {

using testsupport::makeFile;
using testsupport::readFile;

platform::FileCopyResult copy(const std::wstring& source, const std::wstring& destination) {
  platform::FileCopy copy;
  copy.source = source;
  copy.destination = destination;
  copy.flags = 0x310;  // no confirmations, simple progress window
  copy.progressTitle = L"Brimlo kopiert \u00c4rger.txt";
  return win32::Win32Shell().copyFile(copy);
}

TEST(ShellAdapterTest, FindExecutableNamesTheAssociatedProgramOrNothing) {
  testsupport::TempDir dir(L"shell-find");
  // Any name the user types.
  const std::wstring note = dir / L"Gr\u00fc\u00dfe \u65e5\u672c.txt";
  ASSERT_TRUE(makeFile(note, "  \r\n"));
  win32::Win32Shell shell;
  std::wstring program = L"left from before";
  EXPECT_GT(shell.findExecutable(note, program), 32u);
  const std::wstring notepad = L"\\notepad.exe";
  EXPECT_TRUE(program.size() > notepad.size() &&
              _wcsicmp(program.c_str() + program.size() - notepad.size(), notepad.c_str()) == 0)
      << program;

  EXPECT_EQ(shell.findExecutable(dir / L"missing.txt", program),
            platform::kFindExecutableFileNotFound);
  EXPECT_EQ(program, L"");
}

TEST(ShellAdapterTest, CopyPutsTheFileIntoItsTargetDirectory) {
  struct Case {
    const char* what;
    std::wstring source, destination;
  };
  const Case cases[] = {
      {"existing directory", L"shot.txt", L"target\\shot.txt"},
      {"missing directories, names beyond the code page", L"\u00c4rger \u65e5\u672c.txt",
       L"new\\Ziel \u00fc\\\u00c4rger.txt"},
  };
  testsupport::TempDir dir(L"shell-copy");
  ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = std::string("content of ") + c.what + "\r\n";
    ASSERT_TRUE(makeFile(dir / c.source, bytes));
    const platform::FileCopyResult result = copy(dir / c.source, dir / c.destination);
    EXPECT_EQ(result.code, 0);
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(readFile(dir / c.destination), bytes);
    EXPECT_EQ(readFile(dir / c.source), bytes);  // a copy, not a move
  }
}

TEST(ShellAdapterTest, FailedCopyReportsWhatTheShellSaid) {
  struct Case {
    const char* what;
    std::wstring source, destination, mustNotExist;
    bool aborted;
  };
  const Case cases[] = {
      {"missing source", L"nothing-here.txt", L"target\\nothing-here.txt",
       L"target\\nothing-here.txt", false},
      // The shell treats a target without a file name as cancelled and says so in the structure.
      {"no file name after a missing folder", L"shot.txt", L"absent\\", L"absent\\shot.txt", true},
  };
  testsupport::TempDir dir(L"shell-copy-fails");
  ASSERT_TRUE(makeFile(dir / L"shot.txt", "x"));
  ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const platform::FileCopyResult result = copy(dir / c.source, dir / c.destination);
    EXPECT_NE(result.code, 0);
    EXPECT_EQ(result.aborted, c.aborted);
    EXPECT_EQ(readFile(dir / c.mustNotExist), std::nullopt);
  }
}

}  // namespace
