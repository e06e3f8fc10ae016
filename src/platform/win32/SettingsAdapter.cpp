#include <vector>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"

namespace win32 {

namespace {

std::wstring keyPath(const std::wstring& app, const std::wstring& section) {
  return L"Software\\" + app + L"\\" + section;
}

}  // namespace

std::optional<std::wstring> RegistrySettings::read(const std::wstring& app,
                                                   const std::wstring& section,
                                                   const std::wstring& key) {
  UniqueKey sectionKey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                    sectionKey.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The value may grow between asking for its size and reading it; ask again then.
  std::vector<wchar_t> buffer(64);
  for (;;) {
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(sectionKey.get(), nullptr, key.c_str(), RRF_RT_REG_SZ,
                                        nullptr, buffer.data(), &bytes);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS)
      return std::nullopt;
    std::wstring value(buffer.data(), bytes / sizeof(wchar_t));
    const auto end = value.find(L'\0');
    if (end != std::wstring::npos)
      value.resize(end);
    return value;
  }
}

util::Status RegistrySettings::write(const std::wstring& app, const std::wstring& section,
                                     const std::wstring& key, const std::wstring& value) {
  UniqueKey sectionKey;
  if (const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(app, section).c_str(), 0,
                                             nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                             nullptr, sectionKey.put(), nullptr))
    return static_cast<std::uint32_t>(opened);
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return static_cast<std::uint32_t>(RegSetValueExW(sectionKey.get(), key.c_str(), 0, REG_SZ,
                                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                                   bytes));
}

}  // namespace win32
