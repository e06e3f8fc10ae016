#pragma once
// A file system small enough to reason about inside a fuzzer: drives C: and D:, directories and
// files kept by a folded key, names checked the way Windows rejects them. Every change is
// counted, so a fuzzer can tell what a helper did to it.
#include <map>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace fuzz {

class TinyFileSystem : public platform::FileSystem {
 public:
  struct Entry {
    bool directory = false;
    std::uint32_t attributes = 0;
  };

  TinyFileSystem() {
    entries_[L"c:"] = Entry{true, platform::attr::kDirectory};
    entries_[L"d:"] = Entry{true, platform::attr::kDirectory};
  }

  // "/" and "\" alike, runs of them as one, no trailing separator, ASCII letters folded.
  static std::wstring key(const std::wstring& path) {
    std::wstring k;
    for (wchar_t c : path) {
      if (c == L'/')
        c = L'\\';
      if (c == L'\\' && !k.empty() && k.back() == L'\\')
        continue;
      if (c >= L'A' && c <= L'Z')
        c = static_cast<wchar_t>(c - L'A' + L'a');
      k.push_back(c);
    }
    while (!k.empty() && k.back() == L'\\')
      k.pop_back();
    return k;
  }

  // A name Windows refuses: control characters, wildcards, quotes, pipes, a colon past the drive.
  static bool validName(const std::wstring& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
      const wchar_t c = path[i];
      if (c < 0x20 || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|')
        return false;
      if (c == L':' && i != 1)
        return false;
    }
    return true;
  }

  // The key of the holding directory; "" is the current directory, which always exists.
  static std::wstring parentKey(const std::wstring& k) {
    const auto pos = k.rfind(L'\\');
    return pos == std::wstring::npos ? std::wstring() : k.substr(0, pos);
  }

  bool isDirectoryKey(const std::wstring& k) const {
    if (k.empty())
      return true;
    const auto it = entries_.find(k);
    return it != entries_.end() && it->second.directory;
  }

  const Entry* find(const std::wstring& path) const {
    const auto it = entries_.find(key(path));
    return it == entries_.end() ? nullptr : &it->second;
  }

  // Set-up: adds an entry if its name is valid and its directory exists.
  void add(const std::wstring& path, bool directory, std::uint32_t attributes) {
    const std::wstring k = key(path);
    if (k.empty() || !validName(path) || entries_.count(k) || !isDirectoryKey(parentKey(k)))
      return;
    entries_[k] = Entry{directory, attributes | (directory ? platform::attr::kDirectory : 0)};
  }

  const std::map<std::wstring, Entry>& entries() const { return entries_; }
  int writes() const { return writes_; }

  std::optional<std::uint32_t> attributes(const std::wstring& path) override {
    if (!validName(path))
      return std::nullopt;
    const std::wstring k = key(path);
    if (k.empty())
      return std::nullopt;
    const auto it = entries_.find(k);
    if (it == entries_.end())
      return std::nullopt;
    return it->second.attributes;
  }

  platform::Lookup findPlainFile(const std::wstring& path) override {
    if (path.empty())
      return platform::Lookup::NotFound;
    if (!validName(path))
      return platform::Lookup::Failed;
    const std::wstring k = key(path);
    const bool inside = path.back() == L'\\' || path.back() == L'/';
    for (const auto& [name, e] : entries_) {
      if (e.directory || (e.attributes & (platform::attr::kHidden | platform::attr::kSystem)))
        continue;
      if (inside ? parentKey(name) == k : name == k)
        return platform::Lookup::Found;
    }
    return platform::Lookup::NotFound;
  }

  std::uint32_t createDirectory(const std::wstring& path) override {
    constexpr std::uint32_t kPathNotFound = 3;
    constexpr std::uint32_t kInvalidName = 123;
    constexpr std::uint32_t kAlreadyExists = 183;
    if (!validName(path))
      return kInvalidName;
    const std::wstring k = key(path);
    if (k.empty())
      return kPathNotFound;
    if (entries_.count(k))
      return kAlreadyExists;
    if (!isDirectoryKey(parentKey(k)))
      return kPathNotFound;
    entries_[k] = Entry{true, platform::attr::kDirectory};
    return 0;
  }

  // The path helpers never write, move or delete files; these only count the attempt.
  platform::Lookup findFile(const std::wstring&) override { return platform::Lookup::Failed; }
  std::uint32_t createNewFile(const std::wstring&) override { return denied(); }
  std::uint32_t writeFile(const std::wstring&, const std::string&) override { return denied(); }
  std::uint32_t flushFile(const std::wstring&) override { return denied(); }
  std::uint32_t setAttributes(const std::wstring&, std::uint32_t) override { return denied(); }
  std::uint32_t replaceFile(const std::wstring&, const std::wstring&) override { return denied(); }
  std::uint32_t deleteFile(const std::wstring&) override { return denied(); }

 private:
  std::uint32_t denied() {
    ++writes_;
    return 5;
  }
  std::map<std::wstring, Entry> entries_;
  int writes_ = 0;
};

}  // namespace fuzz
