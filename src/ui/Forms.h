#pragma once
#include <string>

#include "ui/Form.h"

namespace ui {

// The program's loaded windows, in load order; a window is found by its exact name.
Form* findLoadedForm(const std::wstring& name);

}  // namespace ui
