// brimlo.exe: the real platform, the window Form1 and its message loop.
#include <windows.h>

#include "app/Failure.h"
#include "app/Form1.h"
#include "platform/win32/Adapters.h"
#include "ui/win32/Barrier.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"
#include "util/Phases.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  phases::mark("main");
  ui_win32::enablePerMonitorDpiAwareness();

  win32::RealPlatform real;
  ui_win32::setFailureHandler(
      [&real](const std::exception_ptr& failure) { EndAfterFailure(real.platform, failure); });
  try {
    Form1 form(real.platform);
    // The window snaps below its minimum as the layout does, but before it is drawn: a drag
    // below the minimum shows the snapped size and does not flicker.
    ui_win32::FormWindow window(
        form, instance,
        {Form1::kMinWidth, Form1::kMinHeight, Form1::kSnapWidth, Form1::kSnapHeight});
    // A batch save may end before the window ever shows: the window, its controls' windows and
    // the libraries they need wait for it.
    if (!window.create(ui_win32::ControlWindows::WhenShown))
      return platform::exitcode::kOther;
    real.process.routeMessages([&window](MSG& msg) { window.dispatch(msg); });
    phases::mark("form_made");
    // Loading ends the program itself when there is nothing to save; otherwise it shows the
    // window.
    form.load();
    if (window.hwnd() == nullptr)
      return platform::exitcode::kOther;
    // The program's regular ends leave through the process's exit; a loop that ends is status 1.
    return window.runMessageLoop();
  } catch (...) {
    EndAfterFailure(real.platform, std::current_exception());
  }
}
