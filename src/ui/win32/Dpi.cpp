#include "ui/win32/Dpi.h"

#include "platform/win32/Handles.h"

namespace ui_win32 {

namespace {

using SetAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <class Fn>
Fn user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr)
    return nullptr;
  // GetProcAddress hands out a generic function pointer; the names below fix its real type.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int screenDpi() {
  const win32::ReleasedDc screen = win32::windowDc(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

void enablePerMonitorDpiAwareness() {
  static const auto setContext =
      user32Function<SetAwarenessContextFn>("SetProcessDpiAwarenessContext");
  // Fails harmlessly when the manifest has already set the awareness.
  if (setContext)
    setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

int systemDpi() {
  static const auto forSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (forSystem) {
    const UINT dpi = forSystem();
    if (dpi > 0)
      return static_cast<int>(dpi);
  }
  return screenDpi();
}

int windowDpi(HWND hwnd) {
  static const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow && hwnd) {
    const UINT dpi = forWindow(hwnd);
    if (dpi > 0)
      return static_cast<int>(dpi);
  }
  return systemDpi();
}

void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (forDpi && forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    return;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace ui_win32
