// Stores a text value in the current user's registry from UTF-8 (directly or from a file), so
// a test can prepare settings with any characters whatever the Unix locale is.
#include <windows.h>

#include "ToolSupport.h"

int main() {
  const auto args = tool::arguments();
  if (args.size() != 3) {
    tool::err(L"usage: regset <HKCU subkey> <value> <text or @utf8-file>");
    return 2;
  }
  const auto data = tool::textArgument(args[2]);
  if (!data) {
    tool::err(L"regset: cannot read " + args[2]);
    return 2;
  }
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, args[0].c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    tool::err(L"regset: cannot open " + args[0]);
    return 1;
  }
  const LSTATUS rc =
      RegSetValueExW(key, args[1].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data->c_str()),
                     static_cast<DWORD>((data->size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? 0 : 1;
}
