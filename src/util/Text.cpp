#include "util/Text.h"

#include <cwctype>
#include <limits>

namespace text {

std::wstring trim(const std::wstring& s) {
  const auto first = s.find_first_not_of(L' ');
  if (first == std::wstring::npos) return std::wstring();
  const auto last = s.find_last_not_of(L' ');
  return s.substr(first, last - first + 1);
}

std::wstring toLower(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

bool containsNoCase(const std::wstring& haystack, const std::wstring& needle) {
  return toLower(haystack).find(toLower(needle)) != std::wstring::npos;
}

std::optional<int> toInt32(const std::wstring& s) {
  const std::wstring t = trim(s);
  if (t.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (t[0] == L'-' || t[0] == L'+') {
    negative = t[0] == L'-';
    i = 1;
  }
  if (i == t.size()) return std::nullopt;
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < L'0' || t[i] > L'9') return std::nullopt;
    value = value * 10 + (t[i] - L'0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace text
