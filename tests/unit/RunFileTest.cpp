#include <gtest/gtest.h>

#include "shell/RunFile.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

const std::wstring kNotepad = L"C:\\Windows\\notepad.exe";
const std::wstring kBrowser = L"C:\\Windows\\winebrowser.exe";
const std::wstring kHtmProgram = L"C:\\Programs\\Editor\\htmedit.exe";
const std::wstring kTemp = L"C:\\Users\\Me\\Temp\\";

// A machine with a document folder, a hidden file in it, a type the test adds itself, and drive
// roots that a standard user cannot write; the disks as they were before the test's step.
struct Machine : fake::TestPlatform {
  explicit Machine(const std::wstring& usersTempFile = L"") {
    fileSystem.addFile(L"C:\\docs\\a.txt", "hello");
    fileSystem.addFile(L"C:\\docs\\hidden.txt", "secret", platform::attr::kHidden);
    fileSystem.addDrive(L'D');
    if (!usersTempFile.empty())
      fileSystem.addFile(usersTempFile, "mine");
    fileSystem.writeFault = [](const std::wstring& path) {
      return path.find(L'\\') == path.rfind(L'\\') ? platform::error::kAccessDenied : 0;
    };
    shell.associations[L".htm"] = kHtmProgram;
    before = fileSystem.allPaths();
    usersFile = usersTempFile;
  }
  // The disks and the current directory are as they were: nothing left behind or emptied.
  void expectUnchanged() const {
    EXPECT_EQ(fileSystem.allPaths(), before);
    EXPECT_EQ(fileSystem.contents(L"C:\\docs\\a.txt"), "hello");
    EXPECT_EQ(fileSystem.contents(L"C:\\docs\\hidden.txt"), "secret");
    if (!usersFile.empty()) {
      EXPECT_EQ(fileSystem.contents(usersFile), "mine");
    }
    EXPECT_EQ(process.currentDir, L"C:\\Data\\Shots");
  }
  std::vector<std::wstring> before;
  std::wstring usersFile;
};

TEST(RunFileTest, FindsTheProgramAndLeavesTheDisksAsTheyWere) {
  struct Case {
    std::wstring name;
    std::wstring program;
    std::wstring usersFile = L"";  // a file of the user's in the temporary directory
  };
  const std::wstring z = kTemp + L"zzzzzzzTemp_";
  const Case cases[] = {
      {L"C:\\docs\\a.txt", kNotepad},
      {L"C:\\docs\\new.txt", kNotepad},  // a folder that exists
      {L"C:\\nodir\\x.txt", kNotepad},
      // A file of the user's is never written over: the next free name, the type kept.
      {L"C:\\nodir\\x.txt", kNotepad, z + L"x.txt"},
      {L"C:\\nodir\\README", L"", kTemp + L"RunFileTmpREADME"},
      {L"C:\\docs\\hidden.txt", kNotepad},
      {L"*.htm", kHtmProgram},  // a pattern for a type
      {L"C:\\docs\\*.htm", kHtmProgram},
      {L"http://host/dir/page.html", kBrowser},
      {L"C:\\docs\\README", L""},
      {L"C:\\docs\\a.xyz", L""},  // unknown type
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::toUtf8(c.name + L" " + c.usersFile));
    Machine m(c.usersFile);
    EXPECT_EQ(RunFile::FindProgramForFile(m.platform, c.name), c.program);
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
    std::wstring browser;  // "" for none
    bool startSucceeds;
    std::optional<std::uint32_t> id;
    std::wstring command;  // before the address
    std::wstring usersFile = L"";
  };
  const std::wstring spaced = L"C:\\Program Files\\Web Browser\\browser.exe";
  const Case cases[] = {
      {kBrowser, true, 4242u, kBrowser},
      {spaced, true, 4242u, L"\"" + spaced + L"\""},  // never "C:\Program.exe"
      {kBrowser, true, 4242u, kBrowser, kTemp + L"WexX00001.html"},
      {L"", true, std::nullopt, L""},             // no browser
      {kBrowser, false, std::nullopt, kBrowser},  // the browser does not start
  };
  const std::wstring address = L"https://brimlo.example/help?page=1&lang=de";
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Machine m(c.usersFile);
    m.process.startSucceeds = c.startSucceeds;
    m.shell.associations[L".html"] = c.browser;

    EXPECT_EQ(RunFile::OpenURLInBrowser(m.platform, address, 3), c.id);

    const fake::FakeProcess::Starts started{{c.command + L" " + address, 3, c.browser}};
    EXPECT_EQ(m.process.started, c.browser.empty() ? fake::FakeProcess::Starts{} : started);
    m.expectUnchanged();
  }
}

}  // namespace
