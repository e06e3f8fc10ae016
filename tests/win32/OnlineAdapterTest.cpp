#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <algorithm>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"
#include "shell/WWWUpdate.h"

namespace {

using testsupport::readFile;
using testsupport::TempDir;
using Root = platform::ShellRegistry::Root;

constexpr std::uint32_t kEntryBufferSize = 2048;  // what the program tells the cache calls

std::optional<std::wstring> environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  if (length == 0 || length >= 1024)
    return std::nullopt;
  return std::wstring(buffer, length);
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every byte value, then a length no single read or buffer of the download would cover.
std::string binaryPayload() {
  std::string bytes;
  for (int i = 0; i < 70000; ++i)
    bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
  return bytes;
}

// The real platform, with the message boxes recorded instead of shown: a box nobody answers
// would stop the run.
class RecordingDialogs : public platform::Dialogs {
 public:
  int messageBox(const std::wstring& text, int, const std::wstring&) override {
    shown.push_back(text);
    return platform::answer::kOk;
  }
  std::vector<std::wstring> shown;
};

struct QuietPlatform {
  win32::RealPlatform real;
  RecordingDialogs dialogs;
  platform::Platform platform{dialogs,      real.process,   real.settings,   real.screen,
                              real.clock,   real.clipboard, real.fileSystem, real.window,
                              real.shell,   real.gdiplus,   real.codepage,   real.shellRegistry,
                              real.internet};
};

// --- The context-menu entry ---------------------------------------------------------------

class ShellRegistryAdapterTest : public testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"*\\shell\\" + caption).c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (L"*\\shell\\" + caption).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\*\\shell\\" + caption).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Classes\\*\\shell\\" + caption).c_str());
  }
  const std::wstring caption = L"Brimlo adapter test " + std::to_wstring(GetCurrentProcessId());
  win32::Win32ShellRegistry registry;
};

TEST_F(ShellRegistryAdapterTest, CommandReadsBackAsTheKeysDefaultText) {
  struct Case {
    const char* what;
    Root root;
    HKEY hive;
    const wchar_t* prefix;
  };
  const Case cases[] = {
      {"all users", Root::ClassesRoot, HKEY_CLASSES_ROOT, L""},
      {"this user", Root::CurrentUserClasses, HKEY_CURRENT_USER, L"Software\\Classes\\"},
  };
  // The second value is shorter: a rewrite must not leave the end of the first behind.
  const std::wstring values[] = {
      L"\"C:\\Users\\J\u00f6rg\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\"
      L"Brimlo.exe\" %1",
      L"\"C:\\Program Files\\Brimlo\\Brimlo.exe\" %1",
  };
  const std::wstring subkey = L"*\\shell\\" + caption + L"\\command";
  for (const Case& c : cases) {
    for (const std::wstring& value : values) {
      SCOPED_TRACE(testing::Message() << c.what);
      ASSERT_EQ(registry.setDefaultValue(c.root, subkey, value), 0u);

      wchar_t text[512] = {};
      DWORD type = 0;
      DWORD bytes = sizeof(text);
      ASSERT_EQ(RegGetValueW(c.hive, (c.prefix + subkey).c_str(), nullptr, RRF_RT_ANY, &type, text,
                             &bytes),
                ERROR_SUCCESS);
      // Explorer runs a REG_SZ command as it stands; any other type is not a command.
      EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
      EXPECT_EQ(std::wstring(text), value);
      EXPECT_EQ(bytes, (value.size() + 1) * sizeof(wchar_t));
    }
  }
}

TEST_F(ShellRegistryAdapterTest, RefusedKeyGivesTheSystemsErrorCode) {
  // A key name of more than 255 characters cannot be created anywhere.
  const std::wstring subkey = L"*\\shell\\" + caption + std::wstring(300, L'x') + L"\\command";
  EXPECT_NE(registry.setDefaultValue(Root::CurrentUserClasses, subkey, L"x %1"), 0u);
}

// --- Downloads from the loopback server ---------------------------------------------------

// Needs online_adapters.sh, which serves a directory on 127.0.0.1 and names it and the ports.
class DownloadAdapterTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto port = environment(L"BRIMLO_TEST_HTTP_PORT");
    const auto root = environment(L"BRIMLO_TEST_HTTP_ROOT");
    const auto refused = environment(L"BRIMLO_TEST_REFUSED_PORT");
    if (!port || !root || !refused)
      GTEST_SKIP() << "no loopback server: run through online_adapters.sh";
    server = L"http://127.0.0.1:" + *port;
    served = *root;
    refusedServer = L"http://127.0.0.1:" + *refused;
  }
  // Puts a file on the server; its address.
  std::wstring publish(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = served + L"\\" + name;
    EXPECT_TRUE(testsupport::makeFile(path, bytes)) << "cannot write into the served directory";
    published.push_back(path);
    return server + L"/" + name;
  }
  void TearDown() override {
    for (const auto& path : published)
      DeleteFileW(path.c_str());
  }
  std::wstring server, served, refusedServer;
  std::vector<std::wstring> published;
  const std::wstring unique = std::to_wstring(GetCurrentProcessId());
};

