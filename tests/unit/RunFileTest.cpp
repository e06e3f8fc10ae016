#include <gtest/gtest.h>

#include <algorithm>

#include "shell/RunFile.h"
#include "support/Fakes.h"

namespace {

const std::wstring kNotepad = L"C:\\Windows\\notepad.exe";
const std::wstring kBrowser = L"C:\\Windows\\winebrowser.exe";
const std::wstring kHtmProgram = L"C:\\Programs\\Editor\\htmedit.exe";
const std::wstring kStartDirectory = L"C:\\Data\\Shots";

std::vector<std::wstring> sortedPaths(const fake::FakeFileSystem& fs) {
  auto paths = fs.allPaths();
  std::sort(paths.begin(), paths.end());
  return paths;
}

// A machine with a document folder, a hidden file in it and a type the test adds itself.
void prepare(fake::TestPlatform& t) {
  t.fileSystem.addFile(L"C:\\docs\\a.txt", "hello");
  t.fileSystem.addFile(L"C:\\docs\\hidden.txt", "secret", platform::attr::kHidden);
  t.shell.associations[L".htm"] = kHtmProgram;
  t.process.currentDir = kStartDirectory;
}

TEST(RunFileTest, FindsTheProgramAndLeavesTheDisksAsTheyWere) {
  struct Case {
    const char* what;
    std::wstring name;
    std::wstring program;
    std::vector<std::wstring> lookups;  // every file the shell was asked about, in order
  };
  const Case cases[] = {
      {"existing file", L"C:\\docs\\a.txt", kNotepad, {L"C:\\docs\\a.txt"}},
      {"missing file in an existing folder",
       L"C:\\docs\\new.txt",
       kNotepad,
       {L"C:\\docs\\new.txt"}},
      {"folder that does not exist", L"C:\\nodir\\x.txt", kNotepad, {L"C:\\zzzzzzzTemp_x.txt"}},
      {"hidden file is not emptied or removed",
       L"C:\\docs\\hidden.txt",
       kNotepad,
       {L"C:\\zzzzzzzTemp_hidden.txt"}},
      {"pattern for a type", L"*.htm", kHtmProgram, {L"C:\\zzzzzzzTemp_.htm"}},
      {"pattern inside a folder", L"C:\\docs\\*.htm", kHtmProgram, {L"C:\\zzzzzzzTemp_.htm"}},
      {"web address", L"http://host/dir/page.html", kBrowser, {L"C:\\zzzzzzzTemp_page.html"}},
      {"name without a type",
       L"C:\\docs\\README",
       L"",
       {L"C:\\docs\\README", L"C:\\RunFileTmpREADME"}},
      {"unknown type", L"C:\\docs\\a.xyz", L"", {L"C:\\docs\\a.xyz", L"C:\\RunFileTmp.xyz"}},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    prepare(t);
    const auto before = sortedPaths(t.fileSystem);

    const auto program = RunFile::FindProgramForFile(t.platform, c.name);

    ASSERT_TRUE(program.has_value()) << c.what;
    EXPECT_EQ(*program, c.program) << c.what;
    EXPECT_EQ(t.shell.lookups, c.lookups) << c.what;
    EXPECT_EQ(sortedPaths(t.fileSystem), before) << c.what;
    EXPECT_EQ(t.fileSystem.contents(L"C:\\docs\\a.txt"), "hello") << c.what;
    EXPECT_EQ(t.fileSystem.contents(L"C:\\docs\\hidden.txt"), "secret") << c.what;
    EXPECT_TRUE(t.dialogs.shown.empty()) << c.what;
    EXPECT_EQ(t.process.currentDir, kStartDirectory) << c.what;
  }
}

TEST(RunFileTest, InvalidCharacterAsksWhetherToCancel) {
  struct Case {
    const char* what;
    int answer;
    std::optional<std::wstring> program;
  };
  const Case cases[] = {
      {"cancelled", platform::answer::kYes, std::nullopt},
      // The full name cannot be a file; its type still finds the program.
      {"go on", platform::answer::kNo, kNotepad},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    prepare(t);
    // A file the pattern would match: it must survive whatever the user answers.
    t.fileSystem.addFile(L"C:\\docs\\aXb.txt", "mine");
    const auto before = sortedPaths(t.fileSystem);
    t.dialogs.answers = {c.answer};

    const auto program = RunFile::FindProgramForFile(t.platform, L"C:\\docs\\a*b.txt");

    EXPECT_EQ(program, c.program) << c.what;
    ASSERT_EQ(t.dialogs.shown.size(), 1u) << c.what;
    EXPECT_EQ(t.dialogs.shown[0].text, L"a*b.txtEnth\u00e4lt ung\u00fcltige Zeichen Abbrechen?")
        << c.what;
    EXPECT_EQ(t.dialogs.shown[0].style, platform::box::kYesNo) << c.what;
    EXPECT_EQ(t.dialogs.shown[0].title, platform::kProgramTitle) << c.what;
    EXPECT_EQ(sortedPaths(t.fileSystem), before) << c.what;
    EXPECT_EQ(t.fileSystem.contents(L"C:\\docs\\aXb.txt"), "mine") << c.what;
    EXPECT_EQ(t.process.currentDir, kStartDirectory) << c.what;
  }
}

TEST(RunFileTest, TemporaryFilesGoToTheProgramsDrive) {
  fake::TestPlatform t;
  prepare(t);
  t.fileSystem.addDrive(L'D');
  t.process.programDir = L"D:\\Apps\\Brimlo";
  const auto before = sortedPaths(t.fileSystem);

  EXPECT_EQ(RunFile::FindProgramForFile(t.platform, L"C:\\nodir\\x.txt"), kNotepad);
  EXPECT_EQ(RunFile::FindProgramForFile(t.platform, L"C:\\nodir\\README"), L"");

  const std::vector<std::wstring> lookups = {L"D:\\zzzzzzzTemp_x.txt", L"D:\\zzzzzzzTemp_README",
                                             L"D:\\RunFileTmpREADME"};
  EXPECT_EQ(t.shell.lookups, lookups);
  EXPECT_EQ(sortedPaths(t.fileSystem), before);
  EXPECT_EQ(t.process.currentDir, kStartDirectory);
}

TEST(RunFileTest, TemporaryFileThatCannotBeWrittenIsSkippedAndKept) {
  fake::TestPlatform t;
  prepare(t);
  // Another program holds a file of the temporary's name open.
  t.fileSystem.addFile(L"C:\\zzzzzzzTemp_x.txt", "in use");
  t.fileSystem.locked.insert(fake::FakeFileSystem::key(L"C:\\zzzzzzzTemp_x.txt"));

  EXPECT_EQ(RunFile::FindProgramForFile(t.platform, L"C:\\nodir\\x.txt"), kNotepad);
  EXPECT_EQ(t.shell.lookups, std::vector<std::wstring>{L"C:\\RunFileTmp.txt"});
  EXPECT_EQ(t.fileSystem.contents(L"C:\\zzzzzzzTemp_x.txt"), "in use");
  EXPECT_FALSE(t.fileSystem.exists(L"C:\\RunFileTmp.txt"));
}

TEST(RunFileTest, GetExecutableTrustsOnlyTheShellsSuccessCodes) {
  struct Case {
    std::uint32_t code;
    std::wstring left;  // what the shell put into the buffer
    std::wstring program;
  };
  const Case cases[] = {
      {42, kNotepad, kNotepad},
      {33, kNotepad, kNotepad},  // the lowest success code
      {32, L"C:\\garbage", L""},
      {platform::kFindExecutableNoAssociation, L"C:\\garbage", L""},
      {platform::kFindExecutableFileNotFound, L"C:\\garbage", L""},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    t.shell.scriptedLookups.push_back({c.code, c.left});
    EXPECT_EQ(RunFile::GetExecutable(t.platform, L"C:\\docs\\a.txt"), c.program) << c.code;
  }
}

TEST(RunFileTest, OpenURLInBrowserStartsTheBrowserAndRemovesItsProbePage) {
  struct Case {
    const char* what;
    std::wstring programDir;
    bool browserKnown;
    bool startSucceeds;
    std::optional<std::uint32_t> id;
    std::vector<std::wstring> started;
  };
  const std::wstring address = L"https://brimlo.example/help?page=1&lang=de";
  const std::wstring command = kBrowser + L" " + address;
  const Case cases[] = {
      {"browser found", L"C:\\Tools", true, true, 4242u, {command}},
      {"program on drive D", L"D:\\Apps", true, true, 4242u, {command}},
      {"no browser", L"C:\\Tools", false, true, std::nullopt, {}},
      {"browser does not start", L"C:\\Tools", true, false, std::nullopt, {command}},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    prepare(t);
    t.fileSystem.addDrive(L'D');
    t.process.programDir = c.programDir;
    t.process.startSucceeds = c.startSucceeds;
    if (!c.browserKnown)
      t.shell.associations.erase(L".html");
    const auto before = sortedPaths(t.fileSystem);

    const auto id = RunFile::OpenURLInBrowser(t.platform, address, 3);

    EXPECT_EQ(id, c.id) << c.what;
    ASSERT_EQ(t.process.started.size(), c.started.size()) << c.what;
    for (std::size_t i = 0; i < c.started.size(); ++i) {
      EXPECT_EQ(t.process.started[i].commandLine, c.started[i]) << c.what;
      EXPECT_EQ(t.process.started[i].showState, 3) << c.what;
    }
    const std::wstring probe = c.programDir.substr(0, 2) + L"\\WexX00001.html";
    ASSERT_FALSE(t.shell.lookups.empty()) << c.what;
    EXPECT_EQ(t.shell.lookups[0], probe) << c.what;
    EXPECT_EQ(sortedPaths(t.fileSystem), before) << c.what;
    EXPECT_EQ(t.process.currentDir, kStartDirectory) << c.what;
  }
}

}  // namespace
