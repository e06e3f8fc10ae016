#pragma once
// Pixels per inch of a window, for systems with and without per-monitor DPI support. The newer
// calls are looked up at run time, so the program still starts where user32 lacks them.
#include <windows.h>

namespace ui_win32 {

// Asks for per-monitor (v2) DPI awareness unless the manifest already settled it.
void enablePerMonitorDpiAwareness();

// The DPI of the monitor a window is on (the system DPI without per-monitor support).
int windowDpi(HWND hwnd);
// The window rectangle whose client area is `rect`, with the frame metrics of that DPI.
void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace ui_win32
