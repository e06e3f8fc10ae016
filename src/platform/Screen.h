#pragma once

namespace platform {

class Screen {
 public:
  virtual ~Screen() = default;
  virtual int primaryWidthTwips() = 0;
  virtual int primaryHeightTwips() = 0;
};

}  // namespace platform
