#pragma once
#include <string>

namespace platform {

// Message-box style numbers as the program uses them.
namespace box {
constexpr int kOkOnly = 0;
constexpr int kYesNo = 4;
constexpr int kCritical = 16;
constexpr int kYesNoCancelQuestion = 35;
constexpr int kYesNoQuestion = 36;
constexpr int kInformation = 64;
}  // namespace box

// Buttons a message box can answer with; kNoAnswer when the box could not be shown.
namespace answer {
constexpr int kNoAnswer = 0;
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace answer

// The program's title, shown on every box that has no title of its own.
inline constexpr wchar_t kProgramTitle[] = L"Brimlo";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal box; an empty title shows the program's title. Returns the button pressed.
  virtual int messageBox(const std::wstring& text, int style, const std::wstring& title) = 0;
};

}  // namespace platform
