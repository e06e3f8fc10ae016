#pragma once
#include <string>

#include "platform/Platform.h"
#include "util/Status.h"

// Keeps the program's options and window positions between runs, in the per-user settings store
// under the program's title.
namespace Registry {

// Stops the program with a message when it was built without a title.
void EnsureProgramName(const platform::Platform& p,
                       const std::wstring& title = platform::kProgramTitle);

// The stored text; a missing or empty value yields the default.
std::wstring GetSettingValue(const platform::Platform& p, const std::wstring& section,
                             const std::wstring& key, const std::wstring& defaultValue);

// Stores one value; a failed write keeps the old value and is not reported.
void SaveSettingValue(const platform::Platform& p, const std::wstring& section,
                      const std::wstring& key, const std::wstring& value);

// Stores the loaded window's height, width, top and left (the position rows of Settings.h),
// unless it is minimised.
void SaveWindowPos(const platform::Platform& p, const std::wstring& formName);

// Restores them and brings a window that would open out of sight back onto the screen. Fails
// when no such window is loaded.
util::Status LoadWindowPos(const platform::Platform& p, const std::wstring& formName);

}  // namespace Registry
