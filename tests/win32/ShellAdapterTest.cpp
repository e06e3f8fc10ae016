#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/win32/Adapters.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kCopyFlags = 0x310;  // no confirmations, simple progress window
const std::wstring kProgressTitle = L"Brimlo kopiert \u00c4rger.txt";

std::wstring lower(std::wstring s) {
  for (wchar_t& c : s)
    c = static_cast<wchar_t>(towlower(c));
  return s;
}

bool endsWithNoCase(const std::wstring& s, const std::wstring& end) {
  return s.size() >= end.size() && lower(s.substr(s.size() - end.size())) == lower(end);
}

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh directory under the user's temporary folder, removed with everything in it.
class ShellAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    dir_ = fs::path(temp) / (L"brimlo-shell-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount()));
    ASSERT_TRUE(fs::create_directories(dir_));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::wstring at(const std::wstring& relative) const { return (dir_ / relative).wstring(); }

  fs::path dir_;
  win32::Win32Shell shell_;
};

TEST_F(ShellAdapterTest, FindExecutableNamesTheAssociatedProgram) {
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
  for (const Case& c : cases) {
    const std::wstring path = at(c.name);
    if (c.create)
      writeBytes(path, "  \r\n");
    std::wstring program = L"left from before";

    const std::uint32_t code = shell_.findExecutable(path, program);

    if (c.code == 0) {
      EXPECT_GT(code, 32u) << path;
      EXPECT_TRUE(endsWithNoCase(program, c.programEnd)) << path << " -> " << program;
    } else {
      EXPECT_EQ(code, c.code) << path;
      EXPECT_EQ(program, L"") << path;
    }
  }
}

TEST_F(ShellAdapterTest, CopyPutsTheFileIntoItsTargetDirectory) {
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
  fs::create_directories(dir_ / L"target");
  for (const Case& c : cases) {
    const std::string bytes = std::string("content of ") + c.what + "\r\n";
    writeBytes(at(c.source), bytes);
    platform::FileCopy copy;
    copy.source = at(c.source);
    copy.destination = at(c.destination);
    copy.flags = kCopyFlags;
    copy.progressTitle = kProgressTitle;

    const platform::FileCopyResult result = shell_.copyFile(copy);

    EXPECT_EQ(result.code, 0) << c.what;
    EXPECT_FALSE(result.aborted) << c.what;
    EXPECT_EQ(readBytes(copy.destination), bytes) << c.what;
    EXPECT_EQ(readBytes(copy.source), bytes) << c.what;  // a copy, not a move
  }
}

TEST_F(ShellAdapterTest, FailedCopyReportsTheShellsCode) {
  struct Case {
    const char* what;
    std::wstring source;
    std::wstring destination;
    std::wstring mustNotExist;
  };
  const Case cases[] = {
      {"missing source", L"nothing-here.txt", L"target\\nothing-here.txt",
       L"target\\nothing-here.txt"},
      {"no file name after a missing folder", L"shot.txt", L"absent\\", L"absent\\shot.txt"},
  };
  writeBytes(at(L"shot.txt"), "x");
  fs::create_directories(dir_ / L"target");
  for (const Case& c : cases) {
    platform::FileCopy copy;
    copy.source = at(c.source);
    copy.destination = at(c.destination);
    copy.flags = kCopyFlags;
    copy.progressTitle = kProgressTitle;

    const platform::FileCopyResult result = shell_.copyFile(copy);

    EXPECT_NE(result.code, 0) << c.what;
    EXPECT_FALSE(fs::exists(at(c.mustNotExist))) << c.what;
  }
}

}  // namespace
