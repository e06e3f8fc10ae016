#include "platform/win32/Adapters.h"

namespace win32 {

std::optional<std::string> AnsiCodepage::toAnsiExact(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  // Best-fit mappings (e.g. a Greek alpha written as "a") would change the text silently.
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr,
                                       0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), size, nullptr,
                      &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

}  // namespace win32
