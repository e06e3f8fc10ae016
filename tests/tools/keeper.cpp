// Stays attached to the Wine desktop so that clipboard data set by one test program is still
// there for the next one: Wine empties the clipboard shortly after its last desktop process ends.
//   keeper             runs until closed or killed
//   keeper --warm-up   shows, maximises and restores a window once, then ends
#include <windows.h>

#include "ToolSupport.h"

namespace {

LRESULT CALLBACK keeperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void pumpFor(DWORD ms, HWND hwnd, bool untilZoomed) {
  const ULONGLONG end = GetTickCount64() + ms;
  MSG msg;
  while (GetTickCount64() < end && !(untilZoomed && IsZoomed(hwnd))) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

// The first windows after a new prefix is booted are slow to take a size from the window
// manager while Wine finishes setting up the desktop; doing it once here keeps that delay out
// of the first test.
int warmUp(HINSTANCE instance, const wchar_t* cls) {
  HWND hwnd = CreateWindowExW(0, cls, L"Test warm-up", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200,
                              nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr)
    return 3;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  pumpFor(500, hwnd, false);
  ShowWindow(hwnd, SW_MAXIMIZE);
  pumpFor(15000, hwnd, true);
  const bool zoomed = IsZoomed(hwnd) != FALSE;
  ShowWindow(hwnd, SW_RESTORE);
  pumpFor(300, hwnd, false);
  DestroyWindow(hwnd);
  return zoomed ? 0 : 4;
}

}  // namespace

int main() {
  GetDesktopWindow();
  WNDCLASSW wc{};
  wc.lpfnWndProc = keeperProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BrimloTestKeeper";
  if (!RegisterClassW(&wc))
    return 2;
  const auto args = tool::arguments();
  if (args.size() == 1 && args[0] == L"--warm-up")
    return warmUp(wc.hInstance, wc.lpszClassName);
  // Never shown: a test looking for windows must not find this one.
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Test keeper", WS_OVERLAPPED, 0, 0, 1, 1,
                              nullptr, nullptr, wc.hInstance, nullptr);
  if (hwnd == nullptr)
    return 3;
  // The harness waits for this line before it lets the tests run.
  tool::out(L"ready");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
