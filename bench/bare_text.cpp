// The least a program can do to save the clipboard's text: read CF_UNICODETEXT, write it in the
// ANSI code page, end. brimlo.exe's batch save of a text is timed against it.
//   bare_text <file.txt>      exit 0 saved, 1 no text, 2 usage, 3 writing failed
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

int write(const wchar_t* text, std::size_t length, const wchar_t* file) {
  const int wide = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, wide, bytes.data(), size, nullptr, nullptr);
  HANDLE h =
      CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return 3;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size() ? 0 : 3;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2)
    return 2;
  if (!OpenClipboard(nullptr))
    return 1;
  int status = 1;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      status = write(text, wcsnlen(text, capacity), argv[1]);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return status;
}
