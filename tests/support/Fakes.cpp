#include "support/Fakes.h"

#include <algorithm>
#include <cwctype>

namespace fake {

namespace {
using namespace platform::error;
}  // namespace

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

bool FakeProcess::setCurrentDirectory(const std::wstring& path) {
  currentDir = path;
  return true;
}

std::uint32_t FakeProcess::startProcess(const std::wstring& commandLine, int showState) {
  started.push_back(Started{commandLine, showState});
  return startSucceeds ? 4242 : 0;
}

std::wstring FakeProcess::errorText(std::uint32_t code) {
  return L"error " + std::to_wstring(code);
}

std::wstring FakeSettings::address(const std::wstring& app, const std::wstring& section,
                                   const std::wstring& key) {
  return app + L"\\" + section + L"\\" + key;
}

std::optional<std::wstring> FakeSettings::read(const std::wstring& app, const std::wstring& section,
                                               const std::wstring& key) {
  auto it = values.find(address(app, section, key));
  if (it == values.end())
    return std::nullopt;
  return it->second;
}

bool FakeSettings::write(const std::wstring& app, const std::wstring& section,
                         const std::wstring& key, const std::wstring& value) {
  ++writes;
  if (failWrites)
    return false;
  values[address(app, section, key)] = value;
  return true;
}

bool FakeClipboard::isFormatAvailable(platform::ClipFormat format) {
  return formats.count(format) != 0;
}

bool FakeClipboard::isStandardFormatAvailable(unsigned number) {
  using platform::ClipFormat;
  if (number == 0)
    return false;
  if (standardNumbers.count(number))
    return true;
  switch (number) {
    case 1:
      return formats.count(ClipFormat::Text) != 0;
    case 2:
      return formats.count(ClipFormat::Bitmap) != 0;
    case 3:
      return formats.count(ClipFormat::MetafilePict) != 0;
    case 8:
      return formats.count(ClipFormat::Dib) != 0;
    case 9:
      return formats.count(ClipFormat::Palette) != 0;
    case 15:
      return formats.count(ClipFormat::HDrop) != 0;
    default:
      return false;
  }
}

bool FakeClipboard::open() {
  if (heldByOther || isOpen)
    return false;
  isOpen = true;
  ++opens;
  return true;
}

void FakeClipboard::close() {
  if (isOpen)
    ++closes;
  isOpen = false;
}

bool FakeClipboard::hasFileList() {
  return isOpen && files.has_value();
}

std::uint32_t FakeClipboard::fileCount() {
  return isOpen && files ? static_cast<std::uint32_t>(files->size()) : 0;
}

std::optional<std::wstring> FakeClipboard::fileName(std::uint32_t index) {
  if (!isOpen || !files || index >= files->size() || unreadableNames.count(index))
    return std::nullopt;
  return (*files)[index];
}

std::shared_ptr<platform::Picture> FakeClipboard::bitmap() {
  if (!isOpen || !formats.count(platform::ClipFormat::Bitmap) || !picture)
    return nullptr;
  ++copies;
  return picture;
}

std::shared_ptr<platform::Picture> FakeClipboard::borrowedBitmap() {
  return isOpen && formats.count(platform::ClipFormat::Bitmap) ? picture : nullptr;
}

std::optional<std::wstring> FakeClipboard::text() {
  if (!isOpen)
    return std::nullopt;
  copies += textContent.has_value();
  return textContent;
}

std::optional<std::wstring_view> FakeClipboard::borrowedText() {
  if (!isOpen || !textContent)
    return std::nullopt;
  return std::wstring_view(*textContent);
}

std::optional<std::string> FakeClipboard::png() {
  return isOpen ? pngContent : std::nullopt;
}

bool FakeClipboard::clear() {
  if (!isOpen)
    return false;
  formats.clear();
  standardNumbers.clear();
  textContent.reset();
  picture.reset();
  pngContent.reset();
  files.reset();
  return true;
}

bool FakeClipboard::setText(const std::wstring& text) {
  if (!isOpen)
    return false;
  textContent = text;
  formats.insert(platform::ClipFormat::Text);
  return true;
}

FakeFileSystem::FakeFileSystem() {
  addDrive(L'C');
}

namespace {
constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
bool isExtended(const std::wstring& path) {
  return path.rfind(kExtendedPrefix, 0) == 0;
}
}  // namespace

std::wstring FakeFileSystem::key(const std::wstring& path) {
  std::wstring k;
  k.reserve(path.size());
  // The form without a length limit names the same file.
  for (wchar_t c : isExtended(path) ? path.substr(4) : path) {
    if (c == L'/')
      c = L'\\';
    k.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))));
  }
  while (k.size() > 2 && k.back() == L'\\')
    k.pop_back();
  if (k.size() == 3 && k[1] == L':' && k[2] == L'\\')
    k.pop_back();
  return k;
}

