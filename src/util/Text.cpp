#include "util/Text.h"

#include <algorithm>
#include <cwctype>
#include <limits>

namespace text {

std::wstring trim(const std::wstring& s) {
  const auto first = s.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return std::wstring();
  const auto last = s.find_last_not_of(L' ');
  return s.substr(first, last - first + 1);
}

// Letters of the ASCII range fold without asking the C library, which matters for texts of
// many megabytes.
wchar_t fold(wchar_t c) {
  if (c < 0x80)
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

std::wstring toLower(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out)
    c = fold(c);
  return out;
}

bool endsWithNoCase(const std::wstring& s, const std::wstring& suffix) {
  return s.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(),
                    s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](wchar_t a, wchar_t b) { return fold(a) == fold(b); });
}

bool hasSeparator(const std::wstring& s) {
  return std::any_of(s.begin(), s.end(), isSeparator);
}

bool endsWithSeparator(const std::wstring& s) {
  return !s.empty() && isSeparator(s.back());
}

std::wstring withoutQuotes(const std::wstring& s) {
  std::wstring t = s;
  if (!t.empty() && t.back() == L'"')
    t.pop_back();
  if (!t.empty() && t.front() == L'"')
    t.erase(0, 1);
  return t;
}

bool containsNoCase(const std::wstring& haystack, const std::wstring& needle) {
  // Compares in place: no folded copy of the whole text.
  if (needle.empty())
    return true;
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                     [](wchar_t a, wchar_t b) { return fold(a) == fold(b); }) != haystack.end();
}

std::string toUtf8(std::wstring_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = static_cast<char32_t>(s[i]);
    // UTF-16 (Windows) keeps characters beyond the BMP as surrogate pairs.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
      const char32_t low = static_cast<char32_t>(s[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::optional<int> toInt32(const std::wstring& s) {
  const std::wstring t = trim(s);
  if (t.empty())
    return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (t[0] == L'-' || t[0] == L'+') {
    negative = t[0] == L'-';
    i = 1;
  }
  if (i == t.size())
    return std::nullopt;
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < L'0' || t[i] > L'9')
      return std::nullopt;
    value = value * 10 + (t[i] - L'0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace text
