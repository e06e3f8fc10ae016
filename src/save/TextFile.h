#pragma once
#include <string>
#include <string_view>

#include "platform/Codepage.h"

// The bytes of a text file: the text in the ANSI code page when it fits exactly, otherwise
// UTF-8 with a byte-order mark, so no character is ever lost; then one CR LF.
std::string EncodeTextFile(platform::Codepage& codepage, std::wstring_view text);
