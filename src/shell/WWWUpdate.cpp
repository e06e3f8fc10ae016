#include "shell/WWWUpdate.h"

#include "save/SafeSave.h"
#include "shell/Server.h"
#include "shell/RunFile.h"
#include "util/Text.h"

namespace WWWUpdate {

namespace {

constexpr std::uint32_t kFlushUrlOnDelete = 2;  // the group's entries go with the group
constexpr std::uint32_t kNoMoreGroups = platform::error::kFileNotFound;  // the group list's end
constexpr std::uint32_t kEntryBufferSize = 2048;

// Removes the cache groups with their entries. A group that could not be removed leaves the
// cache in a state the program does not touch further (stop).
util::Status clearCacheGroups(const platform::Platform& p, bool& stop) {
  platform::Internet& net = p.internet;
  std::int64_t group = 0;
  const platform::CacheFind find(net, net.findFirstCacheGroup(group));
  if (!find) {
    return {};
  }
  for (;;) {
    if (const auto deleted = net.deleteCacheGroup(group, kFlushUrlOnDelete); !deleted.ok()) {
      stop = true;
      return {deleted.code(), L"Error deleting cache group " + std::to_wstring(deleted.code())};
    }
    // Only a failed search has an error of its own: after one that found a group, the system's
    // last error may be left over from an earlier call and would end the clean-up too soon.
    if (!net.findNextCacheGroup(find.get(), group)) {
      const std::uint32_t error = net.lastError();
      if (error != kNoMoreGroups)
        return {error, L"Error finding next url cache group! - " + std::to_wstring(error)};
      return {};
    }
  }
}

void clearCacheEntries(const platform::Platform& p) {
  platform::Internet& net = p.internet;
  std::wstring url;
  const platform::CacheFind find(net, net.findFirstCacheEntry(url, kEntryBufferSize));
  if (!find) {
    return;
  }
  for (;;) {
    // An entry in use stays; the next download then still asks the server when it is stale.
    (void)net.deleteCacheEntry(url);
    // The end of the list, or any other failure, ends it; a found entry goes on (whatever last
    // error an earlier call left behind).
    if (!net.findNextCacheEntry(find.get(), url, kEntryBufferSize))
      break;
  }
}

}  // namespace

std::wstring HomepageAddress() {
  return server::Address() + L"/BrimloSite";
}

std::wstring UpdaterAddress() {
  return server::Address() + L"/Update.exe";
}

std::wstring NewestVersionAddress() {
  return server::Address() + L"/BrimloSite/Brimlo.exe";
}

util::Status RunUpdate(const platform::Platform& p, const std::wstring& newVersionUrl,
                       const std::wstring& ownExePath, const std::wstring& updaterPath,
                       const std::wstring& updaterUrl, const Warn& warn) {
  // An updater already there is used as it is.
  bool downloaded = false;
  if (p.fileSystem.findPlainFile(updaterPath) != platform::Lookup::Found) {
    downloaded = true;
    p.process.processPendingMessages();
    // Whatever the download says, the updater is there or not.
    (void)URLDownload(p, updaterUrl, updaterPath, warn);
    if (p.fileSystem.findPlainFile(updaterPath) != platform::Lookup::Found)
      return {platform::error::kFileNotFound,
              updaterPath + L"\r\rDownload Fehlgeschlagen / Download failed"};
  }
  // The updater reads each value up to the next marker: no quotes, no blank after a marker.
  const std::wstring arguments = L"[URL]" + newVersionUrl + L" [PATH]" + ownExePath;
  if (RunFile::StartProgram(p, updaterPath, arguments, platform::kShowNormal) == 0) {
    if (downloaded) {
      // What the server sent is no program (an error page, say): the next try fetches it again
      // rather than starting the same file for ever.
      (void)p.fileSystem.deleteFile(updaterPath);  // the message is the same either way
    }
    return {util::Status::kNoCode, updaterPath +
                                       L"\r\rDas Update konnte nicht gestartet werden "
                                       L"/ The updater could not be started"};
  }
  // The updater replaces the program's file, which it cannot while the program runs. Nothing
  // was saved, so the run ends as one that saved nothing.
  p.process.exit(platform::exitcode::kOther);
}

std::wstring URLDownload(const platform::Platform& p, const std::wstring& address,
                         const std::wstring& target, const Warn& warn) {
  const std::wstring url = text::withoutQuotes(address);
  const std::wstring destination = text::withoutQuotes(target);
  std::wstring file = destination;
  if (DownloadTargetExists(p, destination) &&
      p.fileSystem.attributes(destination) == platform::attr::kDirectory) {
    const auto slash = url.rfind(L'/');
    if (slash == std::wstring::npos) {
      return std::wstring();
    }
    file = CombinePath(destination, url.substr(slash + 1));
  }
  if (const auto cleared = ClearURLCache(p); !cleared.ok())
    warn(cleared);
  p.process.processPendingMessages();
  // Into a new file next to the target, which takes the target's place only once the download
  // is complete: a broken download neither becomes the file nor destroys one that was there.
  const util::Status saved =
      SafeSave::ReplaceSafely(p.fileSystem, file, [&](const std::wstring& temporary) {
        // The download makes the file itself, so that one that reports success without writing
        // anything leaves no file and fails at the swap. A name that stays taken is written over
        // by the download.
        (void)p.fileSystem.deleteFile(temporary);
        return p.internet.downloadToFile(url, temporary);
      });
  return saved.ok() ? file : std::wstring();
}

std::wstring CombinePath(const std::wstring& dir, const std::wstring& name) {
  if (dir.empty()) {
    return name;
  }
  return dir.back() == L'\\' ? dir + name : dir + L"\\" + name;
}

bool DownloadTargetExists(const platform::Platform& p, const std::wstring& path) {
  std::wstring program;
  return p.shell.findExecutable(path, program).code() != platform::kFindExecutableFileNotFound;
}

util::Status ClearURLCache(const platform::Platform& p) {
  // Systems without cache groups still have the entries.
  bool stop = false;
  util::Status groups;
  if (p.internet.cacheGroupsSupported())
    groups = clearCacheGroups(p, stop);
  if (!stop)
    clearCacheEntries(p);
  return groups;
}

}  // namespace WWWUpdate
