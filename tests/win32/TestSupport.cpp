#include "TestSupport.h"

#include <shellapi.h>

#include <map>

namespace testsupport {

namespace {

constexpr wchar_t kModeVariable[] = L"BRIMLO_TEST_CHILD";
constexpr wchar_t kOutputVariable[] = L"BRIMLO_TEST_CHILD_OUTPUT";

std::map<std::wstring, ChildMain>& modes() {
  static std::map<std::wstring, ChildMain> all;
  return all;
}

// A new name under the user's temporary folder.
std::wstring uniqueTempPath(const std::wstring& label) {
  static int counter = 0;
  wchar_t buffer[MAX_PATH + 1] = {};
  std::wstring path(buffer, GetTempPathW(MAX_PATH + 1, buffer));
  if (!path.empty() && path.back() == L'\\')
    path.pop_back();
  return path + L"\\brimlo-" + label + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

void removeTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..")
      removeTree(path + L"\\" + name);
  }
  if (search != INVALID_HANDLE_VALUE)
    FindClose(search);
  RemoveDirectoryW(path.c_str());
}

}  // namespace

std::wstring selfPath() {
  wchar_t buffer[32768];
  return std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, 32768));
}

std::optional<std::wstring> environment(const wchar_t* name) {
  wchar_t buffer[2048];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
  if (length == 0 || length >= 2048)
    return std::nullopt;
  return std::wstring(buffer, length);
}

TempDir::TempDir(const std::wstring& label) : path_(uniqueTempPath(label)) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
  removeTree(path_);
}

bool makeFile(const std::wstring& path, const std::string& bytes, DWORD attributes) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return ok && SetFileAttributesW(path.c_str(), attributes);
}

std::optional<std::string> readFile(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
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
  const std::string bytes(reinterpret_cast<const char*>(text.data()),
                          text.size() * sizeof(wchar_t));
  makeFile(*path + L".part", bytes);
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
  startup.cb = sizeof(startup);
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
