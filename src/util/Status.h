#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace util {

// How a step that can fail ended: success, or the system's error code with, where the code alone
// does not say it (a GDI+ status, a shell result, a module's own reason), the user's text for it.
// Only the window layer shows one; none may be dropped unread.
class [[nodiscard]] Status {
 public:
  static constexpr std::uint32_t kNoCode = 0xFFFFFFFF;  // a failure the system gave no code for

  Status() = default;
  Status(std::uint32_t code) : code_(code) {}  // NOLINT(google-explicit-constructor): 0 is success
  Status(std::uint32_t code, std::wstring text) : code_(code), text_(std::move(text)) {}
  [[nodiscard]] bool ok() const { return code_ == 0; }
  [[nodiscard]] std::uint32_t code() const { return code_; }
  [[nodiscard]] const std::wstring& text() const { return text_; }
  // The same outcome: the text only tells it.
  bool operator==(const Status& other) const { return code_ == other.code_; }

 private:
  std::uint32_t code_ = 0;
  std::wstring text_;
};

}  // namespace util
