#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

// Finds the program the shell opens a file with, also for files that do not exist yet, and opens
// web addresses in the user's browser. The short-lived files the shell is asked about go to the
// user's temporary directory under names no other file has, and are removed right after their one
// lookup.
namespace RunFile {

// The program associated with this existing file, or "" when the shell knows none.
[[nodiscard]] std::wstring GetExecutable(const platform::Platform& p, const std::wstring& path);

// The program for a file name, a path, a web address or a pattern such as "*.txt"; "" when there
// is none. Nothing when the user cancels at the question about an invalid character.
[[nodiscard]] std::optional<std::wstring> FindProgramForFile(const platform::Platform& p,
                                                             const std::wstring& name);

// Starts the program with one argument (a file or an address, passed on as it is); the process
// id, 0 when it did not start. The program's path is quoted when it holds a blank and is handed
// to the system as the program to run, so Windows never tries "C:\Program.exe" for
// "C:\Program Files\...". Without a program the argument alone is the command line.
[[nodiscard]] std::uint32_t StartProgram(const platform::Platform& p, const std::wstring& program,
                                         const std::wstring& argument, int showState);

// Starts the browser with the address; its process id, or nothing when no browser was started.
[[nodiscard]] std::optional<std::uint32_t> OpenURLInBrowser(const platform::Platform& p,
                                                            const std::wstring& address,
                                                            int windowStyle);

}  // namespace RunFile
