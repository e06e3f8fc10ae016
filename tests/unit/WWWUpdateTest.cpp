#include <gtest/gtest.h>

#include <algorithm>

#include "app/Form1.h"
#include "app/Server.h"
#include "shell/WWWUpdate.h"
#include "support/Fakes.h"

namespace {

const std::string kUpdaterBytes = "MZ updater";

using Calls = std::vector<std::wstring>;

std::vector<std::wstring> sortedPaths(const fake::FakeFileSystem& fs) {
  auto paths = fs.allPaths();
  std::sort(paths.begin(), paths.end());
  return paths;
}

// The server answers with the updater's bytes, written where the download was asked to go.
void serveUpdater(fake::TestPlatform& t) {
  t.internet.onDownload = [&t](const std::wstring&, const std::wstring& file) {
    return static_cast<std::int32_t>(t.fileSystem.writeFile(file, kUpdaterBytes));
  };
}

TEST(WWWUpdateTest, UpdateStartsTheUpdaterAndEndsTheProgramWithoutStoringItsPosition) {
  enum class Server { Serves, Refuses, AnswersWithoutFile };
  struct Case {
    const char* what;
    std::wstring programDir;
    bool updaterPresent;
    Server server;
    bool startSucceeds;
    std::size_t downloads;
    std::optional<int> status;  // nothing: the program goes on running
    std::wstring box;
  };
  const std::wstring failed = L"C:\\Tools\\Update.exe\r\rDownload Fehlgeschlagen / Download failed";
  const Case cases[] = {
      {"updater present", L"C:\\Tools", true, Server::Refuses, true, 0, 1, L""},
      {"updater downloaded first", L"C:\\Tools", false, Server::Serves, true, 1, 1, L""},
      {"no connection", L"C:\\Tools", false, Server::Refuses, true, 1, std::nullopt, failed},
      {"download reports success but leaves nothing", L"C:\\Tools", false,
       Server::AnswersWithoutFile, true, 1, std::nullopt, failed},
      {"updater does not start", L"C:\\Tools", true, Server::Refuses, false, 0, std::nullopt,
       L"C:\\Tools\\Update.exe\r\rDas Update konnte nicht gestartet werden / The updater could "
       L"not be started"},
      {"program in a folder with blanks", L"C:\\Program Files\\Brimlo", true, Server::Refuses, true,
       0, 1, L""},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    Form1 form(t.platform);
    t.process.programDir = c.programDir;
    t.process.startSucceeds = c.startSucceeds;
    t.fileSystem.addDirectory(c.programDir);
    const std::wstring updater = c.programDir + L"\\Update.exe";
    if (c.updaterPresent)
      t.fileSystem.addFile(updater, kUpdaterBytes);
    if (c.server == Server::Serves)
      serveUpdater(t);
    if (c.server == Server::AnswersWithoutFile)
      t.internet.onDownload = [](const std::wstring&, const std::wstring&) { return 0; };

    const auto status = fake::exitStatusOf([&] { form.UpdateBtn.userClick(); });

    EXPECT_EQ(status, c.status) << c.what;
    // Nothing quoted, no blank between a marker and its value: the updater splits at the markers.
    const std::wstring command = updater + L" [URL]" + server::Address() +
                                 L"/BrimloSite/Brimlo.exe [PATH]" + c.programDir + L"\\Brimlo.exe";
    const bool startTried = c.updaterPresent || c.server == Server::Serves;
    ASSERT_EQ(t.process.started.size(), startTried ? 1u : 0u) << c.what;
    if (startTried) {
      EXPECT_EQ(t.process.started[0].commandLine, command) << c.what;
      EXPECT_EQ(t.process.started[0].showState, 1) << c.what;
    }
    ASSERT_EQ(t.internet.downloads.size(), c.downloads) << c.what;
    if (c.downloads) {
      EXPECT_EQ(t.internet.downloads[0], server::Address() + L"/Update.exe -> " + updater)
          << c.what;
    }
    EXPECT_EQ(t.fileSystem.contents(updater),
              startTried ? std::optional<std::string>(kUpdaterBytes) : std::nullopt)
        << c.what;
    EXPECT_EQ(t.process.currentDir, c.programDir) << c.what;
    // The updater takes over at once: the window's place is not stored on this way out.
    EXPECT_EQ(t.settings.writes, 0) << c.what;
    if (c.box.empty()) {
      EXPECT_TRUE(t.dialogs.shown.empty()) << c.what;
    } else {
      ASSERT_EQ(t.dialogs.shown.size(), 1u) << c.what;
      EXPECT_EQ(t.dialogs.shown[0].text, c.box) << c.what;
      EXPECT_EQ(t.dialogs.shown[0].style, platform::box::kOkOnly) << c.what;
      EXPECT_EQ(t.dialogs.shown[0].title, platform::kProgramTitle) << c.what;
    }
  }
}

TEST(WWWUpdateTest, URLDownloadNamesTheFileInsideADirectoryTargetAndReportsFailure) {
  struct Case {
    const char* what;
    std::wstring address, target;
    std::wstring file;        // "" for a failure
    std::wstring downloaded;  // "" when nothing may be downloaded
  };
  const std::wstring exe = L"https://brimlo.example/BrimloSite/Brimlo.exe";
  const Case cases[] = {
      {"file target", exe, L"C:\\Downloads\\new.exe", L"C:\\Downloads\\new.exe",
       exe + L" -> C:\\Downloads\\new.exe"},
      {"directory", exe, L"C:\\Downloads", L"C:\\Downloads\\Brimlo.exe",
       exe + L" -> C:\\Downloads\\Brimlo.exe"},
      {"directory with its separator", exe, L"C:\\Downloads\\", L"C:\\Downloads\\Brimlo.exe",
       exe + L" -> C:\\Downloads\\Brimlo.exe"},
      {"quoted address and directory", L"\"" + exe + L"\"", L"\"C:\\Downloads\"",
       L"C:\\Downloads\\Brimlo.exe", exe + L" -> C:\\Downloads\\Brimlo.exe"},
      {"quoted file target", exe, L"\"C:\\My Files\\x.exe\"", L"C:\\My Files\\x.exe",
       exe + L" -> C:\\My Files\\x.exe"},
      {"address without a path into a directory", L"Brimlo.exe", L"C:\\Downloads", L"", L""},
      {"download fails", exe, L"C:\\Nowhere\\x.exe", L"", exe + L" -> C:\\Nowhere\\x.exe"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    t.fileSystem.addDirectory(L"C:\\Downloads");
    t.fileSystem.addDirectory(L"C:\\My Files");
    serveUpdater(t);
    // The shell knows a directory but has no program for it.
    t.shell.scriptedLookups.push_back({platform::kFindExecutableNoAssociation, L""});

    EXPECT_EQ(WWWUpdate::URLDownload(t.platform, c.address, c.target), c.file) << c.what;

    EXPECT_EQ(t.internet.downloads, c.downloaded.empty() ? Calls{} : Calls{c.downloaded}) << c.what;
    if (!c.file.empty()) {
      EXPECT_EQ(t.fileSystem.contents(c.file), kUpdaterBytes) << c.what;
    }
    EXPECT_TRUE(t.dialogs.shown.empty()) << c.what;
  }
}

TEST(WWWUpdateTest, EachDownloadEmptiesTheCacheFirstAndLetsTheWindowRepaint) {
  fake::TestPlatform t;
  serveUpdater(t);
  t.internet.entries = {L"https://brimlo.example/Update.exe"};
  t.process.onPendingMessages = [&t] { t.internet.calls.push_back(L"repaint"); };

  WWWUpdate::URLDownload(t.platform, L"https://brimlo.example/Update.exe", L"C:\\Update.exe");

  // A stale copy in the cache would otherwise be handed back instead of the server's file.
  const Calls calls = {L"findFirstGroup",
                       L"findFirstEntry 2048",
                       L"deleteEntry https://brimlo.example/Update.exe",
                       L"findNextEntry 2048",
                       L"closeEntries",
                       L"repaint",
                       L"download"};
  EXPECT_EQ(t.internet.calls, calls);
}

TEST(WWWUpdateTest, ClearURLCacheEmptiesGroupsThenEntries) {
  struct Case {
    const char* what;
    bool groupsSupported = true;
    std::vector<std::int64_t> groups = {};
    std::vector<std::wstring> entries = {};
    bool failGroupDelete = false;
    std::uint32_t groupListEnd = 2;
    std::uint32_t entryListEnd = 259;
    Calls calls = {};
    std::vector<std::wstring> boxes = {};
  };
  const Calls twoEntries = {L"findFirstEntry 2048", L"deleteEntry http://a/1",
                            L"findNextEntry 2048",  L"deleteEntry http://a/2",
                            L"findNextEntry 2048",  L"closeEntries"};
  auto then = [](Calls first, const Calls& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
  };
  const Case cases[] = {
      {.what = "no groups",
       .entries = {L"http://a/1", L"http://a/2"},
       .calls = then({L"findFirstGroup"}, twoEntries)},
      {.what = "groups not provided by the system",
       .groupsSupported = false,
       .groups = {7},
       .entries = {L"http://a/1", L"http://a/2"},
       .calls = twoEntries},
      {.what = "two groups, empty cache",
       .groups = {7, 9},
       .calls = {L"findFirstGroup", L"deleteGroup 7 2", L"findNextGroup", L"deleteGroup 9 2",
                 L"findNextGroup", L"closeGroups", L"findFirstEntry 2048"}},
      {.what = "group that cannot be deleted",
       .groups = {7, 9},
       .entries = {L"http://a/1"},
       .failGroupDelete = true,
       .calls = {L"findFirstGroup", L"deleteGroup 7 2", L"closeGroups"},
       .boxes = {L"Error deleting cache group 5"}},
      {.what = "group list breaks off",
       .groups = {7},
       .groupListEnd = 6,
       .calls = {L"findFirstGroup", L"deleteGroup 7 2", L"findNextGroup", L"closeGroups",
                 L"findFirstEntry 2048"},
       .boxes = {L"Error finding next url cache group! - 6"}},
      {.what = "entry list breaks off",
       .entries = {L"http://a/1", L"http://a/2"},
       .entryListEnd = 12,
       .calls = then({L"findFirstGroup"}, twoEntries)},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    t.internet.groupsSupported = c.groupsSupported;
    t.internet.groups = c.groups;
    t.internet.entries = c.entries;
    t.internet.failGroupDelete = c.failGroupDelete;
    t.internet.groupListEnd = c.groupListEnd;
    t.internet.entryListEnd = c.entryListEnd;

    WWWUpdate::ClearURLCache(t.platform);

    EXPECT_EQ(t.internet.calls, c.calls) << c.what;
    std::vector<std::wstring> boxes;
    for (const auto& box : t.dialogs.shown) {
      boxes.push_back(box.text);
      EXPECT_EQ(box.style, platform::box::kOkOnly) << c.what;
      EXPECT_EQ(box.title, platform::kProgramTitle) << c.what;
    }
    EXPECT_EQ(boxes, c.boxes) << c.what;
  }
}

TEST(WWWUpdateTest, HomepageLinkOpensTheSiteOnceAndLeavesNoProbePage) {
  struct Case {
    const char* what;
    bool browserKnown;
    std::size_t started;
  };
  const Case cases[] = {{"browser found", true, 1}, {"no browser", false, 0}};
  for (const Case& c : cases) {
    fake::TestPlatform t;
    Form1 form(t.platform);
    if (!c.browserKnown)
      t.shell.associations.erase(L".html");
    const auto before = sortedPaths(t.fileSystem);

    form.wwwBtn.userClick();

    EXPECT_FALSE(form.wwwBtn.visible()) << c.what;
    ASSERT_EQ(t.process.started.size(), c.started) << c.what;
    if (c.started) {
      EXPECT_EQ(t.process.started[0].commandLine,
                L"C:\\Windows\\winebrowser.exe " + server::Address() + L"/BrimloSite")
          << c.what;
      EXPECT_EQ(t.process.started[0].showState, 1) << c.what;
    }
    EXPECT_FALSE(t.fileSystem.exists(L"C:\\WexX00001.html")) << c.what;
    EXPECT_EQ(sortedPaths(t.fileSystem), before) << c.what;
  }
}

}  // namespace
