#include "save/TextFile.h"

#include "util/Text.h"

namespace {
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidName = 123;

// Windows opens a device for these names whatever extension follows ("CON.TXT" is the console).
bool namesDevice(const std::wstring& target) {
  const auto slash = target.find_last_of(L"\\/:");
  std::wstring base = target.substr(slash == std::wstring::npos ? 0 : slash + 1);
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
  if (target.empty() || target.back() == L'\\' || target.back() == L'/' || namesDevice(target))
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
