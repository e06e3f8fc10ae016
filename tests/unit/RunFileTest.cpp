#include <gtest/gtest.h>

#include "shell/RunFile.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using Texts = std::vector<std::wstring>;
const std::wstring kNotepad = L"C:\\Windows\\notepad.exe";
const std::wstring kBrowser = L"C:\\Windows\\winebrowser.exe";
const std::wstring kHtmProgram = L"C:\\Programs\\Editor\\htmedit.exe";

// A machine with a document folder, a hidden file in it and a type the test adds itself; the
// disks as they were before the test's step.
struct Machine : fake::TestPlatform {
  Machine() {
    fileSystem.addFile(L"C:\\docs\\a.txt", "hello");
    fileSystem.addFile(L"C:\\docs\\hidden.txt", "secret", platform::attr::kHidden);
    fileSystem.addDrive(L'D');
    shell.associations[L".htm"] = kHtmProgram;
    before = fileSystem.allPaths();
  }
  // The disks and the current directory are as they were: nothing left behind or emptied.
  void expectUnchanged() const {
    EXPECT_EQ(fileSystem.allPaths(), before);
    EXPECT_EQ(fileSystem.contents(L"C:\\docs\\a.txt"), "hello");
    EXPECT_EQ(fileSystem.contents(L"C:\\docs\\hidden.txt"), "secret");
    EXPECT_EQ(process.currentDir, L"C:\\Data\\Shots");
  }
  Texts before;
};

TEST(RunFileTest, FindsTheProgramAndLeavesTheDisksAsTheyWere) {
  struct Case {
    std::wstring name;
    std::wstring program;
    Texts lookups;                           // every file the shell was asked about, in order
    std::wstring programDir = L"C:\\Tools";  // its drive takes the temporary files
  };
  const std::wstring apps = L"D:\\Apps\\Brimlo";
  const Case cases[] = {
      {L"C:\\docs\\a.txt", kNotepad, {L"C:\\docs\\a.txt"}},
      {L"C:\\docs\\new.txt", kNotepad, {L"C:\\docs\\new.txt"}},  // a folder that exists
      {L"C:\\nodir\\x.txt", kNotepad, {L"C:\\zzzzzzzTemp_x.txt"}},
      {L"C:\\nodir\\x.txt", kNotepad, {L"D:\\zzzzzzzTemp_x.txt"}, apps},
      {L"C:\\nodir\\README", L"", {L"D:\\zzzzzzzTemp_README", L"D:\\RunFileTmpREADME"}, apps},
      {L"C:\\docs\\hidden.txt", kNotepad, {L"C:\\zzzzzzzTemp_hidden.txt"}},
      {L"*.htm", kHtmProgram, {L"C:\\zzzzzzzTemp_.htm"}},  // a pattern for a type
      {L"C:\\docs\\*.htm", kHtmProgram, {L"C:\\zzzzzzzTemp_.htm"}},
      {L"http://host/dir/page.html", kBrowser, {L"C:\\zzzzzzzTemp_page.html"}},
      {L"C:\\docs\\README", L"", {L"C:\\docs\\README", L"C:\\RunFileTmpREADME"}},
      {L"C:\\docs\\a.xyz", L"", {L"C:\\docs\\a.xyz", L"C:\\RunFileTmp.xyz"}},  // unknown type
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::toUtf8(c.name));
    Machine m;
    m.process.programDir = c.programDir;
    EXPECT_EQ(RunFile::FindProgramForFile(m.platform, c.name), c.program);
    EXPECT_EQ(m.shell.lookups, c.lookups);
    EXPECT_TRUE(m.dialogs.shown.empty());
    m.expectUnchanged();
  }
}

TEST(RunFileTest, InvalidCharacterAsksWhetherToCancel) {
  // Yes cancels; No goes on: the full name cannot be a file, its type still finds the program.
  for (const auto& [answer, program] :
       {std::pair{platform::answer::kYes, std::optional<std::wstring>()},
        std::pair{platform::answer::kNo, std::optional(kNotepad)}}) {
    Machine m;
    // A file the pattern would match: it must survive whatever the user answers.
    m.fileSystem.addFile(L"C:\\docs\\aXb.txt", "mine");
    m.before = m.fileSystem.allPaths();
    m.dialogs.answers = {answer};
    EXPECT_EQ(RunFile::FindProgramForFile(m.platform, L"C:\\docs\\a*b.txt"), program);
    EXPECT_EQ(m.dialogs.shown,
              (fake::Boxes{{L"a*b.txtEnth\u00e4lt ung\u00fcltige Zeichen Abbrechen?",
                            platform::box::kYesNo}}));
    EXPECT_EQ(m.fileSystem.contents(L"C:\\docs\\aXb.txt"), "mine");
    m.expectUnchanged();
  }
}

TEST(RunFileTest, TemporaryFileThatCannotBeWrittenIsSkippedAndKept) {
  Machine m;
  // Another program holds a file of the temporary's name open.
  m.fileSystem.addFile(L"C:\\zzzzzzzTemp_x.txt", "in use");
  m.fileSystem.locked.insert(fake::FakeFileSystem::key(L"C:\\zzzzzzzTemp_x.txt"));
  EXPECT_EQ(RunFile::FindProgramForFile(m.platform, L"C:\\nodir\\x.txt"), kNotepad);
  EXPECT_EQ(m.shell.lookups, Texts{L"C:\\RunFileTmp.txt"});
  EXPECT_EQ(m.fileSystem.contents(L"C:\\zzzzzzzTemp_x.txt"), "in use");
  EXPECT_FALSE(m.fileSystem.exists(L"C:\\RunFileTmp.txt"));
}

TEST(RunFileTest, GetExecutableTrustsOnlyTheShellsSuccessCodes) {
  const std::pair<std::uint32_t, std::wstring> cases[] = {
      {42, kNotepad},
      {33, kNotepad},  // the lowest success code
      {32, L""},
  };
  for (const auto& [code, program] : cases) {
    fake::TestPlatform t;
    // The shell leaves a text in the buffer whatever its code.
    t.shell.scriptedLookups.push_back({code, kNotepad});
    EXPECT_EQ(RunFile::GetExecutable(t.platform, L"C:\\docs\\a.txt"), program) << code;
  }
}

TEST(RunFileTest, OpenURLInBrowserStartsTheBrowserAndRemovesItsProbePage) {
  struct Case {
    std::wstring programDir;
    bool browserKnown;
    bool startSucceeds;
    std::optional<std::uint32_t> id;
  };
  const Case cases[] = {
      {L"C:\\Tools", true, true, 4242u},
      {L"D:\\Apps", true, true, 4242u},
      {L"C:\\Tools", false, true, std::nullopt},  // no browser
      {L"C:\\Tools", true, false, std::nullopt},  // the browser does not start
  };
  const std::wstring address = L"https://brimlo.example/help?page=1&lang=de";
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Machine m;
    m.process.programDir = c.programDir;
    m.process.startSucceeds = c.startSucceeds;
    if (!c.browserKnown)
      m.shell.associations.erase(L".html");

    EXPECT_EQ(RunFile::OpenURLInBrowser(m.platform, address, 3), c.id);

    ASSERT_EQ(m.process.started.size(), c.browserKnown ? 1u : 0u);
    if (c.browserKnown) {
      EXPECT_EQ(m.process.started[0].commandLine, kBrowser + L" " + address);
    }
    ASSERT_FALSE(m.shell.lookups.empty());
    EXPECT_EQ(m.shell.lookups[0], c.programDir.substr(0, 2) + L"\\WexX00001.html");
    m.expectUnchanged();
  }
}

}  // namespace
