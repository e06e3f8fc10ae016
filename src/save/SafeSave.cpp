#include "save/SafeSave.h"

#include "platform/Process.h"
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
    if (!path_.empty() && fs_.deleteFile(path_) != 0 &&
        fs_.setAttributes(path_, platform::attr::kNormal) == 0) {
      const auto removed = fs_.deleteFile(path_);
      (void)removed;
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::wstring& path() const { return path_; }
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

std::uint32_t CheckTarget(platform::FileSystem& fs, const std::wstring& target) {
  if (target.empty() || text::endsWithSeparator(target) || paths::hasForbiddenCharacter(target) ||
      paths::namesDevice(target)) {
    return kInvalidName;
  }
  if (auto a = fs.attributes(target); a && (*a & platform::attr::kDirectory))
    return kAccessDenied;
  return 0;
}

std::uint32_t ReplaceSafely(platform::FileSystem& fs, const std::wstring& target,
                            const Writer& write) {
  if (const auto bad = CheckTarget(fs, target))
    return bad;
  // The name is taken by creating the file, so no other file, a user's or another save's, is
  // ever written over.
  std::wstring name;
  std::uint32_t taken = kFileExists;
  for (unsigned n = 0; n < kTemporaryNames && taken == kFileExists; ++n) {
    name = TemporaryNameFor(target, n);
    taken = fs.createNewFile(name);
  }
  if (taken == kFileExists)
    return kNoFreeTemporaryName;
  if (taken != 0)
    return taken;
  TemporaryFile temporary(fs, name);
  phases::mark("encoded");
  if (const auto error = write(temporary.path()))
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
    if (const auto error =
            fs.setAttributes(temporary.path(), writable != 0 ? writable : platform::attr::kNormal))
      return error;
  }
  if (const auto error = fs.flushFile(temporary.path()))
    return error;
  phases::mark("flushed");
  if (const auto error = fs.replaceFile(temporary.path(), target))
    return error;
  temporary.handedOver();
  phases::mark("replaced");
  if (wanted & platform::attr::kReadOnly) {
    const auto marked = fs.setAttributes(target, wanted);
    (void)marked;  // the content arrived whole; only the mark is missing then
  }
  return 0;
}

std::wstring ErrorText(platform::Process& process, std::uint32_t code) {
  if (code == kNoFreeTemporaryName) {
    return L"Every name Brimlo can give its temporary file next to the target (~brimlo-0000.tmp "
           L"to ~brimlo-ffff.tmp) is taken. Such files are left by saves that were ended by "
           L"force; delete them and save again.";
  }
  return process.errorText(code);
}

std::uint32_t WriteFileSafely(platform::FileSystem& fs, const std::wstring& target,
                              const std::string& bytes) {
  return ReplaceSafely(
      fs, target, [&](const std::wstring& temporary) { return fs.writeFile(temporary, bytes); });
}

}  // namespace SafeSave
