#pragma once
// Small pieces the test helper programs share: arguments, UTF-8 output and input, numbers.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

namespace tool {

// The arguments after the program's name, as the shell passed them.
inline std::vector<std::wstring> arguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; i < count; ++i)
    args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

inline std::string toUtf8(const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

inline std::wstring fromUtf8(const std::string& text) {
  if (text.empty())
    return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// Writes the bytes unchanged, so a script reading a pipe gets exact UTF-8 whatever the console
// code page is.
inline void writeRaw(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE)
    return;
  if (GetFileType(h) == FILE_TYPE_CHAR)
    SetConsoleOutputCP(CP_UTF8);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                   nullptr) ||
        written == 0) {
      return;
    }
    done += written;
  }
}

inline void out(const std::wstring& line) {
  writeRaw(STD_OUTPUT_HANDLE, toUtf8(line) + "\n");
}
inline void err(const std::wstring& line) {
  writeRaw(STD_ERROR_HANDLE, toUtf8(line) + "\n");
}

// A Unix absolute path reaches Wine programs unchanged; Wine maps the root of the Unix tree to
// drive Z:, so "/tmp/a.txt" becomes "Z:\tmp\a.txt". Windows paths pass through.
inline std::wstring windowsPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/')
    return path;
  std::wstring p = L"Z:" + path;
  for (wchar_t& c : p) {
    if (c == L'/')
      c = L'\\';
  }
  return p;
}

inline std::optional<std::string> readFile(const std::wstring& path) {
  HANDLE h = CreateFileW(windowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::string data;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
    data.append(buffer, got);
  CloseHandle(h);
  return data;
}

// "@file" stands for the file's content (UTF-8), anything else for itself. Command lines pass
// through the Unix locale on their way into Wine, a file does not.
inline std::optional<std::wstring> textArgument(const std::wstring& arg) {
  if (arg.size() > 1 && arg[0] == L'@') {
    auto bytes = readFile(arg.substr(1));
    if (!bytes)
      return std::nullopt;
    if (bytes->rfind("\xEF\xBB\xBF", 0) == 0)
      bytes->erase(0, 3);
    return fromUtf8(*bytes);
  }
  return arg;
}

// A whole non-negative decimal number, or nothing.
inline std::optional<long> number(const std::wstring& text) {
  if (text.empty() || text.size() > 9)
    return std::nullopt;
  long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9')
      return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// Line breaks as a script compares them: CR LF and a lone CR both become LF.
inline std::wstring unixLines(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A window's text, also of another process's window: WM_GETTEXT rather than GetWindowTextW,
// which does not read another process's edit control. Empty for a window that does not answer.
inline std::wstring windowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

}  // namespace tool
