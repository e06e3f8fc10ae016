// The rich-text box: the platform's rich edit control, read and written as RTF.
#include <windows.h>
#include <richedit.h>

#include <optional>
#include <string>

#include "ui/win32/ControlPeers.h"

namespace ui_win32 {

namespace {

constexpr LPARAM kNoTextLimit = 0x7FFFFFFE;

// Msftedit where it exists, the older RichEdit 2 elsewhere. Loaded once, kept for the process.
const wchar_t* richEditClass() {
  static const wchar_t* const name = [] {
    initializeOle();
    if (LoadLibraryW(L"Msftedit.dll"))
      return MSFTEDIT_CLASS;
    if (LoadLibraryW(L"Riched20.dll"))
      return RICHEDIT_CLASSW;
    return MSFTEDIT_CLASS;
  }();
  return name;
}

// RTF is 7-bit text with escapes, so its bytes map 1:1 onto the model's characters.
std::wstring widen(const std::string& bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char c : bytes)
    text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

// A character beyond one byte becomes RTF's own Unicode escape.
std::string narrow(const std::wstring& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) {
    if (c < 0x100) {
      bytes += static_cast<char>(c);
    } else {
      bytes += "\\u" + std::to_string(static_cast<short>(c)) + "?";
    }
  }
  return bytes;
}

// The stream callbacks run inside the rich edit control: nothing may be thrown through it. A
// failure stops the stream, and the control reports it in the stream's error field.
DWORD CALLBACK appendOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  try {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                   static_cast<std::size_t>(size));
  } catch (...) {
    *done = 0;
    return 1;
  }
  *done = size;
  return 0;
}

struct Source {
  const std::string& bytes;
  std::size_t position = 0;
};

DWORD CALLBACK readIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* source = reinterpret_cast<Source*>(cookie);
  const std::size_t left = source->bytes.size() - source->position;
  const std::size_t count = left < static_cast<std::size_t>(size) ? left : size;
  source->bytes.copy(reinterpret_cast<char*>(buffer), count, source->position);
  source->position += count;
  *done = static_cast<LONG>(count);
  return 0;
}

class RichTextBoxPeer : public ControlPeer, public ui::RichTextPeer {
 public:
  RichTextBoxPeer(FormWindow& window, ui::RichTextBox& box) : ControlPeer(window, box), box_(box) {}

  void attach() override { box_.attachRichPeer(this); }
  void update(ui::Prop prop) override {
    ControlPeer::update(prop);
    if (prop == ui::Prop::Colors && hwnd_) {
      SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(box_.backColor()));
      applyDefaultFormat();
    }
  }
  void applyDpi() override {
    ControlPeer::applyDpi();
    applyDefaultFormat();
  }
  [[nodiscard]] bool typesEnter() const override { return true; }

  // RichTextPeer
  void paste() override {
    // Pasted RTF that does not reset its format takes the default one: keep it plain.
    applyDefaultFormat();
    Quiet quiet(updating_);
    SendMessageW(hwnd_, WM_PASTE, 0, 0);
  }
  std::wstring rtf() override { return widen(rtfDocument().value_or(std::string())); }
  void setRtf(const std::wstring& document) override {
    Quiet quiet(updating_);
    if (document.empty()) {
      SetWindowTextW(hwnd_, L"");
      return;
    }
    const std::string bytes = narrow(document);
    Source source{bytes};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, readIn};
    SendMessageW(hwnd_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  }
  std::wstring plainText() override {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring content(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd_, content.data(), length + 1);
    content.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return content;
  }
  void setCaret(int position) override {
    CHARRANGE range{position, position};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
  }
  std::optional<std::string> rtfDocument() override {
    std::string bytes;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&bytes), 0, appendOut};
    SendMessageW(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
      return std::nullopt;
    return bytes;
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return richEditClass(); }
  [[nodiscard]] DWORD style() const override {
    return WS_TABSTOP | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
  }
  [[nodiscard]] DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  void created() override {
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, kNoTextLimit);
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(box_.backColor()));
    applyDefaultFormat();
    // The box is not attached yet, so this is the text the design gave it.
    setRtf(box_.textRTF());
  }

 private:
  // The control's own default is a bold system font: every text without its own format
  // would take it.
  void applyDefaultFormat() {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_SIZE |
                    CFM_COLOR | CFM_CHARSET;
    format.dwEffects = 0;
    const FontSpec font = fontSpec(box_.font());
    format.yHeight = font.points * 20;
    format.crTextColor = box_.foreColor();
    format.bCharSet = DEFAULT_CHARSET;
    lstrcpynW(format.szFaceName, font.name, LF_FACESIZE);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  }
  ui::RichTextBox& box_;
};

}  // namespace

std::unique_ptr<ControlPeer> makeRichTextPeer(FormWindow& window, ui::RichTextBox& box) {
  return std::make_unique<RichTextBoxPeer>(window, box);
}

}  // namespace ui_win32
