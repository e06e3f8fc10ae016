#pragma once

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Gdiplus.h"
#include "platform/Internet.h"
#include "platform/Process.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/ShellRegistry.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"

namespace platform {

// One reference to each platform service the program uses.
struct Platform {
  Dialogs& dialogs;
  Process& process;
  SettingsStore& settings;
  Screen& screen;
  Clock& clock;
  Clipboard& clipboard;
  FileSystem& fileSystem;
  Window& window;
  Shell& shell;
  Gdiplus& gdiplus;
  Codepage& codepage;
  ShellRegistry& shellRegistry;
  Internet& internet;
};

}  // namespace platform
