#pragma once
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "target/Settings.h"
#include "ui/Form.h"
#include "util/Status.h"
#include "window/AlwaysOnTop.h"

// The program's only window: the clipboard preview, the target fields, the options and the
// save actions. Its methods are the handlers of its controls' events.
class Form1 : public ui::Form {
 public:
  explicit Form1(const platform::Platform& p);

  // The version title; the caption adds the mode's suffix to it.
  static constexpr wchar_t kVersionTitle[] = L"Brimlo  v. " BRIMLO_VERSION;
  // The largest RTF document the preview's rich edit control is given.
  static constexpr std::size_t kRichPreviewBytes = std::size_t{1} << 18;

  // Fields shared by the handlers.
  bool PictureFitted = false;
  bool BatchMode = false;
  std::wstring DatePrefix;
  std::wstring TimePrefix;
  struct FormatEntry {
    std::wstring name;
    platform::ClipFormat format = platform::ClipFormat::Text;
  };
  std::array<FormatEntry, 10> FormatTable;

  // Start-up and exit.
  void Form_Load();
  [[noreturn]] void exitProgram(int status = platform::exitcode::kOther);
  void CancleBtn_Click();
  void Form_KeyDown(int& keyCode, int shift);
  void Form_KeyPress(int& keyAscii);
  void Form_Unload();

  // Clipboard inspection.
  void updateFromClipboard();
  void resetModeControls();
  static std::wstring twoDigits(int value);
  // A one-line text that looks like a web address: no carriage return, "www." or "//".
  static bool IsWebAddress(const std::wstring& text);

  // Help and preview fields.
  void Helpbtn_Click();
  void Picture1_Click();
  void Picture1_MouseMove(int button, int shift, int x, int y);
  void ClipText_Change();
  void ClipText_GotFocus();
  void ClipPic_Click();

  // Saving.
  void SaveTxtBtn_Click();
  void ConvertTxtBtn_Click();
  void SaveURLBtn_Click();
  void SavePictureBtn_Click();
  void SaveFilesBtn_Click();
  void ListBox_DblClick();
  void ListBox_MouseDown(int button, int shift, int x, int y);
  // True when the user declined to overwrite an existing file.
  bool ConfirmOverwrite(const std::wstring& target);

  // Target directory, file name and options.
  void Path_Change();
  void Path_GotFocus();
  void Path_LostFocus();
  void Path_KeyPress(int& keyAscii);
  void AddDirBtn_Click();
  void AddDirBtn_MouseMove(int button, int shift, int x, int y);
  void AddDatecheck_Click();
  void AddTimeCheck_Click();
  void OpenFileCheck_Click();
  void FNText_GotFocus();
  void FNText_KeyPress(int& keyAscii);

  // Shell integration and online services.
  void ContextMenuCheck_Click();
  void wwwBtn_Click();
  void UpdateBtn_Click();

  // The save modes, one row each in Modes.h.
  struct Mode;
  // The settings rows of the three options, per mode.
  struct OptionKeys {
    const Settings::Row* openFile;
    const Settings::Row* addDate;
    const Settings::Row* addTime;
  };
  static constexpr OptionKeys kPictureOptions = {&Settings::kOpenFileJPG, &Settings::kAddDateJPG,
                                                 &Settings::kAddTimeJPG};
  static constexpr OptionKeys kTextOptions = {&Settings::kOpenFileTxt, &Settings::kAddDateTxt,
                                              &Settings::kAddTimeTxt};
  // The places of the mode images in TmpPic.
  enum class ModeImage : std::size_t { Files = 0, Text = 1, Picture = 2, RichText = 3 };
  // The caption: the version title and a suffix.
  void setTitle(const std::wstring& suffix);

