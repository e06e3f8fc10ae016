#pragma once
#include <cstddef>
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

// The rules Windows applies to names and paths, known here before any file is touched.
namespace paths {

// The longest path the system takes in its ordinary form.
constexpr std::size_t kMaxPath = 259;

// The path's last name is a device's (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9, LPT0 to
// LPT9), which Windows opens whatever extension and blanks follow ("CON.TXT" is the console).
bool namesDevice(const std::wstring& path);
// The path holds a character no Windows name may hold (* ? " < > |), or a colon anywhere but
// after the drive letter.
bool hasForbiddenCharacter(const std::wstring& path);
// The path in the form that has no length limit ("\\?\C:\..."), where it is too long for the
// ordinary form and can take the other one (a drive path with "\" only); else the path as it is.
std::wstring longPathForm(const std::wstring& path);

}  // namespace paths
