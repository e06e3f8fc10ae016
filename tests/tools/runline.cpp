// Starts a program with its arguments exactly as given and ends with the program's exit status.
// `wine program args` quotes and escapes each argument on its way in (a double quote arrives as
// \"), so a command line as a user types it in cmd.exe can only be passed on from here.
#include <windows.h>

#include "ToolSupport.h"

int main() {
  const auto args = tool::arguments();
  const auto arguments = args.size() == 2 ? tool::textArgument(args[1]) : std::nullopt;
  if (!arguments) {
    tool::err(L"usage: runline <program> <arguments|@utf8-file>");
    return 120;
  }
  const std::wstring program = tool::windowsPath(args[0]);
  std::wstring line = L"\"" + program + L"\" " + *arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    tool::err(L"runline: cannot start " + program + L", error " + std::to_wstring(GetLastError()));
    return 121;
  }
  CloseHandle(started.hThread);
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hProcess);
  return static_cast<int>(status);
}
