#include "save/Paths.h"

#include <cwctype>
#include <vector>

#include "util/Text.h"

namespace {

bool contains(const std::wstring& s, wchar_t c) {
  return s.find(c) != std::wstring::npos;
}

// A prefix that names no directory of its own: nothing, only separators ("\\server", "/abs"), or a
// bare drive ("C:").
bool isRootPart(const std::wstring& prefix) {
  if (prefix.find_first_not_of(L"\\/") == std::wstring::npos)
    return true;
  return prefix.size() == 2 && prefix[1] == L':';
}

}  // namespace

void EnsureDirectoryPath(platform::FileSystem& fs, const std::wstring& path) {
  // One level at a time: the platform creates a directory only inside an existing one.
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (!text::isSeparator(path[i]))
      continue;
    const std::wstring prefix = path.substr(0, i);
    if (isRootPart(prefix))
      continue;
    const auto attributes = fs.attributes(prefix);
    if (attributes && (*attributes & platform::attr::kDirectory) != 0)
      continue;
    // A level that cannot be made leaves the deeper ones failing too; the save that follows
    // reports the problem with the file's own name.
    (void)fs.createDirectory(prefix);
  }
}

std::wstring GetFileNamePart(const std::wstring& path) {
  const wchar_t separator = !contains(path, L'\\') && contains(path, L'/') ? L'/' : L'\\';
  const auto pos = path.rfind(separator);
  if (pos == std::wstring::npos)
    return path;
  return path.substr(pos + 1);
}

std::wstring GetFolderName(const std::wstring& path) {
  const wchar_t separator = contains(path, L'/') ? L'/' : L'\\';
  std::wstring trimmed = text::trim(path);
  if (trimmed.empty())
    return trimmed;

  std::wstring value = trimmed;
  // A root such as "C:\" keeps its separator.
  if (value.size() > 3 && value.back() == separator)
    value.pop_back();
  // A name with a three-letter extension is a file: its folder is the one holding it.
  const bool endsInFileName = value.size() >= 4 && value[value.size() - 4] == L'.';

  std::size_t end = std::wstring::npos;  // the separator after the folder name
  for (std::size_t i = value.size(); i-- > 0;) {
    if (value[i] != separator)
      continue;
    if (!endsInFileName)
      return value.substr(i + 1);
    if (end == std::wstring::npos) {
      end = i;
    } else {
      return value.substr(i + 1, end - i - 1);
    }
  }
  return trimmed;
}

std::wstring GetDirectoryPart(platform::FileSystem& fs, const std::wstring& path) {
  if (path.empty())
    return path;
  // A directory named with its separator that holds files is already the directory part.
  if (fs.findPlainFile(path) == platform::Lookup::Found) {
    const auto attributes = fs.attributes(path);
    if (attributes && (*attributes & platform::attr::kDirectory) != 0)
      return path;
  }

  const bool onlySlash = contains(path, L'\\') && contains(path, L'/');
  for (std::size_t i = path.size(); i-- > 0;) {
    const wchar_t c = path[i];
    if (onlySlash ? c == L'/' : text::isSeparator(c))
      return text::trim(path.substr(0, i + 1));
  }
  return path;
}

std::wstring AddTrailingSeparator(const std::wstring& path) {
  std::wstring rest = path;
  std::wstring quote;
  if (!rest.empty() && rest.back() == L'"') {
    rest.pop_back();
    quote = L"\"";
  }
  if (contains(rest, L'\\')) {
    if (rest.back() != L'\\')
      rest.push_back(L'\\');
  } else if (contains(rest, L'/')) {
    if (rest.back() != L'/')
      rest.push_back(L'/');
  }
  return rest + quote;
}

std::wstring QuoteIfSpaced(const std::wstring& path) {
  std::wstring trimmed = text::trim(path);
  if (trimmed.empty())
    return path;
  if (!contains(trimmed, L'"') && contains(trimmed, L' '))
    return L"\"" + trimmed + L"\"";
  return trimmed;
}

std::wstring ReplaceText(const std::wstring& text, const std::wstring& find,
                         const std::wstring& replacement) {
  if (find.empty() || find.size() > text.size())
    return text;

  // Knuth-Morris-Pratt over folded letters: every character of the text is looked at a bounded
  // number of times, however often the find text nearly matches (long runs of one letter).
  const std::size_t m = find.size();
  std::wstring pattern(m, L'\0');
  for (std::size_t k = 0; k < m; ++k)
    pattern[k] = text::fold(find[k]);
  std::vector<std::size_t> border(m, 0);
  for (std::size_t k = 1, len = 0; k < m;) {
    if (pattern[k] == pattern[len]) {
      border[k++] = ++len;
    } else if (len > 0) {
      len = border[len - 1];
    } else {
      border[k++] = 0;
    }
  }

  std::wstring out;
  out.reserve(text.size());
  std::size_t copied = 0;   // text before this index is already in out
  std::size_t matched = 0;  // length of the current partial match
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text::fold(text[i]);
    while (matched > 0 && c != pattern[matched])
      matched = border[matched - 1];
    if (c == pattern[matched])
      ++matched;
    if (matched == m) {
      const std::size_t start = i + 1 - m;
      out.append(text, copied, start - copied);
      out.append(replacement);
      copied = i + 1;
      // Occurrences do not overlap: the search goes on after this one.
      matched = 0;
    }
  }
  out.append(text, copied, std::wstring::npos);
  return out;
}

namespace paths {

bool namesDevice(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/:");
  std::wstring base = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
  base = base.substr(0, base.find(L'.'));
  while (!base.empty() && base.back() == L' ')
    base.pop_back();
  base = text::toLower(base);
  if (base == L"con" || base == L"prn" || base == L"aux" || base == L"nul" || base == L"conin$" ||
      base == L"conout$") {
    return true;
  }
  return base.size() == 4 && (base.rfind(L"com", 0) == 0 || base.rfind(L"lpt", 0) == 0) &&
         base[3] >= L'0' && base[3] <= L'9';
}

bool hasForbiddenCharacter(const std::wstring& path) {
  if (path.find_first_of(L"*?\"<>|") != std::wstring::npos)
    return true;
  const auto colon = path.rfind(L':');
  return colon != std::wstring::npos && colon != 1;
}

std::wstring longPathForm(const std::wstring& path) {
  const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  if (path.size() > kMaxPath && drivePath && path.find(L'/') == std::wstring::npos)
    return L"\\\\?\\" + path;
  return path;
}

}  // namespace paths
