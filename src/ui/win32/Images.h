#pragma once
// The images built into the program, by the names the controls use.
#include "ui/Control.h"

namespace ui_win32 {

// The resource number of a built-in image; 0 for none. Icon is an icon resource, the others
// are bitmaps.
int resourceIdOf(ui::ImageId id);

}  // namespace ui_win32
