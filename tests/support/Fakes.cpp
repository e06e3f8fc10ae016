#include "support/Fakes.h"

#include <algorithm>
#include <cwctype>
#include <ostream>
#include <string_view>

#include "util/Text.h"

namespace fake {

namespace {
using namespace platform::error;
using platform::attr::kDirectory;

bool isExtended(const std::wstring& path) {
  return path.rfind(L"\\\\?\\", 0) == 0;
}

std::optional<std::wstring> parentKey(const std::wstring& k) {
  const auto pos = k.rfind(L'\\');
  return pos == std::wstring::npos ? std::nullopt : std::optional(k.substr(0, pos));
}
}  // namespace

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{" << text::toUtf8(box.text) << ", " << box.style << ", " << text::toUtf8(box.title)
       << "}";
}

void PrintTo(const FakeProcess::Started& s, std::ostream* out) {
  *out << "{" << text::toUtf8(s.commandLine) << ", " << s.showState << ", "
       << text::toUtf8(s.application) << "}";
}

int FakeDialogs::messageBox(const std::wstring& text, int style, const std::wstring& title) {
  shown.push_back(Box{text, style, title.empty() ? std::wstring(platform::kProgramTitle) : title});
  if (!answers.empty()) {
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  const int buttons = style & 0x0F;
  if (buttons == platform::box::kYesNo || buttons == 3)
    return platform::answer::kNo;
  return platform::answer::kOk;
}

util::Status FakeClipboard::clear() {
  if (!isOpen)
    return 5;
  formats.clear();
  standardNumbers.clear();
  textContent.reset();
  picture.reset();
  pngContent.reset();
  rtfContent.reset();
  files.reset();
  return {};
}

std::wstring FakeFileSystem::key(const std::wstring& path) {
  std::wstring k;
  // The form without a length limit names the same file; "/" is "\", and a run of separators
  // past the start (where two begin a network path) is one.
  for (wchar_t c : isExtended(path) ? path.substr(4) : path) {
    c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (c != L'\\' || k.size() < 2 || k.back() != L'\\')
      k.push_back(c);
  }
  while (k.size() > 2 && k.back() == L'\\')
    k.pop_back();
  return k;
}

std::uint32_t FakeFileSystem::checkName(const std::wstring& whole) {
  // Like Windows: a name of at most 255 characters, a path of at most 259 unless it takes the
  // form without that limit; no control characters, wildcards, quotes or pipes, and a colon only
  // after the drive letter.
  const bool extended = isExtended(whole);
  const std::wstring path = extended ? whole.substr(4) : whole;
  if (!extended && path.size() > 259)
    return kFileNameTooLong;
  std::size_t component = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t c = path[i];
    component = c == L'\\' || c == L'/' ? 0 : component + 1;
    if (component > 255)
      return kFileNameTooLong;
    if (c < 0x20 || std::wstring_view(L"*?\"<>|").find(c) != std::wstring_view::npos ||
        (c == L':' && i != 1)) {
      return kInvalidName;
    }
  }
  return 0;
}

bool FakeFileSystem::inDirectory(const std::wstring& k) const {
  const auto parent = parentKey(k);
  const auto it = parent ? entries_.find(*parent) : entries_.end();
  return it != entries_.end() && it->second.directory;
}

// Why an existing entry cannot be written over, replaced or deleted; 0 when it can.
std::uint32_t FakeFileSystem::unchangeable(const std::wstring& k) const {
  const Entry& e = entries_.at(k);
  if (e.directory || (e.attributes & platform::attr::kReadOnly))
    return kAccessDenied;
  return locked.count(k) ? kSharingViolation : 0;
}

void FakeFileSystem::put(const std::wstring& path, Entry entry) {
  const std::wstring k = key(path);
  if (const auto parent = parentKey(k); parent && !entries_.count(*parent)) {
    // The path up to its last separator (trailing ones aside) names the parent.
    const std::wstring up =
        path.substr(0, path.find_last_of(L"\\/", path.find_last_not_of(L"\\/")));
    if (key(up).size() < k.size())
      addDirectory(up);
  }
  entries_[k] = std::move(entry);
}

void FakeFileSystem::addDrive(wchar_t letter) {
  entries_[key(std::wstring(1, letter) + L":")] =
      Entry{std::wstring(1, letter) + L":\\", true, kDirectory, {}};
}

void FakeFileSystem::addDirectory(const std::wstring& path, std::uint32_t attributes) {
  put(path, Entry{path, true, attributes | kDirectory, {}});
}

void FakeFileSystem::addFile(const std::wstring& path, const std::string& bytes,
                             std::uint32_t attributes) {
  put(path, Entry{path, false, attributes, bytes});
}

std::optional<std::string> FakeFileSystem::contents(const std::wstring& path) const {
  auto it = entries_.find(key(path));
  if (it == entries_.end() || it->second.directory)
    return std::nullopt;
  return it->second.bytes;
}

std::vector<std::wstring> FakeFileSystem::allPaths() const {
  std::vector<std::wstring> out;
  for (const auto& [k, e] : entries_)
    out.push_back(e.name);
  return out;
}

std::optional<std::uint32_t> FakeFileSystem::attributes(const std::wstring& path) {
  auto it = path.empty() || checkName(path) ? entries_.end() : entries_.find(key(path));
  return it == entries_.end() ? std::nullopt : std::optional(it->second.attributes);
}

platform::Lookup FakeFileSystem::findPlainFile(const std::wstring& path) {
  using enum platform::Lookup;
  if (path.empty())
    return NotFound;
  if (checkName(path) != 0)
    return Failed;
  const bool inside = path.back() == L'\\' || path.back() == L'/';
  const std::wstring k = key(path);
  for (const auto& [name, e] : entries_) {
    const bool plain =
        !e.directory && !(e.attributes & (platform::attr::kHidden | platform::attr::kSystem));
    if (plain && (inside ? parentKey(name) == k : name == k))
      return Found;
  }
  return NotFound;
}

platform::Lookup FakeFileSystem::findFile(const std::wstring& path) {
  using enum platform::Lookup;
  if (path.empty())
    return NotFound;
  if (checkName(path) != 0)
    return Failed;
  auto it = entries_.find(key(path));
  return it != entries_.end() && !it->second.directory ? Found : NotFound;
}

util::Status FakeFileSystem::createNewFile(const std::wstring& path) {
  if (exists(path))
    return kFileExists;
  const auto fault = std::move(writeFault);  // the file's content is what a fault is about
  writeFault = nullptr;
  const util::Status error = writeFile(path, "");
  writeFault = fault;
  return error;
}

util::Status FakeFileSystem::flushFile(const std::wstring& path) {
  auto it = entries_.find(key(path));
  if (it == entries_.end() || it->second.directory)
    return kFileNotFound;
  if (it->second.attributes & platform::attr::kReadOnly)
    return kAccessDenied;  // it is opened for writing
  it->second.flushed = true;
  return 0;
}

util::Status FakeFileSystem::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  auto it = entries_.find(key(path));
  if (it == entries_.end())
    return kFileNotFound;
  it->second.attributes = attributes | (it->second.directory ? kDirectory : 0);
  return 0;
}

