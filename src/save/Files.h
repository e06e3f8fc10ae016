#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "util/Status.h"

// Copying one listed file into the target directory with the shell's own progress window.
namespace Files {

// The program asked already; the progress window shows the copy's own title; a missing target
// directory is made.
constexpr std::uint32_t kCopyFlags = platform::copyflag::kNoConfirmation |
                                     platform::copyflag::kSimpleProgress |
                                     platform::copyflag::kNoConfirmMkdir;

// The target directory as the copy gets it: one trailing and one leading quote removed, then
// a trailing "\" unless present.
std::wstring PrepareDirectory(const std::wstring& directory);

// Why an entry of the list is not copied to the destination, or nothing: a folder is never
// copied (so it neither replaces a file nor merges into a folder, nor lands inside itself), and a
// file never takes the place of a folder.
[[nodiscard]] std::optional<std::wstring> Refusal(platform::FileSystem& fs,
                                                  const std::wstring& source,
                                                  const std::wstring& destination);

// Copies the source into the directory, made where missing. The copy arrives whole or not at
// all: it goes to a temporary file next to its target first, and replaces a file of that name
// already there only once complete. A failure carries the most telling reason that could be
// learnt; kNoCode when the shell gave none.
util::Status CopyFileToDirectory(const platform::Platform& p, std::uintptr_t ownerWindow,
                                 const std::wstring& source, const std::wstring& directory);

}  // namespace Files
