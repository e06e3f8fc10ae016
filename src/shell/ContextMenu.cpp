#include "shell/ContextMenu.h"

#include "app/Form1.h"

namespace ContextMenu {

std::wstring CommandKey(const std::wstring& caption) {
  return L"*\\shell\\" + caption + L"\\command";
}

bool WriteShellCommand(const platform::Platform& p, const std::wstring& caption,
                       const std::wstring& command) {
  using Root = platform::ShellRegistry::Root;
  const std::wstring key = CommandKey(caption);
  // Explorer passes the file's path for %1; the program takes the whole rest of its command
  // line as the name, so it needs no quotes of its own.
  const std::wstring value = command + L" %1";
  if (p.shellRegistry.setDefaultValue(Root::ClassesRoot, key, value) == 0) {
    return true;
  }
  // Without administrator rights: this user's classes, which Explorer shows in the same menu.
  return p.shellRegistry.setDefaultValue(Root::CurrentUserClasses, key, value) == 0;
}

bool RegisterContextMenu(const platform::Platform& p, bool enable) {
  if (!enable) {
    return true;
  }
  const std::wstring program = p.process.programPath();
  // Unquoted, a path with blanks lets Windows try "C:\Program.exe" first.
  return WriteShellCommand(p, kCaption, L"\"" + program + L"\"");
}

}  // namespace ContextMenu

void Form1::ContextMenuCheck_Click() {
  const bool enable = ContextMenuCheck.value() == 1;
  if (ContextMenu::RegisterContextMenu(p_, enable) || !enable) {
    return;
  }
  p_.dialogs.messageBox(L"The context-menu entry could not be written to the registry:\r\r" +
                            ContextMenu::CommandKey(ContextMenu::kCaption),
                        platform::box::kCritical, L"");
  // The box shows what the menu really holds. Unchecking runs this handler again, which then
  // leaves the registry as it is.
  ContextMenuCheck.setValue(0);
}
