// Prints a text value from the current user's registry as UTF-8, which `wine reg query` cannot
// do for text outside ASCII.
#include <windows.h>

#include "ToolSupport.h"

int main() {
  const auto args = tool::arguments();
  if (args.size() != 2) {
    tool::err(L"usage: regget <HKCU subkey> <value>");
    return 2;
  }
  DWORD bytes = 0;
  LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, args[0].c_str(), args[1].c_str(), RRF_RT_REG_SZ,
                            nullptr, nullptr, &bytes);
  if (rc == ERROR_FILE_NOT_FOUND)
    return 1;
  if (rc == ERROR_UNSUPPORTED_TYPE) {
    tool::err(L"regget: " + args[1] + L" is not a text value");
    return 3;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  rc = RegGetValueW(HKEY_CURRENT_USER, args[0].c_str(), args[1].c_str(), RRF_RT_REG_SZ, nullptr,
                    value.data(), &bytes);
  if (rc != ERROR_SUCCESS) {
    tool::err(L"regget: cannot read " + args[1]);
    return rc == ERROR_FILE_NOT_FOUND ? 1 : 3;
  }
  value.resize(wcslen(value.c_str()));
  tool::out(value);
  return 0;
}
