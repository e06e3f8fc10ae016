#pragma once
#include <cstdint>
#include <string>

#include "util/Status.h"

namespace platform {

// Codes of a failed executable lookup; 2 means "file not found".
constexpr std::uint32_t kFindExecutableFileNotFound = 2;
constexpr std::uint32_t kFindExecutableNoAssociation = 31;

// Flags of the shell's file operation.
namespace copyflag {
constexpr std::uint32_t kNoConfirmation = 0x0010;  // nothing asked before replacing a file
constexpr std::uint32_t kSimpleProgress = 0x0100;  // the progress window shows its title only
constexpr std::uint32_t kNoConfirmMkdir = 0x0200;  // a missing directory is made without asking
}  // namespace copyflag

// One copy of the shell's file operation.
struct FileCopy {
  std::uintptr_t ownerWindow = 0;
  std::wstring source;       // one path
  std::wstring destination;  // the prepared directory followed by the file name
  std::uint32_t flags = 0;   // FOF_* bits
  std::wstring progressTitle;
};

struct FileCopyResult {
  int code = 0;          // the shell's return value, 0 for success
  bool aborted = false;  // the user cancelled the progress window
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The program the shell associates with a file (FindExecutable, no default directory).
  // Sets the program path (empty on failure); a failure carries the shell's code.
  virtual util::Status findExecutable(const std::wstring& file, std::wstring& program) = 0;
  // Copies one file with the shell's own progress window; the lists are single paths.
  [[nodiscard]] virtual FileCopyResult copyFile(const FileCopy& copy) = 0;
};

}  // namespace platform
