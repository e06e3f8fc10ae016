#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "util/Status.h"

namespace platform {

// File attribute bits as the platform reports them.
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;  // none of the others; only ever given alone
constexpr std::uint32_t kNotContentIndexed = 0x2000;
}  // namespace attr

// Error codes the program tells apart, with the platform's numbers.
namespace error {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kFileNameTooLong = 206;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kNoMoreItems = 259;
constexpr std::uint32_t kDirectoryNameInvalid = 267;
}  // namespace error

// What a plain file lookup found.
enum class Lookup { Found, NotFound, Failed };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The attributes of a file or directory; nothing when it does not exist or cannot be read.
  virtual std::optional<std::uint32_t> attributes(const std::wstring& path) = 0;
  // Looks for a visible, non-system file (no directory) of that exact name; for a path that ends
  // in a separator, for any such file inside that directory. Wildcards are never expanded: a
  // name with "*" or "?" fails the lookup.
  virtual Lookup findPlainFile(const std::wstring& path) = 0;
  // Looks for a file (no directory) of that exact name, hidden and system files included; a name
  // the file system rejects fails the lookup.
  virtual Lookup findFile(const std::wstring& path) = 0;
  // Creates one directory; returns 0 or the platform's error code (already-exists included).
  virtual util::Status createDirectory(const std::wstring& path) = 0;
  // Creates an empty file that must not exist yet; returns 0, kFileExists, or the error code.
  virtual util::Status createNewFile(const std::wstring& path) = 0;
  // Creates or truncates the file and writes the bytes; returns 0 or the error code.
  virtual util::Status writeFile(const std::wstring& path, const std::string& bytes) = 0;
  // Flushes a file that something else wrote to the disk; returns 0 or the error code.
  virtual util::Status flushFile(const std::wstring& path) = 0;
  // Sets the attribute bits of a file; returns 0 or the error code.
  virtual util::Status setAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
  // Moves a complete file over the target, replacing it; returns 0 or the error code.
  virtual util::Status replaceFile(const std::wstring& from, const std::wstring& to) = 0;
  // Deletes exactly the one file named; returns 0 or the error code.
  virtual util::Status deleteFile(const std::wstring& path) = 0;
  // Opens a file for reading as a copy does, and gives its size; returns 0 or the error code
  // (another program holding it open, no such file).
  virtual util::Status openForReading(const std::wstring& path, std::uint64_t& size) = 0;
  // The bytes the user may still write to the volume of an existing directory; nothing when
  // the system does not say.
  virtual std::optional<std::uint64_t> freeSpace(const std::wstring& directory) = 0;
};

}  // namespace platform
