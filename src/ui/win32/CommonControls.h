#pragma once
// The common controls' library, loaded with the window rather than with the program: a batch
// save makes no window, and under Wine loading the library (with its classes) takes several
// milliseconds.
#include <windows.h>
#include <commctrl.h>

namespace ui_win32::commonControls {

// Loads the library (once; the program's manifest picks version 6) and registers its window
// classes. False where it is missing.
[[nodiscard]] bool load();
BOOL setWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL removeWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
LRESULT defSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace ui_win32::commonControls
