#pragma once
#include <cstdint>
#include <string>

#include "util/Status.h"

namespace platform {

// The registry outside the program's own settings: where Explorer reads its menu entries.
class ShellRegistry {
 public:
  enum class Root {
    ClassesRoot,         // HKEY_CLASSES_ROOT (machine-wide; needs administrator rights)
    CurrentUserClasses,  // HKEY_CURRENT_USER\Software\Classes (this user's part of the same view)
  };
  virtual ~ShellRegistry() = default;
  // Creates (or opens) the key and sets its default value as REG_SZ.
  virtual util::Status setDefaultValue(Root root, const std::wstring& subkey,
                                       const std::wstring& value) = 0;
};

}  // namespace platform
