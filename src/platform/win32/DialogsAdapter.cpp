#include "platform/win32/Adapters.h"

namespace win32 {

int MessageBoxDialogs::messageBox(const std::wstring& text, int style, const std::wstring& title) {
  const wchar_t* shownTitle = title.empty() ? platform::kProgramTitle : title.c_str();
  const int button =
      MessageBoxW(GetActiveWindow(), text.c_str(), shownTitle, static_cast<UINT>(style));
  // Wine answers -1 when it cannot make the window; the program knows only "no answer".
  return button > 0 ? button : platform::answer::kNoAnswer;
}

}  // namespace win32
