#include <vector>

#include "platform/win32/Adapters.h"
#include "util/Phases.h"
#include "platform/win32/Handles.h"

namespace win32 {

namespace {

bool isBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

// The full path of the running executable, however long.
std::wstring modulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0)
      return {};
    if (length < size)
      return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring::size_type lastSeparator(const std::wstring& path) {
  return path.find_last_of(L"\\/");
}

}  // namespace

std::wstring Win32Process::commandLine() {
  const std::wstring line = GetCommandLineW();
  std::wstring::size_type i = 0;
  if (!line.empty() && line[0] == L'"') {
    const auto closing = line.find(L'"', 1);
    i = closing == std::wstring::npos ? line.size() : closing + 1;
  } else {
    while (i < line.size() && !isBlank(line[i]))
      ++i;
  }
  while (i < line.size() && isBlank(line[i]))
    ++i;
  return line.substr(i);
}

std::wstring Win32Process::currentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0)
    return {};
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, buffer.data());
  buffer.resize(length < needed ? length : 0);
  return buffer;
}

util::Status Win32Process::setCurrentDirectory(const std::wstring& path) {
  return SetCurrentDirectoryW(path.c_str()) ? 0 : lastErrorOr(ERROR_PATH_NOT_FOUND);
}

std::wstring Win32Process::programDirectory() {
  const std::wstring path = modulePath();
  const auto slash = lastSeparator(path);
  if (slash == std::wstring::npos)
    return {};
  // A program in a drive's root lives in "C:\", not in the drive-relative "C:".
  if (slash == 2 && path[1] == L':')
    return path.substr(0, 3);
  return path.substr(0, slash);
}

std::wstring Win32Process::programPath() {
  return modulePath();
}

std::wstring Win32Process::programName() {
  const std::wstring path = modulePath();
  const auto slash = lastSeparator(path);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind(L'.');
  if (dot != std::wstring::npos)
    name.resize(dot);
  return name;
}

std::wstring Win32Process::temporaryDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return length > 0 && length <= MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::uint32_t Win32Process::startProcess(const std::wstring& application,
                                         const std::wstring& commandLine, int showState) {
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showState);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                      nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return 0;
  }
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return started.dwProcessId;
}

void Win32Process::beep() {
  MessageBeep(MB_OK);
}

void Win32Process::processPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the request to quit for the program's own message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (dispatch_) {
      dispatch_(message);
    } else {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

std::wstring Win32Process::errorText(std::uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocal owned(buffer);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
    text.pop_back();
  if (text.empty())
    return L"error " + std::to_wstring(code);
  return text;
}

void Win32Process::end(int status) {
  phases::mark("exit");
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace win32
