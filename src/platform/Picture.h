#pragma once
#include <cstdint>

namespace platform {

// A picture held by the program: a GDI bitmap owned by this object (released when it goes).
class Picture {
 public:
  virtual ~Picture() = default;
  // The platform bitmap handle, as the encoder and the peers need it.
  [[nodiscard]] virtual std::uintptr_t handle() const = 0;
  [[nodiscard]] virtual int widthPixels() const = 0;
  [[nodiscard]] virtual int heightPixels() const = 0;
};

}  // namespace platform
