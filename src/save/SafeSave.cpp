#include "save/SafeSave.h"

#include "save/Paths.h"
#include "util/Phases.h"
#include "util/Text.h"

namespace SafeSave {
namespace {

using namespace platform::error;

// Every number the name can hold: a directory may hold many leftovers of runs that were ended
// by force, and a save still finds the first free name.
constexpr unsigned kTemporaryNames = 0x10000;
// Attributes that a replaced file hands on to its successor; a read-only file is never
// replaced.
constexpr std::uint32_t kKeptAttributes =
    platform::attr::kHidden | platform::attr::kSystem | platform::attr::kNotContentIndexed;
// Attributes a file can be given; the others (compressed, encrypted, ...) are the volume's.
constexpr std::uint32_t kSettableAttributes =
    platform::attr::kReadOnly | kKeptAttributes | platform::attr::kArchive;

// Removes the temporary on every way out that did not hand it over to the target.
class TemporaryFile {
 public:
  TemporaryFile(platform::FileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
  ~TemporaryFile() {
    // A copy of a read-only file is read-only too and cannot be deleted as it is. A leftover is
    // recognisable by its name; the save's own error is what is reported.
    if (!path_.empty() && !fs_.deleteFile(path_).ok() &&
        fs_.setAttributes(path_, platform::attr::kNormal).ok()) {
      (void)fs_.deleteFile(path_);  // a leftover harms nothing but its name
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  [[nodiscard]] const std::wstring& path() const { return path_; }
  void handedOver() { path_.clear(); }

 private:
  platform::FileSystem& fs_;
  std::wstring path_;
};

}  // namespace

std::wstring TemporaryNameFor(const std::wstring& target, unsigned n) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  const auto slash = target.find_last_of(L"\\/");
  const std::wstring directory =
      slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  std::wstring name = L"~brimlo-0000.tmp";
  for (int i = 0; i < 4; ++i)
    name[11 - i] = kHex[(n >> (4 * i)) & 0xF];
  // A target too long for the system is refused as it is, not through its temporary.
  const std::wstring path = directory + name;
  return target.size() <= paths::kMaxPath ? paths::longPathForm(path) : path;
}

util::Status CheckTarget(platform::FileSystem& fs, const std::wstring& target) {
  if (target.empty() || text::endsWithSeparator(target) || paths::hasForbiddenCharacter(target) ||
      paths::namesDevice(target)) {
    return kInvalidName;
  }
  if (auto a = fs.attributes(target); a && (*a & platform::attr::kDirectory))
    return kAccessDenied;
  return 0;
}

util::Status ReplaceSafely(platform::FileSystem& fs, const std::wstring& target,
                           const Writer& write) {
  if (auto bad = CheckTarget(fs, target); !bad.ok())
    return bad;
  // The name is taken by creating the file, so no other file, a user's or another save's, is
  // ever written over.
  std::wstring name;
  util::Status taken = kFileExists;
  for (unsigned n = 0; n < kTemporaryNames && taken.code() == kFileExists; ++n) {
    name = TemporaryNameFor(target, n);
    taken = fs.createNewFile(name);
  }
  if (taken.code() == kFileExists) {
    return {kNoFreeTemporaryName,
            L"Every name Brimlo can give its temporary file next to the target (~brimlo-0000.tmp "
            L"to ~brimlo-ffff.tmp) is taken. Such files are left by saves that were ended by "
            L"force; delete them and save again."};
  }
  if (!taken.ok())
    return taken;
  TemporaryFile temporary(fs, name);
  phases::mark("encoded");
  if (auto error = write(temporary.path()); !error.ok())
    return error;
  phases::mark("written");
  // A copy carries its source's attributes, read-only included, as the shell's copy does; the
  // temporary stays writable for the flush and the swap, and the target gets the mark after.
  const std::uint32_t written =
      fs.attributes(temporary.path()).value_or(platform::attr::kArchive) & kSettableAttributes;
  std::uint32_t wanted = written;
  if (const auto old = fs.attributes(target); old && (*old & kKeptAttributes))
    wanted |= (*old & kKeptAttributes) | platform::attr::kArchive;
  const std::uint32_t writable = wanted & ~platform::attr::kReadOnly;
  if (writable != written) {
    if (auto error =
            fs.setAttributes(temporary.path(), writable != 0 ? writable : platform::attr::kNormal);
        !error.ok())
      return error;
  }
  if (auto error = fs.flushFile(temporary.path()); !error.ok())
    return error;
  phases::mark("flushed");
  if (auto error = fs.replaceFile(temporary.path(), target); !error.ok())
    return error;
  temporary.handedOver();
  phases::mark("replaced");
  if (wanted & platform::attr::kReadOnly) {
    (void)fs.setAttributes(target, wanted);  // the content arrived whole; only the mark is missing
  }
  return 0;
}

util::Status WriteFileSafely(platform::FileSystem& fs, const std::wstring& target,
                             const std::string& bytes) {
  return ReplaceSafely(
      fs, target, [&](const std::wstring& temporary) { return fs.writeFile(temporary, bytes); });
}

}  // namespace SafeSave
