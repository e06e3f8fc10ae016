#pragma once
#include <optional>
#include <string>
#include <string_view>

// Small text operations shared by the whole program. A blank is U+0020 only.
namespace text {

std::wstring trim(const std::wstring& s);
// Letter case folded one character at a time (ASCII directly, the rest as towlower does).
wchar_t fold(wchar_t c);
std::wstring toLower(const std::wstring& s);
bool containsNoCase(const std::wstring& haystack, const std::wstring& needle);
bool endsWithNoCase(const std::wstring& s, const std::wstring& suffix);
// Paths take "\" and "/" alike as separators.
inline bool isSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}
bool hasSeparator(const std::wstring& s);
bool endsWithSeparator(const std::wstring& s);
// The text without one trailing and one leading double quote (each where present).
std::wstring withoutQuotes(const std::wstring& s);
// UTF-8 of the text; unpaired surrogates become U+FFFD.
std::string toUtf8(std::wstring_view s);
// A whole decimal number in the 32-bit range, blanks around allowed; nothing otherwise.
std::optional<int> toInt32(const std::wstring& s);

}  // namespace text
