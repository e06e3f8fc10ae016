#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"

namespace win32 {

int systemDpi() {
  // GetDpiForSystem exists from Windows 10 1607 on; older systems report it through a screen DC.
  static const auto forSystem = systemFunction<UINT(WINAPI*)()>(L"user32.dll", "GetDpiForSystem");
  if (const UINT dpi = forSystem ? forSystem() : 0)
    return static_cast<int>(dpi);
  const ReleasedDc screen = windowDc(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int Win32Screen::primaryWidthTwips() {
  return pixelsToTwips(GetSystemMetrics(SM_CXSCREEN), systemDpi());
}

int Win32Screen::primaryHeightTwips() {
  return pixelsToTwips(GetSystemMetrics(SM_CYSCREEN), systemDpi());
}

platform::LocalTime LocalClock::now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return platform::LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void Win32Window::setWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y,
                               int cx, int cy, unsigned flags) {
  SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy,
               flags);
}

}  // namespace win32
