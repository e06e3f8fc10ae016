// brimlo.exe: the real platform, the window Form1 and its message loop.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/Failure.h"
#include "app/Form1.h"
#include "platform/win32/Adapters.h"
#include "ui/win32/Barrier.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"

namespace {

// The layout snaps to a little more than this; a drag stops here, so the two never fight.
constexpr int kMinTrackWidth = 8300;
constexpr int kMinTrackHeight = 3000;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ui_win32::enablePerMonitorDpiAwareness();
  // The rich edit control and the clipboard's data objects need OLE on this thread.
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  win32::RealPlatform real;
  ui_win32::setFailureHandler(
      [&real](std::exception_ptr failure) { EndAfterFailure(real.platform, failure); });
  try {
    Form1 form(real.platform);
    ui_win32::FormWindow window(form, instance, {kMinTrackWidth, kMinTrackHeight});
    // A batch save may end before the window ever shows: the controls' windows wait for it.
    if (!window.create(ui_win32::ControlWindows::WhenShown))
      return platform::exitcode::kOther;
    real.process.routeMessages([&window](MSG& msg) { window.dispatch(msg); });
    // Loading ends the program itself when there is nothing to save; otherwise it shows the
    // window.
    form.load();
    // The program's regular ends leave through the process's exit; a loop that ends is status 1.
    return window.runMessageLoop();
  } catch (...) {
    EndAfterFailure(real.platform, std::current_exception());
  }
}
