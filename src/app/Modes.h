#pragma once
#include <array>

#include "app/Form1.h"

// What the four save modes differ in, one row each: the refresh shows a mode from its row, the
// save reads its beep from it, and "-> TXT" switches the window from one row to another.
struct Form1::Mode {
  const wchar_t* title;  // after the version title
  ui::Color panel;
  ModeImage image;
  ui::CommandButton& (*saveButton)(const Form1&);
  const wchar_t* saveCaption;  // nullptr: the button's own
  ui::Control& (*preview)(const Form1&);
  const OptionKeys* options;  // nullptr: no name field and no options
  const wchar_t* nameSuffix;  // after the directory's name, for a name not given
  // A requested name that holds none of these (in any letter case) gets the extension.
  std::array<const wchar_t*, 2> known;
  const wchar_t* extension;
  bool beep;  // after a save
};

namespace modes {

inline constexpr Form1::Mode kPicture{
    .title = L" - Save Graphic (.JPG)",
    .panel = 0x00FFBFC0,
    .image = Form1::ModeImage::Picture,
    .saveButton = [](const Form1& f) -> ui::CommandButton& { return f.SavePictureBtn; },
    .saveCaption = nullptr,
    .preview = [](const Form1& f) -> ui::Control& { return f.ClipPic; },
    .options = &Form1::kPictureOptions,
    .nameSuffix = L"_Screenshot",
    .known = {L".jpg", L".jpeg"},
    .extension = L".JPG",
    .beep = true};
inline constexpr Form1::Mode kText{
    .title = L" - Save Clipboard Text (.txt)",
    .panel = 0x00E0E0E0,
    .image = Form1::ModeImage::Text,
    .saveButton = [](const Form1& f) -> ui::CommandButton& { return f.SaveTxtBtn; },
    .saveCaption = L"&Save as Text",
    .preview = [](const Form1& f) -> ui::Control& { return f.ClipText; },
    .options = &Form1::kTextOptions,
    .nameSuffix = L"_Text",
    .known = {L".txt", nullptr},
    .extension = L".TXT",
    .beep = true};
inline constexpr Form1::Mode kRichText{
    .title = L" - Save Formated Clipboard Text (.rtf)",
    .panel = 0x00E0E0E0,
    .image = Form1::ModeImage::RichText,
    .saveButton = [](const Form1& f) -> ui::CommandButton& { return f.SaveTxtBtn; },
    .saveCaption = L"&Save as RTF",
    .preview = [](const Form1& f) -> ui::Control& { return f.RichText; },
    .options = &Form1::kTextOptions,
    .nameSuffix = L"_Text",
    .known = {L".rtf", nullptr},
    .extension = L".RTF",
    .beep = false};
inline constexpr Form1::Mode kFiles{
    .title = L" - Copy Files..",
    .panel = 0x00C9CEB8,
    .image = Form1::ModeImage::Files,
    .saveButton = [](const Form1& f) -> ui::CommandButton& { return f.SaveFilesBtn; },
    .saveCaption = nullptr,
    .preview = [](const Form1& f) -> ui::Control& { return f.ListBox; },
    .options = nullptr,
    .nameSuffix = nullptr,
    .known = {nullptr, nullptr},
    .extension = nullptr,
    .beep = false};

}  // namespace modes
