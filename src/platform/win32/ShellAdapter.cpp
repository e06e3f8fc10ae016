// The shell port: the executable lookup and the shell's own file copy.
#include "platform/win32/Adapters.h"

#include <shellapi.h>

namespace win32 {

namespace {

// The shell's lists are sequences of names, each ended by a NUL, the whole ended by a second.
std::wstring singleNameList(const std::wstring& path) {
  std::wstring list = path;
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

util::Status Win32Shell::findExecutable(const std::wstring& file, std::wstring& program) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const HINSTANCE result = FindExecutableW(file.c_str(), nullptr, buffer);
  buffer[MAX_PATH] = L'\0';  // the shell fills at most MAX_PATH characters
  const auto code = static_cast<std::uint32_t>(reinterpret_cast<INT_PTR>(result));
  // The shell's codes above 32 mean success; 0 is its "out of memory", which has the system's
  // number SE_ERR_OOM.
  program = code > 32 ? std::wstring(buffer) : std::wstring();
  return code > 32 ? 0 : code == 0 ? SE_ERR_OOM : code;
}

platform::FileCopyResult Win32Shell::copyFile(const platform::FileCopy& copy) {
  const std::wstring from = singleNameList(copy.source);
  const std::wstring to = singleNameList(copy.destination);
  const std::wstring title = copy.progressTitle;

  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = reinterpret_cast<HWND>(copy.ownerWindow);
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = static_cast<FILEOP_FLAGS>(copy.flags);
  operation.lpszProgressTitle = title.c_str();

  platform::FileCopyResult result;
  result.code = SHFileOperationW(&operation);
  result.aborted = operation.fAnyOperationsAborted != FALSE;
  return result;
}

}  // namespace win32
