#include <gtest/gtest.h>

#include "save/SafeSave.h"
#include "shell/Server.h"
#include "shell/WWWUpdate.h"
#include "support/Session.h"

namespace {

const std::string kUpdaterBytes = "MZ updater";
constexpr std::int32_t kDownloadFailure = static_cast<std::int32_t>(0x800C0008);

using Calls = std::vector<std::wstring>;
using Starts = fake::FakeProcess::Starts;
const WWWUpdate::Warn kNoWarning = [](const util::Status& s) { ADD_FAILURE() << s.code(); };

std::wstring joined(const Calls& calls) {
  std::wstring out;
  for (const std::wstring& c : calls)
    out += (out.empty() ? L"" : L", ") + c;
  return out;
}

// The server answers with the updater's bytes, written where the download was asked to go.
void serveUpdater(fake::TestPlatform& t) {
  t.internet.onDownload = [&t](const std::wstring&, const std::wstring& file) {
    return static_cast<std::int32_t>(t.fileSystem.writeFile(file, kUpdaterBytes).code());
  };
}

TEST(WWWUpdateTest, UpdateStartsTheUpdaterAndEndsTheProgramWithoutStoringItsPosition) {
  enum Server { kRefuses, kServes, kAnswersWithoutFile };
  struct Case {
    std::wstring programDir;
    bool updaterPresent;
    Server server;
    bool startSucceeds;
    std::optional<int> status;  // nothing: the program goes on running
    std::wstring box;
  };
  const std::wstring tools = L"C:\\Tools";
  const std::wstring failed = L"C:\\Tools\\Update.exe\r\rDownload Fehlgeschlagen / Download failed";
  const std::wstring notStarted =
      L"C:\\Tools\\Update.exe\r\rDas Update konnte nicht gestartet "
      L"werden / The updater could not be started";
  const Case cases[] = {
      // Handing over to the updater saves nothing: status 1.
      {tools, true, kRefuses, true, 1, L""},
      {tools, false, kServes, true, 1, L""},  // downloaded first
      {tools, false, kRefuses, true, std::nullopt, failed},
      {tools, false, kAnswersWithoutFile, true, std::nullopt, failed},
      {tools, true, kRefuses, false, std::nullopt, notStarted},
      {tools, false, kServes, false, std::nullopt, notStarted},  // served something, no program
      {L"C:\\Program Files\\Brimlo", true, kRefuses, true, 1, L""},
  };
  for (const Case& c : cases) {
    fake::Session s;
    fake::TestPlatform& t = s.t;
    t.process.programDir = c.programDir;
    t.process.startSucceeds = c.startSucceeds;
    t.fileSystem.addDirectory(c.programDir);
    const std::wstring updater = c.programDir + L"\\Update.exe";
    if (c.updaterPresent)
      t.fileSystem.addFile(updater, kUpdaterBytes);
    if (c.server == kServes)
      serveUpdater(t);
    if (c.server == kAnswersWithoutFile)
      t.internet.onDownload = [](const std::wstring&, const std::wstring&) { return 0; };
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);

    EXPECT_EQ(s.run([&] { s.form.UpdateBtn.userClick(); }), c.status);

    // Only the updater's path quoted, where it holds a blank; no blank between a marker and its
    // value: the updater splits at the markers.
    const std::wstring command = (c.programDir == tools ? updater : L"\"" + updater + L"\"") +
                                 L" [URL]" + server::Address() + L"/BrimloSite/Brimlo.exe [PATH]" +
                                 c.programDir + L"\\Brimlo.exe";
    const bool startTried = c.updaterPresent || c.server == kServes;
    EXPECT_EQ(t.process.started, (startTried ? Starts{{command, 1, updater}} : Starts{}));
    // Into a new file next to the updater's place, which it takes once complete.
    EXPECT_EQ(t.internet.downloads, c.updaterPresent
                                        ? Calls{}
                                        : Calls{server::Address() + L"/Update.exe -> " +
                                                c.programDir + L"\\~brimlo-0000.tmp"});
    // A downloaded updater that does not start goes again; one the user put there stays.
    const bool kept = c.updaterPresent || (c.server == kServes && c.startSucceeds);
    EXPECT_EQ(t.fileSystem.contents(updater), kept ? std::optional(kUpdaterBytes) : std::nullopt);
    EXPECT_EQ(t.process.currentDir, c.programDir);
    // The updater takes over at once: the window's place is not stored on this way out.
    EXPECT_EQ(t.settings.writes, 0);
    EXPECT_EQ(t.dialogs.shown,
              (c.box.empty() ? fake::Boxes{} : fake::Boxes{{c.box, platform::box::kOkOnly}}));
  }
}

