// The path helpers on arbitrary names: no crash, no sanitizer report, and the properties the
// savers and the directory field rely on.
#include <set>

#include "FuzzInput.h"
#include "save/Paths.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using fake::FakeFileSystem;
using fuzz::check;

// The tests' file system, counting every call that writes, moves or removes a file.
struct FileSystem : FakeFileSystem {
  int fileChanges = 0;
  util::Status createNewFile(const std::wstring& p) override {
    ++fileChanges;
    return FakeFileSystem::createNewFile(p);
  }
  util::Status writeFile(const std::wstring& p, const std::string& b) override {
    ++fileChanges;
    return FakeFileSystem::writeFile(p, b);
  }
  util::Status flushFile(const std::wstring& p) override {
    ++fileChanges;
    return FakeFileSystem::flushFile(p);
  }
  util::Status setAttributes(const std::wstring& p, std::uint32_t a) override {
    ++fileChanges;
    return FakeFileSystem::setAttributes(p, a);
  }
  util::Status replaceFile(const std::wstring& from, const std::wstring& to) override {
    ++fileChanges;
    return FakeFileSystem::replaceFile(from, to);
  }
  util::Status deleteFile(const std::wstring& p) override {
    ++fileChanges;
    return FakeFileSystem::deleteFile(p);
  }
  // Each entry with its attributes, by the key the file system finds it under.
  std::map<std::wstring, std::uint32_t> entries() {
    std::map<std::wstring, std::uint32_t> out;
    for (const std::wstring& p : allPaths())
      out[key(p)] = attributes(p).value_or(0);
    return out;
  }
};

bool isSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool hasSeparator(const std::wstring& s) {
  return s.find_first_of(L"\\/") != std::wstring::npos;
}

bool has(const std::wstring& s, wchar_t c) {
  return s.find(c) != std::wstring::npos;
}

