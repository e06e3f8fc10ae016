#include "save/TextFile.h"

#include "util/Text.h"

namespace {
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidName = 123;
}  // namespace

std::string EncodeTextFile(platform::Codepage& codepage, const std::wstring& text) {
  std::string bytes;
  if (auto ansi = codepage.toAnsiExact(text)) {
    bytes = std::move(*ansi);
  } else {
    bytes = "\xEF\xBB\xBF" + text::toUtf8(text);
  }
  bytes += "\r\n";
  return bytes;
}

std::wstring TemporaryNameFor(const std::wstring& target) {
  return target + L".brimlo~";
}

std::uint32_t CheckTarget(platform::FileSystem& fs, const std::wstring& target) {
  if (target.empty() || target.back() == L'\\' || target.back() == L'/')
    return kInvalidName;
  if (auto a = fs.attributes(target); a && (*a & platform::attr::kDirectory))
    return kAccessDenied;
  return 0;
}

std::uint32_t WriteFileSafely(platform::FileSystem& fs, const std::wstring& target,
                              const std::string& bytes) {
  if (const auto bad = CheckTarget(fs, target))
    return bad;
  const std::wstring temporary = TemporaryNameFor(target);
  if (const auto error = fs.writeFile(temporary, bytes)) {
    fs.deleteFile(temporary);
    return error;
  }
  if (const auto error = fs.replaceFile(temporary, target)) {
    fs.deleteFile(temporary);
    return error;
  }
  return 0;
}
