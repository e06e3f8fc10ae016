#pragma once
#include <cstdint>

namespace platform {

// A picture held by the program: a GDI bitmap owned by this object (released when it goes).
class Picture {
 public:
  virtual ~Picture() = default;
  // The platform bitmap handle, as the encoder and the peers need it.
  virtual std::uintptr_t handle() const = 0;
  virtual int widthPixels() const = 0;
  virtual int heightPixels() const = 0;
  // The stored size in HIMETRIC units (0.01 mm), as a picture object reports it.
  int widthHimetric() const { return toHimetric(widthPixels()); }
  int heightHimetric() const { return toHimetric(heightPixels()); }

 private:
  // Pictures carry 96 pixels per inch: one pixel is 2540 / 96 HIMETRIC units.
  static int toHimetric(int pixels) { return static_cast<int>((pixels * 2540LL + 48) / 96); }
};

}  // namespace platform
