// Stays attached to the Wine desktop so that clipboard data set by one test program is still
// there for the next one: Wine empties the clipboard shortly after its last desktop process ends.
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

}  // namespace

int main() {
  GetDesktopWindow();
  WNDCLASSW wc{};
  wc.lpfnWndProc = keeperProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BrimloTestKeeper";
  if (!RegisterClassW(&wc))
    return 2;
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
