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
  EXPECT_TRUE(shell.findExecutable(note, program).ok());
  const std::wstring notepad = L"\\notepad.exe";
  EXPECT_TRUE(program.size() > notepad.size() &&
              _wcsicmp(program.c_str() + program.size() - notepad.size(), notepad.c_str()) == 0)
      << program;

  EXPECT_EQ(shell.findExecutable(dir / L"missing.txt", program),
            platform::kFindExecutableFileNotFound);
  EXPECT_EQ(program, L"");
}

// A copy lands in its target directory, made where missing, and leaves the source; a failed one
// reports what the shell said and leaves nothing.
TEST(ShellAdapterTest, CopyPutsTheFileIntoItsTargetDirectoryOrReportsWhatTheShellSaid) {
  struct Case {
    const char* what;
    std::wstring source, destination, result;  // result: where the copy is, or must not be
    bool fails, aborted;
  };
  const Case cases[] = {
      {"existing directory", L"shot.txt", L"target\\shot.txt", L"target\\shot.txt", false, false},
      {"missing directories, names beyond the code page", L"\u00c4rger \u65e5\u672c.txt",
       L"new\\Ziel \u00fc\\\u00c4rger.txt", L"new\\Ziel \u00fc\\\u00c4rger.txt", false, false},
      {"missing source", L"nothing-here.txt", L"target\\nothing-here.txt",
       L"target\\nothing-here.txt", true, false},
      // The shell treats a target without a file name as cancelled and says so in the structure.
      {"no file name after a missing folder", L"shot.txt", L"absent\\", L"absent\\shot.txt", true,
       true},
  };
  testsupport::TempDir dir(L"shell-copy");
  ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
  ASSERT_TRUE(makeFile(dir / L"shot.txt", "x"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = std::string("content of ") + c.what + "\r\n";
    if (!c.fails) {
      ASSERT_TRUE(makeFile(dir / c.source, bytes));
    }
    const platform::FileCopyResult result = copy(dir / c.source, dir / c.destination);
    EXPECT_EQ(result.code != 0, c.fails);
    EXPECT_EQ(result.aborted, c.aborted);
    EXPECT_EQ(readFile(dir / c.result), c.fails ? std::nullopt : std::optional(bytes));
    if (!c.fails) {
      EXPECT_EQ(readFile(dir / c.source), bytes);  // a copy, not a move
    }
  }
}

}  // namespace
