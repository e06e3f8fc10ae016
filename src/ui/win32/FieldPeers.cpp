// The text fields and the file list: the platform's edit and list box controls.
#include "platform/win32/Handles.h"
#include "ui/win32/ControlPeers.h"

#include <algorithm>

namespace ui_win32 {

namespace {

// Edit controls hold texts of any length the clipboard may bring.
constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

std::wstring windowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

class TextBoxPeer : public ControlPeer {
 public:
  TextBoxPeer(FormWindow& window, ui::TextBox& box) : ControlPeer(window, box), box_(box) {}

  void command(WORD code) override {
    if (code != EN_CHANGE || updating_)
      return;
    box_.userSetText(windowText(hwnd_));
    readSelection();
  }
  [[nodiscard]] bool typesEnter() const override { return box_.multiLine(); }
  void beforeFirstShow() override {
    if (!held_)
      return;
    held_ = false;
    showText();
    applySelection();
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return L"EDIT"; }
  [[nodiscard]] DWORD style() const override {
    if (!box_.multiLine())
      return WS_TABSTOP | ES_AUTOHSCROLL;
    return WS_TABSTOP | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
           ES_WANTRETURN;
  }
  [[nodiscard]] DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  void created() override {
    // The limit first: a text longer than the default limit would be cut at creation.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, kNoTextLimit, 0);
    showText();
    applySelection();
  }
  void updateOwn(ui::Prop prop) override {
    if (prop != ui::Prop::Text && prop != ui::Prop::Selection)
      return;
    // Until the window first appears the model alone holds text and caret: a batch run that
    // never shows the window does not pay for laying out a clipboard text of many megabytes.
    if (!window_.shownOnce()) {
      held_ = true;
      return;
    }
    if (prop == ui::Prop::Text)
      showText();
    applySelection();
  }
  bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    // Keys and clicks move the caret: the model keeps up with it (not while the model holds a
    // text the window does not have yet).
    if (held_)
      return false;
    if (msg == WM_KEYUP || msg == WM_LBUTTONUP || msg == WM_KILLFOCUS) {
      result = defaultProc(msg, wp, lp);
      readSelection();
      return true;
    }
    return false;
  }

 private:
  // The edit control takes seconds to lay out a text of many megabytes, and beyond
  // kEditableLength a keystroke takes more than 100 ms (under Wine: 4 Mi characters show in
  // 4.5 s, a keystroke at most 80 ms; 8 Mi in 6 s, up to 160 ms; 64 Mi in 60 s, seconds). A
  // longer text shows only its start, says so, and cannot be edited there: the model keeps the
  // whole text, which is what a save writes.
  void showText() {
    const std::wstring& text = box_.text();
    const bool cut = box_.multiLine() && text.size() > kEditableLength;
    SendMessageW(hwnd_, EM_SETREADONLY, cut ? TRUE : FALSE, 0);
    if (!cut) {
      setTextQuietly(text);
      return;
    }
    setTextQuietly(text.substr(0, kPreviewLength) + L"\r\n\r\n[... The preview shows the first " +
                   std::to_wstring(kPreviewLength) + L" of " + std::to_wstring(text.size()) +
                   L" characters; the whole text is saved.]");
  }
  static constexpr std::size_t kEditableLength = 1 << 22;
  static constexpr std::size_t kPreviewLength = 1 << 18;

  void applySelection() {
    Quiet quiet(updating_);
    const int start = box_.selStart();
    const int end = start + box_.selLength();
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
  }
  void readSelection() {
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    box_.userSetSelection(static_cast<int>(start), static_cast<int>(end - start));
  }
  ui::TextBox& box_;
  bool held_ = false;
};

class ListBoxPeer : public ControlPeer {
 public:
  ListBoxPeer(FormWindow& window, ui::ListBox& list) : ControlPeer(window, list), list_(list) {}

  void applyDpi() override {
    ControlPeer::applyDpi();
    fill();
  }
  void command(WORD code) override {
    if (code == LBN_SELCHANGE) {
      list_.userSelect(selection());
    } else if (code == LBN_DBLCLK) {
      list_.userSelect(selection());
      list_.userDblClick();
    }
  }

 protected:
  [[nodiscard]] const wchar_t* className() const override { return L"LISTBOX"; }
  [[nodiscard]] DWORD style() const override {
    return WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
  }
  [[nodiscard]] DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  void created() override { fill(); }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Items)
      fill();
    // One entry at a time: refilling every remaining entry after each copied file made the copy
    // of a long list slow down with its length.
    if (prop == ui::Prop::ItemRemoved) {
      SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(list_.removedIndex()), 0);
      SendMessageW(hwnd_, LB_SETCURSEL, list_.listIndex(), 0);
    }
    if (prop == ui::Prop::ListIndex)
      SendMessageW(hwnd_, LB_SETCURSEL, list_.listIndex(), 0);
  }

 private:
  [[nodiscard]] int selection() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
  }
  void fill() {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    SendMessageW(hwnd_, LB_INITSTORAGE, list_.items().size(), 0);
    // Long paths scroll sideways rather than being cut off.
    LONG widest = 0;
    {
      const win32::ReleasedDc dc = win32::windowDc(hwnd_);
      const win32::SelectedObject font = win32::select(dc.get(), window_.font(list_.font()));
      for (const std::wstring& item : list_.items()) {
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), item.c_str(), static_cast<int>(item.size()), &extent);
        widest = std::max(widest, extent.cx);
      }
    }
    const LONG extent = widest + 4;
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    SendMessageW(hwnd_, LB_SETCURSEL, list_.listIndex(), 0);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  ui::ListBox& list_;
};

}  // namespace

std::unique_ptr<ControlPeer> makeTextBoxPeer(FormWindow& window, ui::TextBox& box) {
  return std::make_unique<TextBoxPeer>(window, box);
}

std::unique_ptr<ControlPeer> makeListBoxPeer(FormWindow& window, ui::ListBox& list) {
  return std::make_unique<ListBoxPeer>(window, list);
}

}  // namespace ui_win32
