#pragma once
#include <array>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "ui/Form.h"
#include "window/AlwaysOnTop.h"

// The program's only window: the clipboard preview, the target fields, the options and the
// save actions. Its methods are the handlers of its controls' events.
class Form1 : public ui::Form {
 public:
  explicit Form1(const platform::Platform& p);

  // The version title; the caption adds the mode's suffix to it.
  static constexpr wchar_t kVersionTitle[] = L"Brimlo  v. 0.6";

  // Fields shared by the handlers.
  bool PictureFitted = false;
  bool BatchMode = false;
  std::wstring DatePrefix;
  std::wstring TimePrefix;
  struct FormatEntry {
    std::wstring name;
    bool registered = false;  // a registered format (probed by name), else a standard one
    platform::ClipFormat format = platform::ClipFormat::Text;
  };
  std::array<FormatEntry, 9> FormatTable;

  // Start-up and exit.
  void Form_Load();
  [[noreturn]] void exitProgram(int status = platform::exitcode::kOther);
  void CancleBtn_Click();
  void Form_KeyDown(int& keyCode, int shift);
  void Form_KeyPress(int& keyAscii);
  void Form_Unload();

  // Clipboard inspection.
  void updateFromClipboard();

  // Layout.
  void Form_Resize();
  void ResizeBtn_Click();
  void FitPictureToPreview();
  void Frame1_MouseMove(int button, int shift, int x, int y);

  // Controls, in creation order.
  ui::CommandButton& ConvertTxtBtn;
  AlwaysOnTop AlwaysOnTop1;
  ui::CommandButton& SaveURLBtn;
  ui::Frame& PicturesFrame;
  std::array<ui::PictureBox*, 5> TmpPic;
  ui::ListBox& ListBox;
  ui::PictureBox& ClipPic;
  ui::CommandButton& ResizeBtn;
  ui::TextBox& ClipText;
  ui::Frame& Frame1;
  ui::CheckBox& AddTimeCheck;
  ui::PictureBox& Picture1;
  ui::PictureBox& AddDirBtn;
  ui::CommandButton& Helpbtn;
  ui::CheckBox& ContextMenuCheck;
  ui::TextBox& FNText;
  ui::CheckBox& OpenFileCheck;
  ui::CommandButton& CancleBtn;
  ui::TextBox& Path;
  ui::CheckBox& AddDatecheck;
  ui::CommandButton& SaveTxtBtn;
  ui::CommandButton& SavePictureBtn;
  ui::CommandButton& SaveFilesBtn;
  ui::Line& Line1;
  ui::Label& wwwBtn;
  ui::Label& UpdateBtn;
  ui::RichTextBox& RichText;

 private:
  const platform::Platform& p_;
  void wireEvents();
};
