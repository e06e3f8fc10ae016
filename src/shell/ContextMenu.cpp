#include "shell/ContextMenu.h"

namespace ContextMenu {

std::wstring CommandKey(const std::wstring& caption) {
  return L"*\\shell\\" + caption + L"\\command";
}

util::Status WriteShellCommand(const platform::Platform& p, const std::wstring& caption,
                               const std::wstring& command) {
  using Root = platform::ShellRegistry::Root;
  const std::wstring key = CommandKey(caption);
  // Explorer passes the file's path for %1; the program takes the whole rest of its command
  // line as the name, so it needs no quotes of its own.
  const std::wstring value = command + L" %1";
  if (p.shellRegistry.setDefaultValue(Root::ClassesRoot, key, value).ok()) {
    return {};
  }
  // Without administrator rights: this user's classes, which Explorer shows in the same menu.
  return p.shellRegistry.setDefaultValue(Root::CurrentUserClasses, key, value);
}

util::Status RegisterContextMenu(const platform::Platform& p, bool enable) {
  if (!enable) {
    return {};
  }
  const std::wstring program = p.process.programPath();
  // Unquoted, a path with blanks lets Windows try "C:\Program.exe" first.
  return WriteShellCommand(p, kCaption, L"\"" + program + L"\"");
}

}  // namespace ContextMenu
