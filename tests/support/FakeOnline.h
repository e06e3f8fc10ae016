#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Internet.h"
#include "platform/ShellRegistry.h"

namespace fake {

class FakeShellRegistry : public platform::ShellRegistry {
 public:
  util::Status setDefaultValue(Root root, const std::wstring& subkey,
                               const std::wstring& value) override;
  // "HKCR\<subkey>" or "HKCU\Software\Classes\<subkey>" -> default value.
  std::map<std::wstring, std::wstring> values;
  std::uint32_t classesRootError = 0;  // e.g. 5 (access denied) without administrator rights
  std::uint32_t currentUserError = 0;
  int writes = 0;
};

// The Internet services: downloads answered by a function, a scripted cache.
class FakeInternet : public platform::Internet {
 public:
  util::Status downloadToFile(const std::wstring& url, const std::wstring& file) override;
  bool cacheGroupsSupported() override { return groupsSupported; }
  std::uintptr_t findFirstCacheGroup(std::int64_t& groupId) override;
  bool findNextCacheGroup(std::uintptr_t find, std::int64_t& groupId) override;
  util::Status deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) override;
  std::uintptr_t findFirstCacheEntry(std::wstring& sourceUrl, std::uint32_t bufferSize) override;
  bool findNextCacheEntry(std::uintptr_t find, std::wstring& sourceUrl,
                          std::uint32_t bufferSize) override;
  util::Status deleteCacheEntry(const std::wstring& sourceUrl) override;
  void closeFind(std::uintptr_t find) override;
  std::uint32_t lastError() override { return error; }

  // Answers a download (url, file) with an HRESULT; the default refuses (no network).
  std::function<std::int32_t(const std::wstring&, const std::wstring&)> onDownload;
  std::vector<std::wstring> downloads;
  bool groupsSupported = true;
  std::vector<std::int64_t> groups;
  std::vector<std::wstring> entries;
  bool failGroupDelete = false;
  // The error with which the next-group and next-entry calls fail at the end of their list;
  // anything but 2 (groups) or 259 (entries) stands for a broken cache.
  std::uint32_t groupListEnd = 2;
  std::uint32_t entryListEnd = 259;
  std::vector<std::wstring> calls;  // what was called, in order
  std::uint32_t error = 0;

 private:
  // Hands out the next item of a list, or fails with the given error at its end.
  template <class T>
  bool next(const std::vector<T>& list, std::size_t& at, T& item, std::uint32_t end);
  std::size_t nextGroup_ = 0;
  std::size_t nextEntry_ = 0;
};

}  // namespace fake