TEST(WWWUpdateTest, URLDownloadNamesTheFileInsideADirectoryTargetAndReportsFailure) {
  struct Case {
    std::wstring address, target;
    std::wstring file;  // "" for a failure
    bool downloads = true;
    bool breaksOff = false;  // the server stops half-way: the download fails with part written
  };
  const std::wstring exe = L"https://brimlo.example/BrimloSite/Brimlo.exe";
  const Case cases[] = {
      {exe, L"C:\\Downloads\\new.exe", L"C:\\Downloads\\new.exe"},
      {exe, L"C:\\Downloads", L"C:\\Downloads\\Brimlo.exe"},
      {exe, L"C:\\Downloads\\", L"C:\\Downloads\\Brimlo.exe"},
      {L"\"" + exe + L"\"", L"\"C:\\Downloads\"", L"C:\\Downloads\\Brimlo.exe"},
      {exe, L"\"C:\\My Files\\x.exe\"", L"C:\\My Files\\x.exe"},
      {L"Brimlo.exe", L"C:\\Downloads", L"", false},  // no path to take a name from
      {exe, L"C:\\Nowhere\\x.exe", L"", false},       // no place to download to
      {exe, L"C:\\Downloads\\old.exe", L"", true, true},
      {exe, L"C:\\Downloads\\new.exe", L"", true, true},
  };
  for (const Case& c : cases) {
    fake::TestPlatform t;
    t.fileSystem.addDirectory(L"C:\\Downloads");
    t.fileSystem.addDirectory(L"C:\\My Files");
    t.fileSystem.addFile(L"C:\\Downloads\\old.exe", "MZ old");
    const auto before = t.fileSystem.allPaths();
    serveUpdater(t);
    if (c.breaksOff) {
      t.internet.onDownload = [&t](const std::wstring&, const std::wstring& file) {
        return t.fileSystem.writeFile(file, "MZ up") == 0 ? kDownloadFailure : 0;
      };
    }
    // The shell knows a directory but has no program for it.
    t.shell.scriptedLookups.push_back({platform::kFindExecutableNoAssociation, L""});

    EXPECT_EQ(WWWUpdate::URLDownload(t.platform, c.address, c.target, kNoWarning), c.file);

    const std::wstring file = c.file.empty() ? c.target : c.file;
    EXPECT_EQ(t.internet.downloads,
              c.downloads ? Calls{exe + L" -> " + SafeSave::TemporaryNameFor(file, 0)} : Calls{});
    if (!c.file.empty()) {
      EXPECT_EQ(t.fileSystem.contents(c.file), kUpdaterBytes);
    } else {
      // A broken download leaves what was there, and nothing of its own.
      EXPECT_EQ(t.fileSystem.allPaths(), before);
      EXPECT_EQ(t.fileSystem.contents(L"C:\\Downloads\\old.exe"), "MZ old");
    }
    EXPECT_TRUE(t.dialogs.shown.empty());
  }
}

