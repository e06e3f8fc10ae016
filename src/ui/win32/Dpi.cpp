#include "ui/win32/Dpi.h"

#include "platform/win32/Adapters.h"

namespace ui_win32 {

namespace {

using SetAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <class Fn>
Fn user32Function(const char* name) {
  return win32::systemFunction<Fn>(L"user32.dll", name);
}

}  // namespace

void enablePerMonitorDpiAwareness() {
  static const auto setContext =
      user32Function<SetAwarenessContextFn>("SetProcessDpiAwarenessContext");
  // Fails harmlessly when the manifest has already set the awareness.
  if (setContext)
    setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

int windowDpi(HWND hwnd) {
  static const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow && hwnd) {
    const UINT dpi = forWindow(hwnd);
    if (dpi > 0)
      return static_cast<int>(dpi);
  }
  return win32::systemDpi();
}

void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (forDpi && forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    return;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace ui_win32
