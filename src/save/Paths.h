#pragma once
#include <string>

#include "platform/FileSystem.h"

// Path and file-name helpers shared by the savers, the refresh and the directory field.
// Paths may use "\" or "/"; the helpers never convert one into the other. A blank is U+0020.

// Creates every missing directory of the path up to its last separator; reports nothing.
void EnsureDirectoryPath(platform::FileSystem& fs, const std::wstring& path);
// The part after the last separator ("\", or "/" when the path has no "\" at all).
std::wstring GetFileNamePart(const std::wstring& path);
// The name of the folder a path denotes (the holding folder for a name with a 3-letter extension).
std::wstring GetFolderName(const std::wstring& path);
// The directory part with its trailing separator; an existing directory given with its
// separator comes back unchanged.
std::wstring GetDirectoryPart(platform::FileSystem& fs, const std::wstring& path);
// Appends "\" (or "/" for a "/"-only path) unless present; a closing double quote stays last.
std::wstring AddTrailingSeparator(const std::wstring& path);
// Trims the path and wraps it in double quotes when it holds a blank and no quote.
std::wstring QuoteIfSpaced(const std::wstring& path);
// Replaces every occurrence of find (letter case ignored) with the replacement; linear time.
std::wstring ReplaceText(const std::wstring& text, const std::wstring& find,
                         const std::wstring& replacement);
