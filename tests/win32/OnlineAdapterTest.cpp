#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <algorithm>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"
#include "shell/WWWUpdate.h"

namespace {

using Root = platform::ShellRegistry::Root;

constexpr std::uint32_t kEntryBufferSize = 2048;  // what the program tells the cache calls

// --- The context-menu entry ---------------------------------------------------------------

class ShellRegistryAdapterTest : public testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"*\\shell\\" + caption).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\*\\shell\\" + caption).c_str());
  }
  const std::wstring caption = L"Brimlo adapter test " + std::to_wstring(GetCurrentProcessId());
  win32::Win32ShellRegistry registry;
};

TEST_F(ShellRegistryAdapterTest, CommandReadsBackAsTheKeysDefaultTextOrGivesTheError) {
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
  // A refused key gives the system's error code: a key name of more than 255 characters cannot
  // be created anywhere.
  EXPECT_NE(registry.setDefaultValue(
                Root::CurrentUserClasses,
                L"*\\shell\\" + caption + std::wstring(300, L'x') + L"\\command", L"x %1"),
            0u);
}

// --- The Internet cache -------------------------------------------------------------------

// Puts an entry for the address into the cache, as a download through it would.
bool cacheEntry(const std::wstring& url) {
  wchar_t file[MAX_PATH + 1] = {};
  if (!CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0) ||
      !testsupport::makeFile(file, "cached")) {
    return false;
  }
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

TEST(CacheAdapterTest, EntriesAreListedByTheirAddressDeletedAndAllCleared) {
  const std::wstring base = L"http://cache.brimlo.test/" + std::to_wstring(GetCurrentProcessId());
  const std::wstring urls[] = {base + L"/Update.exe", base + L"/BrimloSite/Brimlo.exe",
                               base + L"/c"};
  for (const std::wstring& url : urls)
    ASSERT_TRUE(cacheEntry(url));
  win32::RealPlatform real;
  std::uint32_t end = 0;
  std::vector<std::wstring> listed = listedEntries(real.internet, &end);
  const auto cached = [&](const std::wstring& url) {
    return std::find(listed.begin(), listed.end(), url) != listed.end();
  };
  EXPECT_TRUE(cached(urls[0]) && cached(urls[1]) && cached(urls[2]));
  // The program goes on until exactly this error: any other would end it early.
  EXPECT_EQ(end, static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));

  EXPECT_TRUE(real.internet.deleteCacheEntry(urls[0]).ok());
  listed = listedEntries(real.internet, &end);
  EXPECT_FALSE(cached(urls[0]));
  EXPECT_TRUE(cached(urls[1]));

  // Without the group functions an old update could stay in a group's keeping.
  EXPECT_TRUE(real.internet.cacheGroupsSupported());
  // The listing above leaves "no more items" as the last error: the clearing must not take it
  // for the end of its own list.
  EXPECT_TRUE(WWWUpdate::ClearURLCache(real.platform).ok());
  listed = listedEntries(real.internet, &end);
  EXPECT_FALSE(cached(urls[1]) || cached(urls[2]));
}

}  // namespace