TEST_F(DownloadAdapterTest, FileArrivesByteForByte) {
  const std::string bytes = binaryPayload();
  const std::wstring url = publish(L"payload-" + unique + L".bin", bytes);
  TempDir dir(L"download");
  win32::Win32Internet internet;

  EXPECT_EQ(internet.downloadToFile(url, dir / L"Update.exe"), 0);
  EXPECT_EQ(readFile(dir / L"Update.exe"), bytes);
}

TEST_F(DownloadAdapterTest, DirectoryTargetGetsTheAddressesFileName) {
  const std::string bytes = "MZ the newest updater";
  const std::wstring name = L"Update-" + unique + L".exe";
  const std::wstring url = publish(name, bytes);
  TempDir dir(L"download dir");
  struct Case {
    const char* what;
    std::wstring address, target;
  };
  const Case cases[] = {
      {"directory", url, dir.path()},
      {"directory with its separator", url, dir.path() + L"\\"},
      {"quoted", L"\"" + url + L"\"", L"\"" + dir.path() + L"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QuietPlatform p;
    DeleteFileW((dir / name).c_str());

    EXPECT_EQ(WWWUpdate::URLDownload(p.platform, c.address, c.target), dir / name);
    EXPECT_EQ(readFile(dir / name), bytes);
    EXPECT_TRUE(p.dialogs.shown.empty());
  }
}

TEST_F(DownloadAdapterTest, RefusedConnectionFailsAndWritesNothing) {
  TempDir dir(L"refused");
  win32::Win32Internet internet;
  const std::int32_t result = internet.downloadToFile(refusedServer + L"/Update.exe", dir / L"a");
  EXPECT_LT(result, 0) << std::hex << result;  // a failure HRESULT
  EXPECT_FALSE(exists(dir / L"a"));

  QuietPlatform p;
  EXPECT_EQ(WWWUpdate::URLDownload(p.platform, refusedServer + L"/Update.exe", dir.path()), L"");
  EXPECT_FALSE(exists(dir / L"Update.exe"));
  EXPECT_TRUE(p.dialogs.shown.empty());
}

// --- The Internet cache -------------------------------------------------------------------

// Puts an entry for the address into the cache, as a download through it would.
bool cacheEntry(const std::wstring& url) {
  wchar_t file[MAX_PATH + 1] = {};
  if (!CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0))
    return false;
  if (!testsupport::makeFile(file, "cached"))
    return false;
  const FILETIME never = {};
  return CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0,
                              nullptr, nullptr) != FALSE;
}

// Every source URL the adapter lists, and the error that ended the list.
std::vector<std::wstring> listedEntries(win32::Win32Internet& internet, std::uint32_t* end) {
  std::vector<std::wstring> urls;
  std::wstring url;
  const std::uintptr_t find = internet.findFirstCacheEntry(url, kEntryBufferSize);
  if (find == 0) {
    *end = internet.lastError();
    return urls;
  }
  do {
    urls.push_back(url);
  } while (internet.findNextCacheEntry(find, url, kEntryBufferSize) && urls.size() < 100000);
  *end = internet.lastError();
  internet.closeFind(find);
  return urls;
}

bool contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST(CacheAdapterTest, EntriesAreListedByTheirAddressAndDeleted) {
  const std::wstring base = L"http://cache.brimlo.test/" + std::to_wstring(GetCurrentProcessId());
  const std::wstring first = base + L"/Update.exe", second = base + L"/BrimloSite/Brimlo.exe";
  ASSERT_TRUE(cacheEntry(first));
  ASSERT_TRUE(cacheEntry(second));
  win32::Win32Internet internet;
  std::uint32_t end = 0;

  auto listed = listedEntries(internet, &end);
  EXPECT_TRUE(contains(listed, first));
  EXPECT_TRUE(contains(listed, second));
  // The program goes on until exactly this error: any other would end it early.
  EXPECT_EQ(end, static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));

  EXPECT_TRUE(internet.deleteCacheEntry(first));
  listed = listedEntries(internet, &end);
  EXPECT_FALSE(contains(listed, first));
  EXPECT_TRUE(contains(listed, second));
  EXPECT_TRUE(internet.deleteCacheEntry(second));
}

TEST(CacheAdapterTest, ClearingTheCacheRemovesEveryEntryWithoutAMessage) {
  const std::wstring base = L"http://clear.brimlo.test/" + std::to_wstring(GetCurrentProcessId());
  for (const wchar_t* name : {L"/a", L"/b", L"/c"})
    ASSERT_TRUE(cacheEntry(base + name));
  QuietPlatform p;
  // Without the group functions an old update could stay in a group's keeping.
  EXPECT_TRUE(p.real.internet.cacheGroupsSupported());

  WWWUpdate::ClearURLCache(p.platform);

  std::uint32_t end = 0;
  const auto listed = listedEntries(p.real.internet, &end);
  for (const wchar_t* name : {L"/a", L"/b", L"/c"})
    EXPECT_FALSE(contains(listed, base + name)) << "still cached: /" << name;
  EXPECT_TRUE(p.dialogs.shown.empty());
}

}  // namespace