TEST(WWWUpdateTest, EachDownloadEmptiesTheCacheFirstAndLetsTheWindowRepaint) {
  fake::TestPlatform t;
  serveUpdater(t);
  t.internet.entries = {L"https://brimlo.example/Update.exe"};
  t.process.onPendingMessages = [&t] { t.internet.calls.push_back(L"repaint"); };
  (void)WWWUpdate::URLDownload(t.platform, L"https://brimlo.example/Update.exe", L"C:\\Update.exe",
                               kNoWarning);
  // A stale copy in the cache would otherwise be handed back instead of the server's file.
  EXPECT_EQ(joined(t.internet.calls),
            L"findFirstGroup, findFirstEntry 2048, deleteEntry https://brimlo.example/Update.exe, "
            L"findNextEntry 2048, closeEntries, repaint, download");
}

TEST(WWWUpdateTest, ClearURLCacheEmptiesGroupsThenEntries) {
  struct Case {
    std::wstring calls;
    std::vector<std::int64_t> groups;
    std::vector<std::wstring> entries;
    bool groupsSupported = true, groupDeleteFails = false;
    std::uint32_t groupListEnd = 2, entryListEnd = 259;  // others than these break a list off
    std::wstring box = L"";
  };
  const std::vector<std::wstring> two = {L"http://a/1", L"http://a/2"};
  const std::wstring entries =
      L"findFirstEntry 2048, deleteEntry http://a/1, findNextEntry 2048, "
      L"deleteEntry http://a/2, findNextEntry 2048, closeEntries";
  const std::wstring group7 = L"findFirstGroup, deleteGroup 7 2, ";
  const std::wstring end = L"closeGroups, findFirstEntry 2048";
  const std::wstring broken = L"Error finding next url cache group! - 6";
  const Case cases[] = {
      {L"findFirstGroup, " + entries, {}, two},
      {entries, {7}, two, false},  // a system without cache groups
      {group7 + L"findNextGroup, deleteGroup 9 2, findNextGroup, " + end, {7, 9}, {}},
      {group7 + L"closeGroups", {7, 9}, two, true, true, 2, 259, L"Error deleting cache group 5"},
      {group7 + L"findNextGroup, " + end, {7}, {}, true, false, 6, 259, broken},
      {L"findFirstGroup, " + entries, {}, two, true, false, 2, 12},
  };
  for (const Case& c : cases) {
    fake::Session s;
    fake::FakeInternet& net = s.t.internet;
    net.groups = c.groups;
    net.entries = c.entries;
    net.groupListEnd = c.groupListEnd;
    net.entryListEnd = c.entryListEnd;
    net.groupsSupported = c.groupsSupported;
    net.failGroupDelete = c.groupDeleteFails;
    EXPECT_EQ(WWWUpdate::ClearURLCache(s.t.platform).text(), c.box);
    EXPECT_EQ(joined(net.calls), c.calls) << &c - cases;
  }
}

// Without a browser nothing starts and no probe page is left either (RunFileTest).
TEST(WWWUpdateTest, HomepageLinkOpensTheSiteOnceOrSaysThatNoBrowserStarted) {
  for (const bool browser : {true, false}) {
    fake::Session s;
    if (!browser)
      s.t.shell.associations.erase(L".html");
    const auto before = s.t.fileSystem.allPaths();
    const std::wstring address = server::Address() + L"/BrimloSite";
    s.form.wwwBtn.userClick();
    // Used once per run; without a browser it stays for another try.
    EXPECT_EQ(s.form.wwwBtn.visible(), !browser);
    const std::wstring program = L"C:\\Windows\\winebrowser.exe";
    EXPECT_EQ(s.t.process.started,
              (browser ? Starts{{program + L" " + address, 1, program}} : Starts{}));
    EXPECT_EQ(s.t.fileSystem.allPaths(), before);
    EXPECT_EQ(s.t.dialogs.shown,
              (browser ? fake::Boxes{}
                       : fake::Boxes{{L"No web browser could be started for:\r" + address,
                                      platform::box::kCritical}}));
  }
}

}  // namespace