std::optional<std::wstring> FakeFileSystem::parentKey(const std::wstring& k) const {
  const auto pos = k.rfind(L'\\');
  if (pos == std::wstring::npos)
    return std::nullopt;
  return k.substr(0, pos);
}

std::uint32_t FakeFileSystem::checkName(const std::wstring& whole) const {
  // Like Windows: a name of at most 255 characters, a path of at most 259 unless it takes the
  // form without that limit.
  const bool extended = isExtended(whole);
  const std::wstring path = extended ? whole.substr(4) : whole;
  if (!extended && path.size() > 259)
    return kFileNameTooLong;
  std::size_t component = 0;
  for (const wchar_t c : path) {
    component = c == L'\\' || c == L'/' ? 0 : component + 1;
    if (component > 255)
      return kFileNameTooLong;
  }
  // Windows rejects these characters anywhere but in the drive's colon.
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|') {
      return kInvalidName;
    }
    if (c == L':' && i != 1)
      return kInvalidName;
  }
  return 0;
}

void FakeFileSystem::addDrive(wchar_t letter) {
  std::wstring k = key(std::wstring(1, letter) + L":");
  entries_[k] = Entry{std::wstring(1, letter) + L":\\", true, platform::attr::kDirectory, {}};
}

void FakeFileSystem::addDirectory(const std::wstring& path, std::uint32_t attributes) {
  std::wstring k = key(path);
  // Create the parents too, as a test means the whole path.
  auto parent = parentKey(k);
  if (parent && !entries_.count(*parent))
    addDirectory(path.substr(0, parent->size()));
  entries_[k] = Entry{path, true, attributes | platform::attr::kDirectory, {}};
}

void FakeFileSystem::addFile(const std::wstring& path, const std::string& bytes,
                             std::uint32_t attributes) {
  std::wstring k = key(path);
  auto parent = parentKey(k);
  if (parent && !entries_.count(*parent))
    addDirectory(path.substr(0, parent->size()));
  entries_[k] = Entry{path, false, attributes, bytes};
}

bool FakeFileSystem::exists(const std::wstring& path) const {
  return entries_.count(key(path)) != 0;
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
  if (path.empty() || checkName(path) != 0)
    return std::nullopt;
  auto it = entries_.find(key(path));
  if (it == entries_.end())
    return std::nullopt;
  return it->second.attributes;
}

platform::Lookup FakeFileSystem::findPlainFile(const std::wstring& path) {
  if (path.empty())
    return platform::Lookup::NotFound;
  if (checkName(path) != 0)
    return platform::Lookup::Failed;
  const auto plain = [](const Entry& e) {
    return !e.directory &&
           (e.attributes & (platform::attr::kHidden | platform::attr::kSystem)) == 0;
  };
  const wchar_t last = path.back();
  if (last == L'\\' || last == L'/') {
    const std::wstring dir = key(path);
    for (const auto& [k, e] : entries_) {
      auto parent = parentKey(k);
      if (parent && *parent == dir && plain(e))
        return platform::Lookup::Found;
    }
    return platform::Lookup::NotFound;
  }
  auto it = entries_.find(key(path));
  return it != entries_.end() && plain(it->second) ? platform::Lookup::Found
                                                   : platform::Lookup::NotFound;
}

platform::Lookup FakeFileSystem::findFile(const std::wstring& path) {
  if (path.empty())
    return platform::Lookup::NotFound;
  if (checkName(path) != 0)
    return platform::Lookup::Failed;
  auto it = entries_.find(key(path));
  return it != entries_.end() && !it->second.directory ? platform::Lookup::Found
                                                       : platform::Lookup::NotFound;
}

