#pragma once
#include <cstdint>

namespace platform {

// Insert-after handles of the z-order call.
constexpr std::intptr_t kTopmost = -1;
constexpr std::intptr_t kNoTopmost = -2;
// SWP_NOSIZE + SWP_NOMOVE.
constexpr unsigned kKeepSizeAndPosition = 3;

class Window {
 public:
  virtual ~Window() = default;
  // The platform's SetWindowPos on a window handle; its result is not needed.
  virtual void setWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx,
                            int cy, unsigned flags) = 0;
};

}  // namespace platform
