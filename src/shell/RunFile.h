#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

// Finds the program the shell opens a file with, also for files that do not exist yet, and opens
// web addresses in the user's browser. Temporary files go to the root of the program's drive and
// are removed right after their one lookup.
namespace RunFile {

// The program associated with this existing file, or "" when the shell knows none.
std::wstring GetExecutable(const platform::Platform& p, const std::wstring& path);

// The program for a file name, a path, a web address or a pattern such as "*.txt"; "" when there
// is none. Nothing when the user cancels at the question about an invalid character.
std::optional<std::wstring> FindProgramForFile(const platform::Platform& p,
                                               const std::wstring& name);

// Starts the browser with the address; its process id, or nothing when no browser was started.
std::optional<std::uint32_t> OpenURLInBrowser(const platform::Platform& p,
                                              const std::wstring& address, int windowStyle);

}  // namespace RunFile
