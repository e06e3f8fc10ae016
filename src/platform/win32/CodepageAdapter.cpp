#include "platform/win32/Adapters.h"

#include <algorithm>

namespace win32 {

namespace {
constexpr UINT kGb18030 = 54936;
}  // namespace

std::optional<std::string> AnsiCodepage::toAnsiExact(std::wstring_view text) {
  if (text.empty())
    return std::string();
  const int length = static_cast<int>(text.size());
  const UINT page = codePage_ != 0 ? codePage_ : GetACP();
  // UTF-8 and GB18030 hold every character, and Windows refuses the exactness flags for them:
  // the text converts as it is (only a broken surrogate pair fails).
  if (page == CP_UTF8 || page == kGb18030) {
    const DWORD flags = page == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
    const int size =
        WideCharToMultiByte(page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
      return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(page, flags, text.data(), length, out.data(), size, nullptr, nullptr) !=
        size) {
      return std::nullopt;
    }
    return out;
  }
  BOOL usedDefault = FALSE;
  // Best-fit mappings (e.g. a Greek alpha written as "a") would change the text silently. A code
  // page that refuses the check fails the conversion, and the text goes out as UTF-8.
  const int size = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0,
                                       nullptr, &usedDefault);
  if (size <= 0 || usedDefault)
    return std::nullopt;
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), size, nullptr,
                      &usedDefault);
  if (usedDefault)
    return std::nullopt;
  return out;
}

}  // namespace win32
