#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/win32/Adapters.h"

namespace testsupport {

namespace {

constexpr wchar_t kReportVariable[] = L"BRIMLO_TEST_REPORT";

// A new name under the user's temporary folder.
std::wstring uniqueTempPath(const std::wstring& label) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          (L"brimlo-" + label + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter)))
      .wstring();
}

}  // namespace

std::wstring selfPath() {
  wchar_t buffer[32768];
  return std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, 32768));
}

TempDir::TempDir(const std::wstring& label) : path_(uniqueTempPath(label)) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool makeFile(const std::wstring& path, const std::string& bytes, DWORD attributes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
  return readFile(path) == bytes && SetFileAttributesW(path.c_str(), attributes);
}

std::optional<std::string> readFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file)
    return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::optional<int> reportIfChild() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(kReportVariable, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return std::nullopt;
  win32::Win32Process process;
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const int shown = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1;
  const std::wstring text = process.commandLine() + L"\n" + process.programDirectory() + L"|" +
                            process.programName() + L"\n" + std::to_wstring(GetCurrentProcessId()) +
                            L" " + std::to_wstring(shown);
  // Appears complete or not at all for the parent.
  const std::wstring part = std::wstring(path) + L".part";
  makeFile(part, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  return MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

ChildReport::ChildReport() : path_(uniqueTempPath(L"child") + L".out") {
  SetEnvironmentVariableW(kReportVariable, path_.c_str());
}

ChildReport::~ChildReport() {
  SetEnvironmentVariableW(kReportVariable, nullptr);
  DeleteFileW(path_.c_str());
}

bool ChildReport::run(const std::wstring& commandLine, const std::wstring& program) const {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  DWORD status = 1;
  WaitForSingleObject(started.hProcess, 30000);
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return status == 0;
}

std::vector<std::wstring> ChildReport::lines() const {
  std::vector<std::wstring> lines;
  for (int waited = 0; waited < 20000; waited += 20) {
    if (const auto bytes = readFile(path_)) {
      std::wistringstream text(std::wstring(reinterpret_cast<const wchar_t*>(bytes->data()),
                                            bytes->size() / sizeof(wchar_t)));
      for (std::wstring line; std::getline(text, line);)
        lines.push_back(line);
      return lines;
    }
    Sleep(20);
  }
  return lines;
}

}  // namespace testsupport
