#pragma once
#include <optional>
#include <string>

#include "util/Status.h"

namespace platform {

// The per-user store of text values, addressed by application, section path and key.
// The section never ends in a separator here; the Registry module normalises it.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or nothing when the key is missing or cannot be read.
  virtual std::optional<std::wstring> read(const std::wstring& app, const std::wstring& section,
                                           const std::wstring& key) = 0;
  // Stores the text, creating the section as needed.
  virtual util::Status write(const std::wstring& app, const std::wstring& section,
                             const std::wstring& key, const std::wstring& value) = 0;
};

}  // namespace platform
