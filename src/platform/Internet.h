#pragma once
#include <cstdint>
#include <string>

#include "util/Status.h"

namespace platform {

// The system's URL download and Internet cache services.
class Internet {
 public:
  virtual ~Internet() = default;
  // Downloads synchronously into the file; a failure carries the HRESULT as its code.
  virtual util::Status downloadToFile(const std::wstring& url, const std::wstring& file) = 0;

  // Cache groups. False when the platform does not provide the group functions.
  virtual bool cacheGroupsSupported() = 0;
  // The first group of all groups; returns a find handle (0 when none) and sets the group id.
  virtual std::uintptr_t findFirstCacheGroup(std::int64_t& groupId) = 0;
  virtual bool findNextCacheGroup(std::uintptr_t find, std::int64_t& groupId) = 0;
  // A failure carries the system's last error.
  virtual util::Status deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) = 0;

  // Cache entries of the whole cache; the find calls are told that the buffer holds bufferSize
  // bytes. Returns a find handle (0 when none) and sets the entry's source URL.
  virtual std::uintptr_t findFirstCacheEntry(std::wstring& sourceUrl, std::uint32_t bufferSize) = 0;
  virtual bool findNextCacheEntry(std::uintptr_t find, std::wstring& sourceUrl,
                                  std::uint32_t bufferSize) = 0;
  virtual util::Status deleteCacheEntry(const std::wstring& sourceUrl) = 0;
  virtual void closeFind(std::uintptr_t find) = 0;

  // The system's last error after the previous call.
  virtual std::uint32_t lastError() = 0;
};

// A find handle of the cache, closed once when it goes; 0 (nothing found) is never closed.
class CacheFind {
 public:
  CacheFind(Internet& net, std::uintptr_t find) : net_(net), find_(find) {}
  ~CacheFind() {
    if (find_ != 0)
      net_.closeFind(find_);
  }
  CacheFind(const CacheFind&) = delete;
  CacheFind& operator=(const CacheFind&) = delete;
  [[nodiscard]] std::uintptr_t get() const { return find_; }
  explicit operator bool() const { return find_ != 0; }

 private:
  Internet& net_;
  std::uintptr_t find_;
};

}  // namespace platform
