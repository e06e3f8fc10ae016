#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The system's ANSI code page, as files of this program have always been written in it.
class Codepage {
 public:
  virtual ~Codepage() = default;
  // The text in the ANSI code page, or nothing when a character has no exact equivalent there.
  virtual std::optional<std::string> toAnsiExact(std::wstring_view text) = 0;
};

}  // namespace platform
