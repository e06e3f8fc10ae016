// The homepage and update links and the context-menu check box: the window's doors to the shell
// and the program's server.
#include "app/Form1.h"
#include "save/Paths.h"
#include "shell/ContextMenu.h"
#include "shell/RunFile.h"
#include "shell/WWWUpdate.h"

void Form1::wwwBtn_Click() {
  const std::wstring address = WWWUpdate::HomepageAddress();
  if (!RunFile::OpenURLInBrowser(p_, address, platform::kShowNormal)) {
    // The link stays, so the user can try again once a browser is there.
    p_.dialogs.messageBox(L"No web browser could be started for:\r" + address,
                          platform::box::kCritical, L"");
    return;
  }
  // The link is used once per run.
  wwwBtn.setVisible(false);
}

void Form1::UpdateBtn_Click() {
  // The updater works in the program's directory, where it replaces the program; it is started
  // and told the program by their full paths, so a failed move changes nothing.
  (void)p_.process.setCurrentDirectory(p_.process.programDirectory());
  const auto tell = [this](const util::Status& s) {
    p_.dialogs.messageBox(s.text(), platform::box::kOkOnly, L"");
  };
  // Returns only when the updater could not be fetched or started.
  tell(WWWUpdate::RunUpdate(p_, WWWUpdate::NewestVersionAddress(), p_.process.programPath(),
                            AddTrailingSeparator(p_.process.programDirectory()) + L"Update.exe",
                            WWWUpdate::UpdaterAddress(), tell));
}

void Form1::ContextMenuCheck_Click() {
  const bool enable = ContextMenuCheck.value() == 1;
  if (ContextMenu::RegisterContextMenu(p_, enable).ok() || !enable) {
    return;
  }
  p_.dialogs.messageBox(L"The context-menu entry could not be written to the registry:\r\r" +
                            ContextMenu::CommandKey(ContextMenu::kCaption),
                        platform::box::kCritical, L"");
  // The box shows what the menu really holds. Unchecking runs this handler again, which then
  // leaves the registry as it is.
  ContextMenuCheck.setValue(0);
}
