#pragma once
// What a screen reader calls a control. The system names a control after its window text, but
// a picture, an image button, a field and a list show no text of their own (a field's window
// text is its content): these answer with their tooltip, or a name given for the purpose.
#include <windows.h>

#include <memory>
#include <string>

namespace ui_win32 {

// The name, shared with the accessible objects handed out, which may outlive the window: a
// screen reader that holds one hears of a changed name.
using SharedName = std::shared_ptr<std::wstring>;

// Answers WM_GETOBJECT for the window's client area with the system's own accessible object of
// the window, named by name when that is not empty. False where the request is left to the
// window (another object asked for, no name, or the object could not be made).
bool answerAccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp, const SharedName& name,
                            LRESULT& result);

}  // namespace ui_win32
