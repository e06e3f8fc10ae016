// A stand-in for the updater the program downloads as Update.exe: it records how it was started
// (its whole command line, then its current directory, one per line in UTF-8) in
// updater-run.txt next to itself and ends with status 0, replacing nothing.
#include <windows.h>

#include <string>

namespace {

std::string toUtf8(const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

int main() {
  wchar_t self[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring report(self, length);
  report.resize(report.rfind(L'\\') + 1);
  report += L"updater-run.txt";

  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  const std::string text = toUtf8(GetCommandLineW()) + "\n" + toUtf8(directory) + "\n";

  // Written under another name and renamed: the test never reads half a report.
  const std::wstring partial = report + L".part";
  const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return 3;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != text.size())
    return 4;
  return MoveFileExW(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