  // Layout. Below its smallest accepted outer size (twips) the window is set to a little more.
  static constexpr int kMinWidth = 8300;
  static constexpr int kSnapWidth = 8410;
  static constexpr int kMinHeight = 3000;
  static constexpr int kSnapHeight = 3011;
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
  // Why the last refresh could not read the clipboard's content (empty when it could): the
  // preview holds older content, which must not be saved as the clipboard's.
  std::wstring unreadReason_;
  static constexpr wchar_t kClipboardHeld[] =
      L"The clipboard could not be read: another program may be holding it open. Press F5 to "
      L"read it again.";
  static constexpr wchar_t kPictureUnread[] =
      L"The picture on the clipboard could not be read. Press F5 to read it again.";
  static constexpr wchar_t kTextUnread[] =
      L"The text on the clipboard could not be read. Press F5 to read it again.";
  static constexpr wchar_t kFilesUnread[] =
      L"The file list on the clipboard could not be read. Press F5 to read it again.";
  // Reads one format from the opened clipboard; nothing when it could not be read, with the
  // reason (the clipboard held by another program, or `unread`) kept in unreadReason_.
  template <class Read>
  auto readClipboard(Read read, const wchar_t* unread) -> decltype(read()) {
    decltype(read()) value;
    bool opened = false;
    {
      const platform::OpenClipboard open(p_.clipboard);
      opened = open.isOpen();
      if (opened)
        value = read();
    }
    if (!value)
      unreadReason_ = opened ? unread : kClipboardHeld;
    return value;
  }
  // A batch run in picture mode takes no copy of the clipboard's bitmap: the save encodes it
  // from the clipboard. Only a window that shows it takes the copy (takeHeldPicture).
  bool pictureOnClipboard_ = false;
  void takeHeldPicture();
  // The same for a plain text: a batch run saves it from the clipboard, without a copy.
  bool textOnClipboard_ = false;
  void takeHeldText();
  // A formatted text never reaches the rich edit control in a batch run: the clipboard's RTF
  // document is saved as it stands. A window shows it in the control only up to
  // kRichPreviewBytes (the control takes seconds for megabytes, and fails inside itself on tens
  // of them); a larger document is held here, shown as a note and saved as it stands.
  bool rtfOnClipboard_ = false;
  std::optional<std::string> heldRtf_;
  void takeHeldRtf();
  static constexpr wchar_t kRtfUnread[] =
      L"The formatted text on the clipboard could not be read. Press F5 to read it again.";
  // The bytes the text save writes: the text (or the formatted text's document) as a file
  // holds it; nothing, with the reason, when it could not be had.
  std::optional<std::string> textFileBytes(std::wstring& reason);
  // The file-copy loop runs (the window takes input between two files), and the user asked it
  // to stop after the current file.
  bool copying_ = false;
  bool stopCopying_ = false;
  [[nodiscard]] bool copyingFiles() const { return copying_; }
  void askToStopCopying();
  void wireEvents();
  void buildFormatTable();
  [[nodiscard]] std::wstring composeTarget() const;
  // What one save action writes and does after it; the way there is the same for every save.
  struct SaveJob {
    // The file's bytes; nothing, with the reason, when they could not be had.
    std::function<std::optional<std::string>(std::wstring& reason)> bytes;
    // Opens the saved file: this text before its name, or (nullptr) the file's own program.
    const wchar_t* opener = nullptr;
    bool storePosition = true;  // on the way out
    bool beep = true;
  };
  // Asks, writes, beeps, opens and ends the program; returns only when nothing was saved.
  void saveFile(const std::wstring& target, const SaveJob& job);
  // The file's program or the opener started on it, when the user asked to open it.
  void openSaved(const std::wstring& target, const wchar_t* opener);
  void reportFailedSave(const std::wstring& target, const std::wstring& reason,
                        const wchar_t* heading = kNotSaved);
  // A failure in the user's words: its own text, else the system's for its code.
  [[nodiscard]] std::wstring textOf(const util::Status& status) const;
  // Says so and returns true when the refresh could not read the clipboard's content.
  bool refuseUnreadClipboard(const std::wstring& target, const wchar_t* heading = kNotSaved);
  static constexpr wchar_t kNotSaved[] = L"The file was not saved:";
  void proposeTextNameForList();
  // The file list as text, one name and CR LF per entry.
  [[nodiscard]] std::wstring fileListText() const;
  std::wstring probeRefusedFormat();
  void restoreOptions(const OptionKeys& keys);
  // The mode the window shows (a row of Modes.h); nothing before the first refresh.
  const Mode* mode_ = nullptr;
  // The steps of the refresh, in their order.
  struct Request {
    std::wstring commandLine;
    std::wstring name;  // the requested name, or the default one
    bool defaultName = false;
  };
  Request readCommandLine();
  // The keys of the mode shown; nothing in the file-list mode.
  [[nodiscard]] const OptionKeys* optionKeys() const;
  [[nodiscard]] ui::ImageId modeImage(const Mode& mode) const;
  // What every mode shows from its row: panel, image, title, save button, name and options.
  void showMode(const Mode& mode, Request& request);
  std::optional<std::shared_ptr<platform::Picture>> pngInsteadOfRefusal();
  void showPicture(Request& request, const std::optional<std::shared_ptr<platform::Picture>>& png);
  void showText(Request& request);
  void showFileList(Request& request);
  void proposeDirectory(const Request& request);
  void applyPrefixes();
  void showWindowForMode();
  void applyExtensionRule(const std::wstring& requested, const std::array<const wchar_t*, 2>& known,
                          const wchar_t* extension);
};
