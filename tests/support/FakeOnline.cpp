#include "support/Fakes.h"

namespace fake {

namespace {
constexpr std::uintptr_t kGroupFind = 0x6001;
constexpr std::uintptr_t kEntryFind = 0x7001;
}  // namespace

util::Status FakeShellRegistry::setDefaultValue(Root root, const std::wstring& subkey,
                                                const std::wstring& value) {
  ++writes;
  const bool machine = root == Root::ClassesRoot;
  if (const auto e = machine ? classesRootError : currentUserError)
    return e;
  values[(machine ? L"HKCR\\" : L"HKCU\\Software\\Classes\\") + subkey] = value;
  return 0;
}

util::Status FakeInternet::downloadToFile(const std::wstring& url, const std::wstring& file) {
  calls.push_back(L"download");
  downloads.push_back(url + L" -> " + file);
  // Without an answer: the connection is refused.
  return static_cast<std::uint32_t>(onDownload ? onDownload(url, file) : 0x800C0008);
}

template <class T>
bool FakeInternet::next(const std::vector<T>& list, std::size_t& at, T& item, std::uint32_t end) {
  error = at < list.size() ? 0 : end;
  if (at < list.size())
    item = list[at++];
  return error == 0;
}

std::uintptr_t FakeInternet::findFirstCacheGroup(std::int64_t& groupId) {
  calls.push_back(L"findFirstGroup");
  return next(groups, nextGroup_ = 0, groupId, 2) ? kGroupFind : 0;
}

bool FakeInternet::findNextCacheGroup(std::uintptr_t, std::int64_t& groupId) {
  calls.push_back(L"findNextGroup");
  return next(groups, nextGroup_, groupId, groupListEnd);
}

util::Status FakeInternet::deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) {
  calls.push_back(L"deleteGroup " + std::to_wstring(groupId) + L" " + std::to_wstring(flags));
  return failGroupDelete ? 5 : 0;
}

std::uintptr_t FakeInternet::findFirstCacheEntry(std::wstring& sourceUrl, std::uint32_t size) {
  calls.push_back(L"findFirstEntry " + std::to_wstring(size));
  return next(entries, nextEntry_ = 0, sourceUrl, 259) ? kEntryFind : 0;
}

bool FakeInternet::findNextCacheEntry(std::uintptr_t, std::wstring& sourceUrl, std::uint32_t size) {
  calls.push_back(L"findNextEntry " + std::to_wstring(size));
  return next(entries, nextEntry_, sourceUrl, entryListEnd);
}

util::Status FakeInternet::deleteCacheEntry(const std::wstring& sourceUrl) {
  calls.push_back(L"deleteEntry " + sourceUrl);
  return {};
}

void FakeInternet::closeFind(std::uintptr_t find) {
  calls.push_back(find == kGroupFind   ? L"closeGroups"
                  : find == kEntryFind ? L"closeEntries"
                                       : L"close unknown handle");
}

}  // namespace fake
