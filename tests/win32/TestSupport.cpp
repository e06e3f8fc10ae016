#include "TestSupport.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace testsupport {

namespace {

constexpr wchar_t kModeVariable[] = L"BRIMLO_TEST_CHILD";
constexpr wchar_t kOutputVariable[] = L"BRIMLO_TEST_CHILD_OUTPUT";

std::map<std::wstring, ChildMain>& modes() {
  static std::map<std::wstring, ChildMain> all;
  return all;
}

// An environment variable's value, or nothing when it is not set.
std::optional<std::wstring> environment(const wchar_t* name) {
  wchar_t buffer[2048];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
  if (length == 0 || length >= 2048)
    return std::nullopt;
  return std::wstring(buffer, length);
}

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

ChildMode::ChildMode(const wchar_t* name, ChildMain main) {
  modes()[name] = main;
}

std::optional<int> runChildModeIfAsked() {
  const auto mode = environment(kModeVariable);
  if (!mode)
    return std::nullopt;
  const auto found = modes().find(*mode);
  if (found == modes().end())
    return 99;
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::vector<std::wstring> args(argv + 1, argv + count);
  LocalFree(argv);
  return found->second(args);
}

void writeChildOutput(const std::wstring& text) {
  const auto path = environment(kOutputVariable);
  if (!path)
    return;
  makeFile(*path + L".part",
           std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
  // Appears complete or not at all for the parent.
  MoveFileExW((*path + L".part").c_str(), path->c_str(), MOVEFILE_REPLACE_EXISTING);
}

Child::Child(const std::wstring& mode, const std::optional<std::wstring>& commandLine,
             const std::wstring& application)
    : outputPath_(uniqueTempPath(L"child") + L".out") {
  SetEnvironmentVariableW(kModeVariable, mode.c_str());
  SetEnvironmentVariableW(kOutputVariable, outputPath_.c_str());
  if (!commandLine)
    return;
  std::wstring line = *commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &started)) {
    CloseHandle(started.hThread);
    process_ = started.hProcess;
  }
  SetEnvironmentVariableW(kModeVariable, nullptr);
  SetEnvironmentVariableW(kOutputVariable, nullptr);
}

Child::~Child() {
  if (process_) {
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0)
      TerminateProcess(process_, 1);
    CloseHandle(process_);
  }
  SetEnvironmentVariableW(kModeVariable, nullptr);
  SetEnvironmentVariableW(kOutputVariable, nullptr);
  DeleteFileW(outputPath_.c_str());
}

std::optional<DWORD> Child::wait(DWORD timeoutMs) {
  DWORD status = 0;
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &status)) {
    return std::nullopt;
  }
  return status;
}

std::optional<std::wstring> Child::output(DWORD timeoutMs) const {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (const auto bytes = readFile(outputPath_)) {
      return std::wstring(reinterpret_cast<const wchar_t*>(bytes->data()),
                          bytes->size() / sizeof(wchar_t));
    }
    if (GetTickCount64() >= deadline)
      return std::nullopt;
    Sleep(20);
  }
}

}  // namespace testsupport
