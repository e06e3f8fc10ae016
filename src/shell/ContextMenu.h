#pragma once
#include <string>

#include "platform/Platform.h"

// The program's entry in Explorer's context menu of every file: "Save Clipboard to file..
// (Brimlo)" starts the program with the file's path as its command line.
namespace ContextMenu {

// The menu entry's text.
inline constexpr wchar_t kCaption[] = L"Save Clipboard to file.. (Brimlo)";

// The key, below a classes root, whose default value is the entry's command.
std::wstring CommandKey(const std::wstring& caption);

// Writes the command (followed by " %1", the file's path) as the entry's default value: under
// HKEY_CLASSES_ROOT, or, when that is refused (no administrator rights), under this user's
// HKEY_CURRENT_USER\Software\Classes. False when neither could be written.
bool WriteShellCommand(const platform::Platform& p, const std::wstring& caption,
                       const std::wstring& command);

// Enabling writes the entry for the program as it runs now, from wherever it was started;
// disabling leaves the registry alone. False only when the entry could not be written.
bool RegisterContextMenu(const platform::Platform& p, bool enable);

}  // namespace ContextMenu