bool startsWith(const std::wstring& s, const std::wstring& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

void checkFileNamePart(const std::wstring& path) {
  const std::wstring name = GetFileNamePart(path);
  const wchar_t separator = has(path, L'\\') || !has(path, L'/') ? L'\\' : L'/';
  check(!has(name, separator), "GetFileNamePart holds no separator of its kind", {path, name});
  check(path.size() >= name.size() && path.ends_with(name), "GetFileNamePart is the path's end",
        {path, name});
  const std::wstring rest = path.substr(0, path.size() - name.size());
  check(rest.empty() || rest.back() == separator, "GetFileNamePart starts after a separator",
        {path, name});
}

void checkTrailingSeparator(const std::wstring& path) {
  const std::wstring once = AddTrailingSeparator(path);
  check(AddTrailingSeparator(once) == once, "AddTrailingSeparator is idempotent", {path, once});
  check(once.size() <= path.size() + 1, "AddTrailingSeparator adds one character at most",
        {path, once});
  const bool quoted = !path.empty() && path.back() == L'"';
  const std::wstring bare = quoted ? path.substr(0, path.size() - 1) : path;
  const std::wstring bareOnce = quoted ? once.substr(0, once.size() - 1) : once;
  check(!quoted || once.back() == L'"', "a closing quote stays last", {path, once});
  check(startsWith(bareOnce, bare), "AddTrailingSeparator keeps the path in front", {path, once});
  if (hasSeparator(bare)) {
    check(isSeparator(bareOnce.back()), "a path with a separator ends in one", {path, once});
    // The name part of a directory path is empty: the saved name goes right after it.
    if (!quoted)
      check(GetFileNamePart(once).empty(), "no name after the added separator", {path, once});
  }
}

void checkQuote(const std::wstring& path) {
  const std::wstring quoted = QuoteIfSpaced(path);
  const std::wstring trimmed = text::trim(path);
  if (trimmed.empty()) {
    check(quoted == path, "an all-blank path comes back as it was", {path, quoted});
    return;
  }
  check(text::trim(quoted) == quoted, "QuoteIfSpaced's result is trimmed", {path, quoted});
  check(!has(quoted, L' ') || has(quoted, L'"'), "a path with a blank is quoted", {path, quoted});
  check(QuoteIfSpaced(quoted) == quoted, "QuoteIfSpaced is idempotent", {path, quoted});
  // The quotes, when added, hold the path without the blanks around it: the shell would take
  // those as part of the file name.
  check(quoted == trimmed || quoted == L"\"" + trimmed + L"\"", "the quotes hold the trimmed path",
        {path, quoted});
}

void checkFolderName(const std::wstring& path) {
  const std::wstring folder = GetFolderName(path);
  const std::wstring trimmed = text::trim(path);
  check(trimmed.find(folder) != std::wstring::npos, "GetFolderName is part of the path",
        {path, folder});
  if (!hasSeparator(trimmed))
    check(folder == trimmed, "a bare name is its own folder", {path, folder});
  // A directory named with or without its trailing separator is the same folder. One kind of
  // separator only: the two helpers choose differently in mixed paths. A root-sized result
  // ("C:\") keeps its separator on purpose.
  const bool oneKind = has(trimmed, L'\\') != has(trimmed, L'/');
  const std::wstring withSeparator = AddTrailingSeparator(trimmed);
  // A path whose folder cannot be told comes back whole, its separator included.
  if (oneKind && trimmed == path && path.back() != L'"' && withSeparator != path &&
      withSeparator.size() > 3) {
    std::wstring other = GetFolderName(withSeparator);
    if (other.size() == withSeparator.size())
      other.pop_back();
    check(other == folder, "a trailing separator names the same folder", {path, folder, other});
  }
}

void checkDirectoryPart(FileSystem& fs, const std::wstring& path) {
  const auto before = fs.entries();
  const std::wstring dir = GetDirectoryPart(fs, path);
  check(fs.entries() == before && fs.fileChanges == 0, "GetDirectoryPart changes nothing",
        {path, dir});
  check(path.find(dir) != std::wstring::npos, "GetDirectoryPart is part of the path", {path, dir});
  if (!hasSeparator(path)) {
    check(dir == path, "a path without a separator comes back as it was", {path, dir});
    return;
  }
  check(isSeparator(dir.back()), "GetDirectoryPart ends in a separator", {path, dir});
  // An existing directory given with its separator is taken as it is, blanks and all.
  check(dir == path || text::trim(dir) == dir, "GetDirectoryPart is trimmed", {path, dir});
  check(GetDirectoryPart(fs, dir) == dir, "GetDirectoryPart is idempotent", {path, dir});
}

void checkEnsureDirectory(FileSystem& fs, const std::wstring& path) {
  const auto before = fs.entries();
  EnsureDirectoryPath(fs, path);
  check(fs.fileChanges == 0, "EnsureDirectoryPath writes no file", {path});

  std::set<std::wstring> levels;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (isSeparator(path[i]))
      levels.insert(FakeFileSystem::key(path.substr(0, i)));
  }
  const auto after = fs.entries();
  for (const auto& [k, attributes] : before) {
    check(after.count(k) && after.at(k) == attributes, "an existing entry stays as it was",
          {path, k});
  }
  for (const auto& [k, attributes] : after) {
    check(before.count(k) || ((attributes & platform::attr::kDirectory) && levels.count(k)),
          "only the path's own levels are created", {path, k});
  }
  // Every level up to the last separator exists afterwards, up to the first one that cannot be
  // made (a refused name, a file in the way, a drive that is not there).
  for (std::size_t i = 0; i < path.size(); ++i) {
    const std::wstring level = path.substr(0, i);
    if (!isSeparator(path[i]) || FakeFileSystem::key(level).empty() ||
        (fs.attributes(level).value_or(0) & platform::attr::kDirectory)) {
      continue;
    }
    check(fs.createDirectory(level) != 0, "every level up to the last separator exists",
          {path, level});
    break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::wstring path = in.field();

  checkFileNamePart(path);
  checkTrailingSeparator(path);
  checkQuote(path);
  checkFolderName(path);

  // The rest of the input furnishes the file system (drives C: and D:): up to four entries, each
  // a kind and a name: a directory, a file, a hidden file, a read-only directory.
  FileSystem fs;
  fs.addDrive(L'D');
  for (int n = 0; n < 4 && !in.done(); ++n) {
    const std::uint8_t kind = in.flag() % 4;
    const std::wstring name = in.field();
    const bool made = kind % 3 == 0 ? fs.createDirectory(name) == 0 : fs.writeFile(name, "") == 0;
    const std::uint32_t attributes[] = {0, 0, platform::attr::kHidden, platform::attr::kReadOnly};
    if (made && attributes[kind] != 0 && fs.setAttributes(name, attributes[kind]) != 0)
      return 0;
  }
  fs.fileChanges = 0;
  checkDirectoryPart(fs, path);
  checkEnsureDirectory(fs, path);
  return 0;
}
