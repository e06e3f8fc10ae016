// A stand-in program for the harness's own tests: it shows message boxes and a window with
// known controls, ends with a chosen status or sleeps, so each helper can be checked against a
// known answer before the program's tests rely on it.
#include <windows.h>

#include "ToolSupport.h"

namespace {

constexpr int kEscapeStatus = 27;

int usage() {
  tool::err(
      L"usage: probe box <title> <text|@file> <ok|okcancel|yesno|yesnocancel>\n"
      L"       probe window <title> [topmost]\n"
      L"       probe exit <status> | sleep <ms>");
  return 120;
}

int boxType(const std::wstring& name) {
  if (name == L"ok")
    return MB_OK;
  if (name == L"okcancel")
    return MB_OKCANCEL;
  if (name == L"yesno")
    return MB_YESNO;
  if (name == L"yesnocancel")
    return MB_YESNOCANCEL;
  return -1;
}

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND control(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
             HWND parent, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

// A 400 x 300 client area at screen position (50, 60) with a button, an edit field, a hidden
// label and a panel holding a nested button: (panel 200, 100) + (10, 20) = (210, 120).
// Ends with status 0 when closed, 27 on Esc.
int window(const std::wstring& title, bool topmost) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"BrimloProbe";
  RegisterClassW(&wc);
  RECT r{0, 0, 400, 300};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&r, style, FALSE, 0);
  HWND top = CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, wc.lpszClassName, title.c_str(), style,
                             50 + r.left, 60 + r.top, r.right - r.left, r.bottom - r.top, nullptr,
                             nullptr, wc.hInstance, nullptr);
  if (top == nullptr)
    return 3;
  control(L"BUTTON", L"Go", WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 25, top, 101);
  control(L"EDIT", L"hello\tworld", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 40, 200, 22, top,
          102);
  control(L"STATIC", L"secret", 0, 10, 70, 100, 20, top, 103);
  HWND panel = control(L"STATIC", L"", WS_VISIBLE, 200, 100, 150, 100, top, 104);
  control(L"BUTTON", L"Inner", WS_VISIBLE | BS_PUSHBUTTON, 10, 20, 60, 30, panel, 105);
  ShowWindow(top, SW_SHOWNORMAL);
  UpdateWindow(top);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Esc in any of its controls ends it with status 27, so a test can tell its keys arrived.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      DestroyWindow(top);
      return kEscapeStatus;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int main() {
  const auto args = tool::arguments();
  if (args.empty())
    return usage();
  if (args[0] == L"box" && args.size() == 4) {
    const int type = boxType(args[3]);
    const auto text = tool::textArgument(args[2]);
    if (type < 0 || !text)
      return usage();
    return MessageBoxW(nullptr, text->c_str(), args[1].c_str(), static_cast<UINT>(type));
  }
  if (args[0] == L"window" && (args.size() == 2 || (args.size() == 3 && args[2] == L"topmost"))) {
    return window(args[1], args.size() == 3);
  }
  if (args[0] == L"exit" && args.size() == 2) {
    const auto status = tool::number(args[1]);
    return status ? static_cast<int>(*status) : usage();
  }
  if (args[0] == L"sleep" && args.size() == 2) {
    const auto ms = tool::number(args[1]);
    if (!ms)
      return usage();
    Sleep(static_cast<DWORD>(*ms));
    return 0;
  }
  return usage();
}
