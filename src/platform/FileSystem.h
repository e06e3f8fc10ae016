#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// File attribute bits as the platform reports them.
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
}  // namespace attr

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
  // Creates one directory; returns 0 or the platform's error code (already-exists included).
  virtual std::uint32_t createDirectory(const std::wstring& path) = 0;
  // Creates or truncates the file and writes the bytes; returns 0 or the error code.
  virtual std::uint32_t writeFile(const std::wstring& path, const std::string& bytes) = 0;
  // Moves a complete file over the target, replacing it; returns 0 or the error code.
  virtual std::uint32_t replaceFile(const std::wstring& from, const std::wstring& to) = 0;
  // Deletes exactly the one file named; returns 0 or the error code.
  virtual std::uint32_t deleteFile(const std::wstring& path) = 0;
};

}  // namespace platform