std::uint32_t FakeFileSystem::createNewFile(const std::wstring& path) {
  if (exists(path))
    return kFileExists;
  const auto fault = std::move(writeFault);  // the file's content is what a fault is about
  writeFault = nullptr;
  const std::uint32_t error = writeFile(path, "");
  writeFault = fault;
  return error;
}

std::uint32_t FakeFileSystem::flushFile(const std::wstring& path) {
  auto it = entries_.find(key(path));
  if (it == entries_.end() || it->second.directory)
    return kFileNotFound;
  it->second.flushed = true;
  return 0;
}

std::uint32_t FakeFileSystem::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  auto it = entries_.find(key(path));
  if (it == entries_.end())
    return kFileNotFound;
  it->second.attributes = attributes | (it->second.directory ? platform::attr::kDirectory : 0);
  return 0;
}

std::uint32_t FakeFileSystem::createDirectory(const std::wstring& path) {
  if (const auto bad = checkName(path))
    return bad;
  const std::wstring k = key(path);
  if (entries_.count(k))
    return kAlreadyExists;
  auto parent = parentKey(k);
  if (!parent || !entries_.count(*parent) || !entries_[*parent].directory)
    return kPathNotFound;
  std::wstring name = path;
  while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/'))
    name.pop_back();
  entries_[k] = Entry{name, true, platform::attr::kDirectory, {}};
  return 0;
}

std::uint32_t FakeFileSystem::writeFile(const std::wstring& path, const std::string& bytes) {
  if (path.empty())
    return kPathNotFound;
  if (const auto bad = checkName(path))
    return bad;
  const std::wstring k = key(path);
  if (path.back() == L'\\' || path.back() == L'/')
    return kInvalidName;
  auto parent = parentKey(k);
  if (!parent || !entries_.count(*parent) || !entries_[*parent].directory)
    return kPathNotFound;
  if (writeFault) {
    if (const auto fault = writeFault(path))
      return fault;
  }
  auto it = entries_.find(k);
  if (it != entries_.end()) {
    if (it->second.directory || (it->second.attributes & platform::attr::kReadOnly)) {
      return kAccessDenied;
    }
    if (locked.count(k))
      return kSharingViolation;
    it->second.bytes = bytes;
    it->second.flushed = false;
    return 0;
  }
  entries_[k] = Entry{path, false, platform::attr::kArchive, bytes, false};
  return 0;
}

std::uint32_t FakeFileSystem::replaceFile(const std::wstring& from, const std::wstring& to) {
  if (const auto bad = checkName(to))
    return bad;
  const std::wstring src = key(from), dst = key(to);
  auto s = entries_.find(src);
  if (s == entries_.end())
    return kFileNotFound;
  auto d = entries_.find(dst);
  if (d != entries_.end()) {
    if (d->second.directory || (d->second.attributes & platform::attr::kReadOnly)) {
      return kAccessDenied;
    }
    if (locked.count(dst))
      return kSharingViolation;
  }
  Entry moved = s->second;
  if (!moved.flushed)
    ++unflushedReplaces;
  moved.name = to;
  entries_.erase(src);
  entries_[dst] = moved;
  return 0;
}

std::uint32_t FakeFileSystem::deleteFile(const std::wstring& path) {
  if (const auto bad = checkName(path))
    return bad;
  const std::wstring k = key(path);
  auto it = entries_.find(k);
  if (it == entries_.end())
    return kFileNotFound;
  if (it->second.directory || (it->second.attributes & platform::attr::kReadOnly)) {
    return kAccessDenied;
  }
  if (locked.count(k))
    return kSharingViolation;
  entries_.erase(it);
  return 0;
}

std::optional<std::string> FakeCodepage::toAnsiExact(std::wstring_view text) {
  // The characters that windows-1252 places in 0x80..0x9F; the rest of 0xA0..0xFF is Latin-1.
  static const wchar_t k80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    int found = -1;
    for (int i = 0; i < 32; ++i) {
      if (k80[i] != 0 && k80[i] == c)
        found = i;
    }
    if (found < 0)
      return std::nullopt;
    out.push_back(static_cast<char>(0x80 + found));
  }
  return out;
}

void FakeWindow::setWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y,
                              int cx, int cy, unsigned flags) {
  calls.push_back(Call{window, insertAfter, x, y, cx, cy, flags});
}

}  // namespace fake
