#pragma once
#include <functional>
#include <string>

#include "platform/Platform.h"
#include "util/Status.h"

// The program's home page and its online update: a separate updater program (Update.exe, kept
// next to the program and fetched from the server when missing) replaces the running program
// with the newest version once the program has ended.
namespace WWWUpdate {

// Tells the user of a failure that does not stop the step under way.
using Warn = std::function<void(const util::Status&)>;

// Addresses on the program's server.
std::wstring HomepageAddress();
std::wstring UpdaterAddress();
std::wstring NewestVersionAddress();

// Starts the updater (downloading it first when it is not there) with the newest version's
// address and the path of the program to replace, then ends the program (status 1: nothing was
// saved), since the updater cannot replace a running program. Returns only when the updater
// could not be fetched or started, with the reason (after the updater's path); the program then
// goes on running.
util::Status RunUpdate(const platform::Platform& p, const std::wstring& newVersionUrl,
                       const std::wstring& ownExePath, const std::wstring& updaterPath,
                       const std::wstring& updaterUrl, const Warn& warn);

// Downloads the address into the target file, or into a file named after the address's last
// part when the target is an existing directory. Both may come in double quotes. Returns the
// file written, or "" on failure. A cache that cannot be emptied is a warning.
[[nodiscard]] std::wstring URLDownload(const platform::Platform& p, const std::wstring& address,
                                       const std::wstring& target, const Warn& warn);

// The name inside the directory, with one "\" between them; the name alone for no directory.
std::wstring CombinePath(const std::wstring& dir, const std::wstring& name);

// Whether the shell sees anything at the path (a file, or a directory).
bool DownloadTargetExists(const platform::Platform& p, const std::wstring& path);

// Empties the system's Internet cache, so that a download fetches the server's file and not a
// copy an earlier download left behind. A failure leaves the rest of the cache as it is.
util::Status ClearURLCache(const platform::Platform& p);

}  // namespace WWWUpdate
