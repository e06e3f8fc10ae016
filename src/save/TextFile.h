#pragma once
#include <cstdint>
#include <string>

#include "platform/Codepage.h"
#include "platform/FileSystem.h"

// The bytes of a text file: the text in the ANSI code page when it fits exactly, otherwise
// UTF-8 with a byte-order mark, so no character is ever lost; then one CR LF.
std::string EncodeTextFile(platform::Codepage& codepage, const std::wstring& text);

// Writes a complete file next to the target and swaps it in, so a failed save leaves an
// existing target as it was. Returns 0 or the platform's error code.
std::uint32_t WriteFileSafely(platform::FileSystem& fs, const std::wstring& target,
                              const std::string& bytes);

// The name of the file a save writes first, before it replaces the target.
std::wstring TemporaryNameFor(const std::wstring& target);

// Checks that a target names a file that can be written: not empty, not a directory, not a
// device such as CON or COM1.
// Returns 0 or the platform's error code that describes why not.
std::uint32_t CheckTarget(platform::FileSystem& fs, const std::wstring& target);
