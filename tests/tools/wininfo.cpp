// Describes a top-level window and every control in it, one tab-separated line each, so a test
// can compare what the user sees with the intended layout:
//   title    <caption>
//   topmost  <0|1>
//   window   <left> <top> <width> <height>    screen pixels, frame included
//   client   <left> <top> <width> <height>    screen pixels of the client area
//   child    <depth> <class> <text> <visible 0|1> <left> <top> <width> <height> <id>
// Child rectangles are in client pixels of the top-level window; depth 1 is a direct child.
// Tabs, line breaks and backslashes in texts appear as \t, \r, \n and \\.
// A title ending in '*' matches the first visible window whose caption starts with the rest.
#include <windows.h>

#include "ToolSupport.h"

namespace {

struct Search {
  std::wstring prefix;
  HWND found;
};

std::wstring escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'\t':
        out += L"\\t";
        break;
      case L'\r':
        out += L"\\r";
        break;
      case L'\n':
        out += L"\\n";
        break;
      case L'\\':
        out += L"\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

BOOL CALLBACK matchPrefix(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(hwnd) || GetParent(hwnd) != nullptr)
    return TRUE;
  if (tool::windowText(hwnd).rfind(search->prefix, 0) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND findWindow(const std::wstring& title) {
  if (!title.empty() && title.back() == L'*') {
    Search search{title.substr(0, title.size() - 1), nullptr};
    EnumWindows(matchPrefix, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  return FindWindowW(nullptr, title.c_str());
}

std::wstring rectFields(const RECT& r) {
  return std::to_wstring(r.left) + L"\t" + std::to_wstring(r.top) + L"\t" +
         std::to_wstring(r.right - r.left) + L"\t" + std::to_wstring(r.bottom - r.top);
}

struct Walk {
  HWND top;
};

BOOL CALLBACK describeChild(HWND child, LPARAM param) {
  const auto* walk = reinterpret_cast<const Walk*>(param);
  int depth = 0;
  for (HWND p = child; p != nullptr && p != walk->top; p = GetParent(p))
    ++depth;
  wchar_t cls[128] = {};
  GetClassNameW(child, cls, 128);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, walk->top, reinterpret_cast<POINT*>(&r), 2);
  tool::out(L"child\t" + std::to_wstring(depth) + L"\t" + cls + L"\t" +
            escaped(tool::windowText(child)) + L"\t" + (IsWindowVisible(child) ? L"1" : L"0") +
            L"\t" + rectFields(r) + L"\t" + std::to_wstring(GetDlgCtrlID(child)));
  return TRUE;
}

}  // namespace

int main() {
  const auto args = tool::arguments();
  if (args.size() != 1) {
    tool::err(L"usage: wininfo <window title | title prefix*>");
    return 2;
  }
  HWND top = findWindow(args[0]);
  if (top == nullptr) {
    tool::err(L"wininfo: no window \"" + args[0] + L"\"");
    return 1;
  }
  const bool topmost = (GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  RECT window{};
  GetWindowRect(top, &window);
  RECT client{};
  GetClientRect(top, &client);
  MapWindowPoints(top, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  tool::out(L"title\t" + escaped(tool::windowText(top)));
  tool::out(std::wstring(L"topmost\t") + (topmost ? L"1" : L"0"));
  tool::out(L"window\t" + rectFields(window));
  tool::out(L"client\t" + rectFields(client));
  Walk walk{top};
  EnumChildWindows(top, describeChild, reinterpret_cast<LPARAM>(&walk));
  return 0;
}
