#include "support/FakeOnline.h"

namespace fake {

namespace {
constexpr std::uint32_t kNoMoreFiles = 2;    // ERROR_FILE_NOT_FOUND: no more groups
constexpr std::uint32_t kNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS
constexpr std::int32_t kConnectionRefused = static_cast<std::int32_t>(0x800C0008);
}  // namespace

std::uint32_t FakeShellRegistry::setDefaultValue(Root root, const std::wstring& subkey,
                                                 const std::wstring& value) {
  ++writes;
  const bool machine = root == Root::ClassesRoot;
  if (const auto e = machine ? classesRootError : currentUserError)
    return e;
  values[(machine ? L"HKCR\\" : L"HKCU\\Software\\Classes\\") + subkey] = value;
  return 0;
}

std::int32_t FakeInternet::downloadToFile(const std::wstring& url, const std::wstring& file) {
  calls.push_back(L"download");
  downloads.push_back(url + L" -> " + file);
  return onDownload ? onDownload(url, file) : kConnectionRefused;
}

std::uintptr_t FakeInternet::findFirstCacheGroup(std::int64_t& groupId) {
  calls.push_back(L"findFirstGroup");
  nextGroup_ = 0;
  if (groups.empty()) {
    error = kNoMoreFiles;
    return 0;
  }
  groupId = groups[nextGroup_++];
  error = 0;
  return kGroupFind;
}

bool FakeInternet::findNextCacheGroup(std::uintptr_t, std::int64_t& groupId) {
  calls.push_back(L"findNextGroup");
  if (nextGroup_ >= groups.size()) {
    error = groupListEnd;
    return false;
  }
  groupId = groups[nextGroup_++];
  error = 0;
  return true;
}

bool FakeInternet::deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) {
  calls.push_back(L"deleteGroup " + std::to_wstring(groupId) + L" " + std::to_wstring(flags));
  if (failGroupDelete) {
    error = 5;
    return false;
  }
  return true;
}

std::uintptr_t FakeInternet::findFirstCacheEntry(std::wstring& sourceUrl,
                                                 std::uint32_t bufferSize) {
  calls.push_back(L"findFirstEntry " + std::to_wstring(bufferSize));
  nextEntry_ = 0;
  if (entries.empty()) {
    error = kNoMoreItems;
    return 0;
  }
  sourceUrl = entries[nextEntry_++];
  error = 0;
  return kEntryFind;
}

bool FakeInternet::findNextCacheEntry(std::uintptr_t, std::wstring& sourceUrl,
                                      std::uint32_t bufferSize) {
  calls.push_back(L"findNextEntry " + std::to_wstring(bufferSize));
  if (nextEntry_ >= entries.size()) {
    error = entryListEnd;
    return false;
  }
  sourceUrl = entries[nextEntry_++];
  error = 0;
  return true;
}

bool FakeInternet::deleteCacheEntry(const std::wstring& sourceUrl) {
  calls.push_back(L"deleteEntry " + sourceUrl);
  return true;
}

void FakeInternet::closeFind(std::uintptr_t find) {
  calls.push_back(find == kGroupFind   ? L"closeGroups"
                  : find == kEntryFind ? L"closeEntries"
                                       : L"close unknown handle");
}

}  // namespace fake
