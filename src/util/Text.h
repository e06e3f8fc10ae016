#pragma once
#include <optional>
#include <string>

// Small text operations shared by the whole program. A blank is U+0020 only.
namespace text {

std::wstring trim(const std::wstring& s);
std::wstring toLower(const std::wstring& s);
bool containsNoCase(const std::wstring& haystack, const std::wstring& needle);
// UTF-8 of the text; unpaired surrogates become U+FFFD.
std::string toUtf8(const std::wstring& s);
// A whole decimal number in the 32-bit range, blanks around allowed; nothing otherwise.
std::optional<int> toInt32(const std::wstring& s);

}  // namespace text
