#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"
#include "save/SafeSave.h"

namespace {

using platform::Lookup;
using testsupport::makeFile;
using testsupport::readFile;
using testsupport::TempDir;

class FileSystemTest : public testing::Test {
 protected:
  TempDir dir{L"files"};
  win32::Win32FileSystem files;
};

TEST_F(FileSystemTest, OnlyVisibleFilesOfThatExactNameAreFound) {
  for (const wchar_t* folder : {L"shots", L"onlyhidden", L"empty"}) {
    ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
  }
  ASSERT_TRUE(makeFile(dir / L"plain.txt", "abc"));
  ASSERT_TRUE(makeFile(dir / L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(makeFile(dir / L"system.txt", "s", FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(makeFile(dir / L"shots\\Στιγμιότυπο 1.jpg", "jpg"));
  ASSERT_TRUE(makeFile(dir / L"onlyhidden\\h.txt", "h", FILE_ATTRIBUTE_HIDDEN));

  struct Case {
    const wchar_t* name;
    std::optional<DWORD> attributeBit;  // nothing: no such file
    Lookup lookup;
    Lookup anyFile;  // hidden and system files count too
  };
  const Case cases[] = {
      {L"plain.txt", 0, Lookup::Found, Lookup::Found},
      {L"PLAIN.TXT", 0, Lookup::Found, Lookup::Found},
      {L"hidden.txt", FILE_ATTRIBUTE_HIDDEN, Lookup::NotFound, Lookup::Found},
      {L"system.txt", FILE_ATTRIBUTE_SYSTEM, Lookup::NotFound, Lookup::Found},
      {L"shots", FILE_ATTRIBUTE_DIRECTORY, Lookup::NotFound, Lookup::NotFound},
      {L"shots\\", FILE_ATTRIBUTE_DIRECTORY, Lookup::Found, Lookup::NotFound},
      {L"shots/", FILE_ATTRIBUTE_DIRECTORY, Lookup::Found, Lookup::NotFound},
      {L"onlyhidden\\", FILE_ATTRIBUTE_DIRECTORY, Lookup::NotFound, Lookup::NotFound},
      {L"empty\\", FILE_ATTRIBUTE_DIRECTORY, Lookup::NotFound, Lookup::NotFound},
      {L"pl*n.txt", std::nullopt, Lookup::Failed, Lookup::Failed},
      {L"plai?.txt", std::nullopt, Lookup::Failed, Lookup::Failed},
      {L"shots\\*", std::nullopt, Lookup::Failed, Lookup::Failed},
      {L"missing.txt", std::nullopt, Lookup::NotFound, Lookup::NotFound},
      {L"missing\\", std::nullopt, Lookup::NotFound, Lookup::NotFound},
      {L"missing\\plain.txt", std::nullopt, Lookup::NotFound, Lookup::NotFound},
      {L"a|b.txt", std::nullopt, Lookup::Failed, Lookup::Failed},
      {L"a:b.txt", std::nullopt, Lookup::Failed, Lookup::Failed},
      {L"a<b.txt", std::nullopt, Lookup::Failed, Lookup::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    const std::wstring path = dir / c.name;
    const auto attributes = files.attributes(path);
    EXPECT_EQ(attributes.has_value(), c.attributeBit.has_value());
    EXPECT_EQ(attributes.value_or(0) & c.attributeBit.value_or(0), c.attributeBit.value_or(0));
    EXPECT_EQ(files.findPlainFile(path), c.lookup);
    EXPECT_EQ(files.findFile(path), c.anyFile);
  }
  EXPECT_EQ(files.findPlainFile(L""), Lookup::NotFound);
  EXPECT_EQ(files.attributes(L""), std::nullopt);
  // What a failed copy is explained by: a source that cannot be read, the space left.
  std::uint64_t size = 0;
  EXPECT_EQ(files.openForReading(dir / L"plain.txt", size), 0u);
  EXPECT_EQ(size, 3u);
  const win32::UniqueHandle holder(CreateFileW((dir / L"plain.txt").c_str(), GENERIC_READ, 0,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(files.openForReading(dir / L"plain.txt", size),
            static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(files.openForReading(dir / L"missing.txt", size),
            static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_GT(files.freeSpace(dir.path()).value_or(0), 0u);
}

// The one road of every save, on the real file system: the new file replaces the old one only
// once complete, keeps its hidden and system marks, never touches a file it did not create, and
// leaves the old file whole when it cannot replace it.
TEST_F(FileSystemTest, SafeSaveReplacesTheOldFileOrLeavesItWhole) {
  const std::wstring longName = std::wstring(251, L'n') + L".txt";
  struct Case {
    const char* what;
    std::wstring name;
    DWORD attributes;  // of the old file; 0 for none
    bool keptOpen;     // by a viewer that does not let others delete it
    std::uint32_t result;
    // The new content arrives read-only, as Windows' shell copy of a read-only file does.
    DWORD written = FILE_ATTRIBUTE_NORMAL;
  };
  const Case cases[] = {
      {"no old file", L"new.txt", 0, false, 0},
      {"plain", L"shot.jpg", FILE_ATTRIBUTE_NORMAL, false, 0},
      {"hidden and system", L"shot.jpg", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false, 0},
      {"name of 255 characters", longName, FILE_ATTRIBUTE_NORMAL, false, 0},
      {"open in a viewer", L"shot.jpg", FILE_ATTRIBUTE_NORMAL, true, ERROR_SHARING_VIOLATION},
      {"read-only copy", L"shot.jpg", FILE_ATTRIBUTE_NORMAL, false, 0, FILE_ATTRIBUTE_READONLY},
      {"read-only copy, no old file", L"new.txt", 0, false, 0, FILE_ATTRIBUTE_READONLY},
  };
  // A file of the user's that has the name the first temporary would take.
  ASSERT_TRUE(makeFile(dir / L"~brimlo-0000.tmp", "mine"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring target = dir / c.name;
    if (c.attributes != 0) {
      ASSERT_TRUE(makeFile(target, "old picture", c.attributes));
    }
    win32::UniqueHandle viewer(c.keptOpen
                                   ? CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, 0, nullptr)
                                   : nullptr);
    const util::Status result =
        SafeSave::ReplaceSafely(files, target, [&](const std::wstring& temporary) {
          const util::Status error = files.writeFile(temporary, "new picture");
          return error != 0 ? error : files.setAttributes(temporary, c.written);
        });
    viewer.reset();
    // Windows says "sharing violation", Wine "access denied".
    EXPECT_TRUE(c.keptOpen ? result != 0 : result == c.result) << result.code();
    EXPECT_EQ(readFile(target), std::string(result == 0 ? "new picture" : "old picture"));
    if (result == 0) {
      const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
      EXPECT_EQ(files.attributes(target).value_or(0) & marks, c.attributes & marks);
      EXPECT_EQ(files.attributes(target).value_or(0) & FILE_ATTRIBUTE_READONLY,
                c.written & FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_EQ(readFile(dir / L"~brimlo-0000.tmp"), std::string("mine"));
    EXPECT_EQ(files.attributes(dir / L"~brimlo-0001.tmp"), std::nullopt);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(target.c_str());
  }
}

}  // namespace
