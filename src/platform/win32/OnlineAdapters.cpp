// The ports to Explorer's menu entries in the registry and to the system's download and
// Internet cache services.
#include "platform/win32/Adapters.h"

#include <urlmon.h>
#include <wininet.h>

#include <vector>

#include "platform/win32/Handles.h"

namespace win32 {

namespace {

// The cache-group functions, looked up at run time: a system without them still runs the
// program, which then leaves the groups alone.
struct CacheGroupFunctions {
  decltype(&::FindFirstUrlCacheGroup) findFirst = nullptr;
  decltype(&::FindNextUrlCacheGroup) findNext = nullptr;
  decltype(&::DeleteUrlCacheGroup) remove = nullptr;
  [[nodiscard]] bool available() const { return findFirst && findNext && remove; }
};

const CacheGroupFunctions& cacheGroupFunctions() {
  static const CacheGroupFunctions functions = [] {
    // The program links WinINet, so the module is loaded already; this only looks it up.
    constexpr const wchar_t* kWininet = L"wininet.dll";
    CacheGroupFunctions f;
    f.findFirst = systemFunction<decltype(f.findFirst)>(kWininet, "FindFirstUrlCacheGroup");
    f.findNext = systemFunction<decltype(f.findNext)>(kWininet, "FindNextUrlCacheGroup");
    f.remove = systemFunction<decltype(f.remove)>(kWininet, "DeleteUrlCacheGroup");
    return f;
  }();
  return functions;
}

// Room for one cache entry: the structure followed by the texts it points to. The find calls are
// told a smaller size than this, so they never write past the end.
class CacheEntryBuffer {
 public:
  CacheEntryBuffer()
      : storage_((sizeof(INTERNET_CACHE_ENTRY_INFOW) + kTextRoom) / sizeof(std::uint64_t) + 1) {
    info()->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOW);
  }
  INTERNET_CACHE_ENTRY_INFOW* info() {
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(storage_.data());
  }
  std::wstring sourceUrl() {
    const wchar_t* url = info()->lpszSourceUrlName;
    return url ? url : L"";
  }

 private:
  static constexpr std::size_t kTextRoom = 4100;
  std::vector<std::uint64_t> storage_;  // 8-byte units keep the structure aligned
};

// The callers ask for the last error after the find call: what the adapter does after it (copying
// the URL, freeing the buffer) must not change it. Declared first, restored last.
class LastErrorKeeper {
 public:
  void keep() { error_ = GetLastError(); }
  ~LastErrorKeeper() { SetLastError(error_); }

 private:
  DWORD error_ = ERROR_SUCCESS;
};

// The shipping 32-bit program hands the cache calls an 80-byte structure.
#if !defined(_WIN64)
static_assert(sizeof(INTERNET_CACHE_ENTRY_INFOW) == 80);
#endif

}  // namespace

util::Status Win32ShellRegistry::setDefaultValue(Root root, const std::wstring& subkey,
                                                 const std::wstring& value) {
  const bool machine = root == Root::ClassesRoot;
  const std::wstring path = machine ? subkey : L"Software\\Classes\\" + subkey;
  UniqueKey key;
  const LSTATUS opened =
      RegCreateKeyExW(machine ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (opened != ERROR_SUCCESS) {
    return static_cast<std::uint32_t>(opened);
  }
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return static_cast<std::uint32_t>(RegSetValueExW(
      key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

util::Status Win32Internet::downloadToFile(const std::wstring& url, const std::wstring& file) {
  // Anything but S_OK is a failure, its HRESULT the code.
  return static_cast<std::uint32_t>(
      URLDownloadToFileW(nullptr, url.c_str(), file.c_str(), 0, nullptr));
}

bool Win32Internet::cacheGroupsSupported() {
  return cacheGroupFunctions().available();
}

std::uintptr_t Win32Internet::findFirstCacheGroup(std::int64_t& groupId) {
  const auto& f = cacheGroupFunctions();
  if (!f.available()) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  GROUPID id = 0;
  const HANDLE find = f.findFirst(0, CACHEGROUP_SEARCH_ALL, nullptr, 0, &id, nullptr);
  groupId = id;
  return reinterpret_cast<std::uintptr_t>(find);
}

bool Win32Internet::findNextCacheGroup(std::uintptr_t find, std::int64_t& groupId) {
  const auto& f = cacheGroupFunctions();
  if (!f.available()) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  GROUPID id = 0;
  const BOOL found = f.findNext(reinterpret_cast<HANDLE>(find), &id, nullptr);
  groupId = id;
  return found != FALSE;
}

util::Status Win32Internet::deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) {
  const auto& f = cacheGroupFunctions();
  if (!f.available())
    return ERROR_CALL_NOT_IMPLEMENTED;
  return f.remove(groupId, flags, nullptr) ? 0 : lastErrorOr(ERROR_ACCESS_DENIED);
}

std::uintptr_t Win32Internet::findFirstCacheEntry(std::wstring& sourceUrl,
                                                  std::uint32_t bufferSize) {
  LastErrorKeeper lastError;
  CacheEntryBuffer buffer;
  DWORD size = bufferSize;
  const HANDLE find = FindFirstUrlCacheEntryW(nullptr, buffer.info(), &size);
  lastError.keep();
  if (find != nullptr) {
    sourceUrl = buffer.sourceUrl();
  }
  return reinterpret_cast<std::uintptr_t>(find);
}

bool Win32Internet::findNextCacheEntry(std::uintptr_t find, std::wstring& sourceUrl,
                                       std::uint32_t bufferSize) {
  LastErrorKeeper lastError;
  CacheEntryBuffer buffer;
  DWORD size = bufferSize;
  const BOOL found = FindNextUrlCacheEntryW(reinterpret_cast<HANDLE>(find), buffer.info(), &size);
  lastError.keep();
  if (found) {
    sourceUrl = buffer.sourceUrl();
  }
  return found != FALSE;
}

util::Status Win32Internet::deleteCacheEntry(const std::wstring& sourceUrl) {
  return DeleteUrlCacheEntryW(sourceUrl.c_str()) ? 0 : lastErrorOr(ERROR_ACCESS_DENIED);
}

void Win32Internet::closeFind(std::uintptr_t find) {
  FindCloseUrlCache(reinterpret_cast<HANDLE>(find));
}

std::uint32_t Win32Internet::lastError() {
  return GetLastError();
}

}  // namespace win32
