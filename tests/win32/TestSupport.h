#pragma once
// Helpers for the adapter tests: scratch folders, file contents, and child processes that are
// this same test program started in a child mode.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Full path of the running test program.
std::wstring selfPath();

// A fresh folder under the user's temporary folder, removed with everything in it.
class TempDir {
 public:
  explicit TempDir(const std::wstring& label);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder, without a trailing separator.
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Creates a file with these bytes and attributes (FILE_ATTRIBUTE_*); true on success.
bool makeFile(const std::wstring& path, const std::string& bytes,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// The whole file, or nothing when it cannot be read (or is not there).
std::optional<std::string> readFile(const std::wstring& path);

// A child mode: receives the arguments after the program path, returns the exit status.
using ChildMain = int (*)(const std::vector<std::wstring>& args);
struct ChildMode {
  ChildMode(const wchar_t* name, ChildMain main);
};
// Runs the child mode named by the environment, if any; its status then ends the program.
std::optional<int> runChildModeIfAsked();
// In a child: hands a text back to the parent.
void writeChildOutput(const std::wstring& text);

// A child started by the parent. Its environment names the mode and the file for its output.
class Child {
 public:
  // Starts `application` (this test program by default) with the complete command line; with
  // no command line it starts nothing, for a child that someone else starts.
  explicit Child(const std::wstring& mode, const std::optional<std::wstring>& commandLine = {},
                 const std::wstring& application = selfPath());
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  // Waits for the end; returns the exit status, or nothing on a time-out.
  std::optional<DWORD> wait(DWORD timeoutMs = 30000);
  // What the child wrote with writeChildOutput (waits up to timeoutMs for it to appear).
  std::optional<std::wstring> output(DWORD timeoutMs = 0) const;

 private:
  std::wstring outputPath_;
  HANDLE process_ = nullptr;
};

}  // namespace testsupport
