// The Windows entry point: the real platform, the window, the message loop.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app/Form1.h"
#include "platform/win32/Adapters.h"
#include "ui/win32/FormWindow.h"

namespace {

void becomeDpiAware() {
  // The manifest asks for per-monitor awareness; older systems and Wine may need the call.
  using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto setContext = user32 ? reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
                                 GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                           : nullptr;
  if (setContext) setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  becomeDpiAware();
  // The rich-text box pastes through OLE.
  const HRESULT ole = OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  win32::RealPlatform real;
  Form1 form(real.platform);
  uiw::FormWindow window(form, instance);
  if (!window.create()) return platform::exitcode::kOther;
  form.load();
  const int status = window.runMessageLoop();
  if (SUCCEEDED(ole)) OleUninitialize();
  return status;
}
