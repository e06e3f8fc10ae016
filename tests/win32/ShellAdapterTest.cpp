#include <gtest/gtest.h>

#include <cwctype>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"

namespace {

constexpr std::uint32_t kCopyFlags = 0x310;  // no confirmations, simple progress window
const std::wstring kProgressTitle = L"Brimlo kopiert \u00c4rger.txt";

bool endsWithNoCase(const std::wstring& s, const std::wstring& end) {
  if (s.size() < end.size())
    return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    const auto a = std::towlower(static_cast<std::wint_t>(s[s.size() - end.size() + i]));
    if (a != std::towlower(static_cast<std::wint_t>(end[i])))
      return false;
  }
  return true;
}

platform::FileCopy copyOf(const std::wstring& source, const std::wstring& destination) {
  platform::FileCopy copy;
  copy.source = source;
  copy.destination = destination;
  copy.flags = kCopyFlags;
  copy.progressTitle = kProgressTitle;
  return copy;
}

TEST(ShellAdapterTest, FindExecutableNamesTheAssociatedProgram) {
  struct Case {
    std::wstring name;
    bool create;
    std::uint32_t code;  // 0: any success code
    std::wstring programEnd;
  };
  const Case cases[] = {
      {L"note.txt", true, 0, L"\\notepad.exe"},
      {L"Gr\u00fc\u00dfe \u65e5\u672c.txt", true, 0, L"\\notepad.exe"},  // any name the user types
      {L"page.html", true, 0, L"\\winebrowser.exe"},
      {L"missing.txt", false, platform::kFindExecutableFileNotFound, L""},
  };
  testsupport::TempDir dir(L"shell-find");
  win32::Win32Shell shell;
  for (const Case& c : cases) {
    const std::wstring path = dir / c.name;
    if (c.create) {
      ASSERT_TRUE(testsupport::makeFile(path, "  \r\n")) << path;
    }
    std::wstring program = L"left from before";

    const std::uint32_t code = shell.findExecutable(path, program);

    if (c.code == 0) {
      EXPECT_GT(code, 32u) << path;
      EXPECT_TRUE(endsWithNoCase(program, c.programEnd)) << path << " -> " << program;
    } else {
      EXPECT_EQ(code, c.code) << path;
      EXPECT_EQ(program, L"") << path;
    }
  }
}

TEST(ShellAdapterTest, CopyPutsTheFileIntoItsTargetDirectory) {
  struct Case {
    const char* what;
    std::wstring source;
    std::wstring destination;
  };
  const Case cases[] = {
      {"existing directory", L"shot.txt", L"target\\shot.txt"},
      {"missing directory is created", L"shot.txt", L"new\\deeper\\shot.txt"},
      {"names beyond the code page", L"\u00c4rger \u65e5\u672c.txt",
       L"Ziel \u00fc\\\u00c4rger.txt"},
  };
  testsupport::TempDir dir(L"shell-copy");
  ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
  win32::Win32Shell shell;
  for (const Case& c : cases) {
    const std::string bytes = std::string("content of ") + c.what + "\r\n";
    ASSERT_TRUE(testsupport::makeFile(dir / c.source, bytes)) << c.what;
    const platform::FileCopy copy = copyOf(dir / c.source, dir / c.destination);

    const platform::FileCopyResult result = shell.copyFile(copy);

    EXPECT_EQ(result.code, 0) << c.what;
    EXPECT_FALSE(result.aborted) << c.what;
    EXPECT_EQ(testsupport::readFile(copy.destination), bytes) << c.what;
    EXPECT_EQ(testsupport::readFile(copy.source), bytes) << c.what;  // a copy, not a move
  }
}

TEST(ShellAdapterTest, FailedCopyReportsWhatTheShellSaid) {
  struct Case {
    const char* what;
    std::wstring source;
    std::wstring destination;
    std::wstring mustNotExist;
    bool aborted;
  };
  const Case cases[] = {
      {"missing source", L"nothing-here.txt", L"target\\nothing-here.txt",
       L"target\\nothing-here.txt", false},
      // The shell treats a target without a file name as cancelled and says so in the structure.
      {"no file name after a missing folder", L"shot.txt", L"absent\\", L"absent\\shot.txt", true},
  };
  testsupport::TempDir dir(L"shell-copy-fails");
  ASSERT_TRUE(testsupport::makeFile(dir / L"shot.txt", "x"));
  ASSERT_TRUE(CreateDirectoryW((dir / L"target").c_str(), nullptr));
  win32::Win32Shell shell;
  for (const Case& c : cases) {
    const platform::FileCopyResult result =
        shell.copyFile(copyOf(dir / c.source, dir / c.destination));

    EXPECT_NE(result.code, 0) << c.what;
    EXPECT_EQ(result.aborted, c.aborted) << c.what;
    EXPECT_EQ(testsupport::readFile(dir / c.mustNotExist), std::nullopt) << c.what;
  }
}

}  // namespace