util::Status FakeFileSystem::createDirectory(const std::wstring& path) {
  if (const auto bad = checkName(path))
    return bad;
  const std::wstring k = key(path);
  if (entries_.count(k))
    return kAlreadyExists;
  if (!inDirectory(k))
    return kPathNotFound;
  std::wstring name = path;
  while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/'))
    name.pop_back();
  entries_[k] = Entry{name, true, kDirectory, {}};
  return 0;
}

util::Status FakeFileSystem::writeFile(const std::wstring& path, const std::string& bytes) {
  if (path.empty())
    return kPathNotFound;
  if (const auto bad = checkName(path))
    return bad;
  if (path.back() == L'\\' || path.back() == L'/')
    return kInvalidName;
  const std::wstring k = key(path);
  if (!inDirectory(k))
    return kPathNotFound;
  if (const auto fault = writeFault ? writeFault(path) : 0)
    return fault;
  if (entries_.count(k)) {
    if (const auto error = unchangeable(k))
      return error;
    entries_[k].bytes = bytes;
  } else {
    entries_[k] = Entry{path, false, platform::attr::kArchive, bytes};
  }
  entries_[k].flushed = false;
  return 0;
}

util::Status FakeFileSystem::replaceFile(const std::wstring& from, const std::wstring& to) {
  if (const auto bad = checkName(to))
    return bad;
  const std::wstring src = key(from), dst = key(to);
  if (!entries_.count(src))
    return kFileNotFound;
  if (const auto error = entries_.count(dst) ? unchangeable(dst) : 0)
    return error;
  Entry moved = entries_[src];
  unflushedReplaces += !moved.flushed;
  moved.name = to;
  entries_.erase(src);
  entries_[dst] = moved;
  return 0;
}

util::Status FakeFileSystem::deleteFile(const std::wstring& path) {
  if (const auto bad = checkName(path))
    return bad;
  const std::wstring k = key(path);
  if (!entries_.count(k))
    return kFileNotFound;
  if (const auto error = unchangeable(k))
    return error;
  entries_.erase(k);
  return 0;
}

util::Status FakeFileSystem::openForReading(const std::wstring& path, std::uint64_t& size) {
  const auto it = checkName(path) ? entries_.end() : entries_.find(key(path));
  if (it == entries_.end())
    return kFileNotFound;
  if (it->second.directory)
    return kAccessDenied;
  if (locked.count(it->first))
    return kSharingViolation;
  size = it->second.bytes.size();
  return 0;
}

std::optional<std::string> FakeCodepage::toAnsiExact(std::wstring_view text) {
  // Latin-1 and the euro sign, enough of windows-1252 for the tests' texts.
  std::string out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    if (c == 0x20AC)
      out.push_back('\x80');
    else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
      out.push_back(static_cast<char>(c));
    else
      return std::nullopt;
  }
  return out;
}

}  // namespace fake
