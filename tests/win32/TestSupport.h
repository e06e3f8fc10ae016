#pragma once
// Helpers for the adapter tests: scratch folders, file contents, and runs of this same test
// program as a child that reports how it was started.
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

// In a child run (main.cpp): writes its report and gives the exit status; nothing otherwise.
std::optional<int> reportIfChild();

// A child run's report, one line each: the arguments as the process port reads them,
// "directory|name" of the program, "process id show state" (-1: no show state given).
class ChildReport {
 public:
  ChildReport();  // from here on, programs started by this one report to this object
  ~ChildReport();
  ChildReport(const ChildReport&) = delete;
  ChildReport& operator=(const ChildReport&) = delete;
  // Starts `program` with exactly this command line and waits for its end; false on a failure.
  bool run(const std::wstring& commandLine, const std::wstring& program = selfPath()) const;
  // The report's lines (waits up to 20 s for them); empty when none came.
  std::vector<std::wstring> lines() const;

 private:
  std::wstring path_;
};

}  // namespace testsupport
