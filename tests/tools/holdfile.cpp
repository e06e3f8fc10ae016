// Keeps a file open the way an editor or a virus scanner does (no sharing at all) for a while,
// so a test can see what a save onto that file does. Prints "held" once the file is open.
#include <windows.h>

#include "ToolSupport.h"

int main() {
  const auto args = tool::arguments();
  const auto ms = args.size() == 2 ? tool::number(args[1]) : std::nullopt;
  if (!ms) {
    tool::err(L"usage: holdfile <path> <ms>");
    return 2;
  }
  HANDLE file = CreateFileW(tool::windowsPath(args[0]).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    tool::err(L"holdfile: cannot open the file, error " + std::to_wstring(GetLastError()));
    return 1;
  }
  tool::out(L"held");
  Sleep(static_cast<DWORD>(*ms));
  CloseHandle(file);
  return 0;
}
