#pragma once
#include <string>

#include "platform/Platform.h"
#include "util/Status.h"

// The program's entry in Explorer's context menu of every file: "Save Clipboard to file..
// (Brimlo)" starts the program with the file's path as its command line.
namespace ContextMenu {

// The menu entry's text.
inline constexpr wchar_t kCaption[] = L"Save Clipboard to file.. (Brimlo)";

// The key, below a classes root, whose default value is the entry's command.
std::wstring CommandKey(const std::wstring& caption);

// Writes the command (followed by " %1", the file's path) as the entry's default value: under
// HKEY_CLASSES_ROOT, or, when that is refused (no administrator rights), under this user's
// HKEY_CURRENT_USER\Software\Classes. A failure is the second write's.
util::Status WriteShellCommand(const platform::Platform& p, const std::wstring& caption,
                               const std::wstring& command);

// Enabling writes the entry for the program as it runs now, from wherever it was started;
// disabling leaves the registry alone. Fails only when the entry could not be written.
util::Status RegisterContextMenu(const platform::Platform& p, bool enable);

}  // namespace ContextMenu
