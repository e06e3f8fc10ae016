#include "platform/win32/Adapters.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win32/Handles.h"

namespace win32 {

namespace {

// Another program (a clipboard viewer, a remote desktop client) often holds the clipboard for a
// moment; waiting that long is better than telling the user it is not available.
constexpr ULONGLONG kOpenPatienceMs = 500;
constexpr DWORD kOpenRetryMs = 20;

// A bitmap: the program's own, deleted with the picture, or the clipboard's, which the
// clipboard keeps.
class BitmapPicture : public platform::Picture {
 public:
  BitmapPicture(HBITMAP bitmap, bool owned, int width, int height)
      : bitmap_(bitmap), owned_(owned ? bitmap : nullptr), width_(width), height_(height) {}
  [[nodiscard]] std::uintptr_t handle() const override {
    return reinterpret_cast<std::uintptr_t>(bitmap_);
  }
  [[nodiscard]] int widthPixels() const override { return width_; }
  [[nodiscard]] int heightPixels() const override { return height_; }

 private:
  HBITMAP bitmap_;
  UniqueBitmap owned_;
  int width_;
  int height_;
};

// The picture of a bitmap, or nothing for one that is not a bitmap (an owned one is deleted).
std::shared_ptr<platform::Picture> pictureOf(HBITMAP bitmap, bool owned) {
  UniqueBitmap ownership(owned ? bitmap : nullptr);
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
    return nullptr;
  (void)ownership.release();  // the picture takes it over
  return std::make_shared<BitmapPicture>(bitmap, owned, info.bmWidth, std::abs(info.bmHeight));
}

UINT formatNumber(platform::ClipFormat format) {
  using platform::ClipFormat;
  switch (format) {
    case ClipFormat::Link:
      return RegisterClipboardFormatW(L"Link");
    case ClipFormat::Text:
      return CF_TEXT;
    case ClipFormat::Bitmap:
      return CF_BITMAP;
    case ClipFormat::MetafilePict:
      return CF_METAFILEPICT;
    case ClipFormat::Dib:
      return CF_DIB;
    case ClipFormat::Palette:
      return CF_PALETTE;
    case ClipFormat::Rtf:
      return RegisterClipboardFormatW(L"Rich Text Format");
    case ClipFormat::HDrop:
      return CF_HDROP;
    case ClipFormat::Png:
      return RegisterClipboardFormatW(L"PNG");
  }
  return 0;
}

HDROP fileList() {
  return static_cast<HDROP>(GetClipboardData(CF_HDROP));
}

}  // namespace

std::shared_ptr<platform::Picture> ownPicture(HBITMAP bitmap) {
  return pictureOf(bitmap, true);
}

HWND Win32Clipboard::owner() {
  if (!owner_) {
    // With no owner, EmptyClipboard leaves the clipboard to nobody and SetClipboardData fails.
    // The system's own message-window class: the program's manifest hands "STATIC" to the
    // common controls, whose library a batch save would load for nothing.
    owner_.reset(CreateWindowExW(0, L"Message", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  }
  return owner_.get();
}

bool Win32Clipboard::isFormatAvailable(platform::ClipFormat format) {
  const UINT number = formatNumber(format);
  return number != 0 && IsClipboardFormatAvailable(number);
}

bool Win32Clipboard::isStandardFormatAvailable(unsigned number) {
  return number != 0 && IsClipboardFormatAvailable(number);
}

util::Status Win32Clipboard::open() {
  const HWND window = owner();
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (OpenClipboard(window))
      return {};
    if (GetTickCount64() - start >= kOpenPatienceMs)
      return lastErrorOr(ERROR_ACCESS_DENIED);
    Sleep(kOpenRetryMs);
  }
}

void Win32Clipboard::close() {
  lent_.reset();
  CloseClipboard();
}

bool Win32Clipboard::hasFileList() {
  return fileList() != nullptr;
}

std::uint32_t Win32Clipboard::fileCount() {
  const HDROP files = fileList();
  return files ? DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0) : 0;
}

std::optional<std::wstring> Win32Clipboard::fileName(std::uint32_t index) {
  const HDROP files = fileList();
  if (!files)
    return std::nullopt;
  // Asked for its length first: a name cut to a fixed buffer could name another file.
  const UINT length = DragQueryFileW(files, index, nullptr, 0);
  if (length == 0)
    return std::nullopt;
  std::wstring name(length + 1, L'\0');
  if (DragQueryFileW(files, index, name.data(), length + 1) != length)
    return std::nullopt;
  name.resize(length);
  return name;
}

std::shared_ptr<platform::Picture> Win32Clipboard::bitmap() {
  const auto held = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  if (!held)
    return nullptr;
  // The clipboard's bitmap belongs to the clipboard and goes when it changes: keep a copy.
  return ownPicture(static_cast<HBITMAP>(CopyImage(held, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

std::shared_ptr<platform::Picture> Win32Clipboard::borrowedBitmap() {
  return pictureOf(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), false);
}

std::optional<std::wstring> Win32Clipboard::text() {
  const GlobalLocked lock = lockGlobal(GetClipboardData(CF_UNICODETEXT));
  if (!lock)
    return std::nullopt;
  const auto* chars = static_cast<const wchar_t*>(lock.get());
  const std::size_t capacity = GlobalSize(lock.owner()) / sizeof(wchar_t);
  return std::wstring(chars, std::find(chars, chars + capacity, L'\0'));
}

std::optional<std::wstring_view> Win32Clipboard::borrowedText() {
  if (lent_)
    return std::nullopt;  // one lent text per opening
  lent_ = lockGlobal(GetClipboardData(CF_UNICODETEXT));
  if (!lent_)
    return std::nullopt;
  const auto* chars = static_cast<const wchar_t*>(lent_.get());
  const std::size_t capacity = GlobalSize(lent_.owner()) / sizeof(wchar_t);
  return std::wstring_view(chars, std::find(chars, chars + capacity, L'\0') - chars);
}

std::optional<std::string> Win32Clipboard::png() {
  const GlobalLocked lock = lockGlobal(GetClipboardData(RegisterClipboardFormatW(L"PNG")));
  if (!lock)
    return std::nullopt;
  // The block may be longer than the file; a decoder stops at the file's end.
  return std::string(static_cast<const char*>(lock.get()), GlobalSize(lock.owner()));
}

std::optional<std::string> Win32Clipboard::rtf() {
  const GlobalLocked lock =
      lockGlobal(GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format")));
  if (!lock)
    return std::nullopt;
  // RTF is text: the document ends at the NUL that closes it or with the block.
  const auto* bytes = static_cast<const char*>(lock.get());
  const std::size_t capacity = GlobalSize(lock.owner());
  return std::string(bytes, std::find(bytes, bytes + capacity, '\0'));
}

util::Status Win32Clipboard::clear() {
  return EmptyClipboard() ? 0 : lastErrorOr(ERROR_ACCESS_DENIED);
}

util::Status Win32Clipboard::setText(const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory)
    return lastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
  {
    const GlobalLocked lock = lockGlobal(memory.get());
    if (!lock)
      return lastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
    std::memcpy(lock.get(), text.c_str(), bytes);
  }
  if (!SetClipboardData(CF_UNICODETEXT, memory.get()))
    return lastErrorOr(ERROR_ACCESS_DENIED);
  // The clipboard owns the memory now.
  static_cast<void>(memory.release());
  return {};
}

}  // namespace win32
