#pragma once
#include <optional>
#include <string>

namespace platform {

// The system's ANSI code page, as files of this program have always been written in it.
class Codepage {
 public:
  virtual ~Codepage() = default;
  // The text in the ANSI code page, or nothing when a character has no exact equivalent there.
  virtual std::optional<std::string> toAnsiExact(const std::wstring& text) = 0;
};

}  // namespace platform
