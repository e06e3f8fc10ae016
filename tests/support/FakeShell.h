#pragma once
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Shell.h"

namespace fake {

// Declared in support/Fakes.h, which includes this header for its TestPlatform.
class FakeFileSystem;

// The shell over the fake file system: associations by extension, copies recorded and applied.
class FakeShell : public platform::Shell {
 public:
  explicit FakeShell(FakeFileSystem& fs) : fs_(fs) {}
  util::Status findExecutable(const std::wstring& file, std::wstring& program) override;
  platform::FileCopyResult copyFile(const platform::FileCopy& copy) override;

  // Extension in lower case with its dot (".txt") -> program path.
  std::map<std::wstring, std::wstring> associations{{L".txt", L"C:\\Windows\\notepad.exe"},
                                                    {L".html", L"C:\\Windows\\winebrowser.exe"}};
  std::vector<std::wstring> lookups;  // every file asked about, in order
  // Answers (code, program text) for the next lookups, given before the file system decides; the
  // real shell may leave text behind on failure.
  std::deque<std::pair<std::uint32_t, std::wstring>> scriptedLookups;
  std::vector<platform::FileCopy> copies;
  // Scripted outcome of the next copies (default: success, applied to the file system).
  std::vector<platform::FileCopyResult> copyResults;

 private:
  FakeFileSystem& fs_;
};

}  // namespace fake
