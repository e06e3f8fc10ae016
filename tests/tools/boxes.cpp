// Finds a message box by its title, prints its text and, if asked, presses one of its buttons.
// Pressing the button inside the box's own process is more reliable than synthetic key presses,
// which depend on focus and on the window manager.
#include <windows.h>

#include "ToolSupport.h"

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr int kTextId = 0xFFFF;

struct Search {
  const std::wstring* title;
  HWND found;
};

std::wstring className(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

BOOL CALLBACK matchBox(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (className(hwnd) == L"#32770" && tool::windowText(hwnd) == *search->title) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND findBox(const std::wstring& title) {
  HWND box = FindWindowW(L"#32770", title.c_str());
  if (box == nullptr) {
    Search search{&title, nullptr};
    EnumWindows(matchBox, reinterpret_cast<LPARAM>(&search));
    box = search.found;
  }
  return box;
}

// The message text: the static control the box creates with id 0xFFFF; otherwise the longest
// static text, in case a box builds its controls differently.
std::wstring boxText(HWND box) {
  if (HWND text = GetDlgItem(box, kTextId))
    return tool::windowText(text);
  std::wstring longest;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (_wcsicmp(className(child).c_str(), L"Static") != 0)
      continue;
    std::wstring text = tool::windowText(child);
    if (text.size() > longest.size())
      longest = text;
  }
  return longest;
}

// A box counts as there once it shows and has its buttons: answering earlier would miss them.
HWND waitForBox(const std::wstring& title, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND box = findBox(title);
    if (box != nullptr && IsWindowVisible(box) && GetWindow(box, GW_CHILD) != nullptr)
      return box;
    if (GetTickCount64() >= end)
      return nullptr;
    Sleep(kPollMs);
  }
}

bool waitUntilGone(HWND box, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (IsWindow(box)) {
    if (GetTickCount64() >= end)
      return false;
    Sleep(kPollMs);
  }
  return true;
}

int buttonId(const std::wstring& answer) {
  if (answer == L"yes")
    return IDYES;
  if (answer == L"no")
    return IDNO;
  if (answer == L"cancel")
    return IDCANCEL;
  if (answer == L"ok")
    return IDOK;
  return 0;
}

int usage() {
  tool::err(L"usage: boxes wait <title> [timeout_ms]");
  tool::err(L"       boxes answer <title> <yes|no|cancel|ok> [timeout_ms]");
  return 2;
}

}  // namespace

int main() {
  const auto args = tool::arguments();
  if (args.size() < 2)
    return usage();
  const bool answer = args[0] == L"answer";
  if (!answer && args[0] != L"wait")
    return usage();
  const std::size_t timeoutArg = answer ? 3 : 2;
  if (args.size() > timeoutArg + 1 || (answer && args.size() < 3))
    return usage();
  DWORD timeoutMs = kDefaultTimeoutMs;
  if (args.size() == timeoutArg + 1) {
    const auto ms = tool::number(args[timeoutArg]);
    if (!ms)
      return usage();
    timeoutMs = static_cast<DWORD>(*ms);
  }
  const int id = answer ? buttonId(args[2]) : 0;
  if (answer && id == 0)
    return usage();

  HWND box = waitForBox(args[1], timeoutMs);
  if (box == nullptr) {
    tool::err(L"boxes: no message box \"" + args[1] + L"\"");
    return 1;
  }
  tool::out(tool::unixLines(boxText(box)));
  if (!answer)
    return 0;

  HWND button = GetDlgItem(box, id);
  if (button == nullptr) {
    tool::err(L"boxes: the box has no " + args[2] + L" button");
    return 3;
  }
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  if (waitUntilGone(box, 1000))
    return 0;
  // BM_CLICK can be lost when the box is not the active window; the command itself is not.
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  if (waitUntilGone(box, timeoutMs))
    return 0;
  tool::err(L"boxes: the box did not close");
  return 4;
}
