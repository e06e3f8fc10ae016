#pragma once
// The real platform: one thin adapter per port, each a direct use of the Win32 calls.
#include <windows.h>

#include <functional>

#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace win32 {

// A function of a module (by name, or by number through MAKEINTRESOURCEA); null where the module
// or the function is missing.
template <class Function>
Function moduleFunction(HMODULE module, const char* name) {
  // GetProcAddress hands out a generic function pointer; the caller names its real type.
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// A function of a loaded system module that older systems may lack; null where it is missing.
template <class Function>
Function systemFunction(const wchar_t* module, const char* name) {
  return moduleFunction<Function>(GetModuleHandleW(module), name);
}

// The failure of the Win32 call just made: its last error, or the fallback where it left none
// (a failure must never read as success).
inline std::uint32_t lastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error ? error : fallback;
}

// The DPI the system scales new windows for: the primary screen's, for the screen port and the
// window alike.
int systemDpi();

// Twips (1/1440 inch) and pixels at a DPI, rounded to the nearest: the one conversion the window
// and the screen port share, so a stored position and the screen's size are measured alike.
constexpr int kTwipsPerInch = 1440;
inline int twipsToPixels(int twips, int dpi) {
  return MulDiv(twips, dpi, kTwipsPerInch);
}
inline int pixelsToTwips(int pixels, int dpi) {
  return MulDiv(pixels, kTwipsPerInch, dpi);
}

// The bitmap as a picture that owns it (released with it); nothing, and the bitmap released,
// when it is no bitmap.
std::shared_ptr<platform::Picture> ownPicture(HBITMAP bitmap);

class MessageBoxDialogs : public platform::Dialogs {
 public:
  int messageBox(const std::wstring& text, int style, const std::wstring& title) override;
};

class Win32Process : public platform::Process {
 public:
  std::wstring commandLine() override;
  std::wstring currentDirectory() override;
  util::Status setCurrentDirectory(const std::wstring& path) override;
  std::wstring programDirectory() override;
  std::wstring programName() override;
  std::wstring programPath() override;
  std::wstring temporaryDirectory() override;
  std::uint32_t startProcess(const std::wstring& application, const std::wstring& commandLine,
                             int showState) override;
  void beep() override;
  void processPendingMessages() override;
  std::wstring errorText(std::uint32_t code) override;
  // The pending messages take the window's own road (its key preview and dialog keys), so
  // Esc and F5 work the same while a long step lets the window work.
  void routeMessages(std::function<void(MSG&)> dispatch) { dispatch_ = std::move(dispatch); }

 protected:
  void end(int status) override;

 private:
  std::function<void(MSG&)> dispatch_;
};

// Settings under HKEY_CURRENT_USER\Software\<app>\<section>, values as REG_SZ.
class RegistrySettings : public platform::SettingsStore {
 public:
  std::optional<std::wstring> read(const std::wstring& app, const std::wstring& section,
                                   const std::wstring& key) override;
  util::Status write(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override;
};

class Win32Screen : public platform::Screen {
 public:
  int primaryWidthTwips() override;
  int primaryHeightTwips() override;
};

class LocalClock : public platform::Clock {
 public:
  platform::LocalTime now() override;
};

class Win32Clipboard : public platform::Clipboard {
 public:
  bool isFormatAvailable(platform::ClipFormat format) override;
  bool isStandardFormatAvailable(unsigned number) override;
  util::Status open() override;
  void close() override;
  bool hasFileList() override;
  std::uint32_t fileCount() override;
  std::optional<std::wstring> fileName(std::uint32_t index) override;
  std::shared_ptr<platform::Picture> bitmap() override;
  std::shared_ptr<platform::Picture> borrowedBitmap() override;
  std::optional<std::wstring> text() override;
  std::optional<std::wstring_view> borrowedText() override;
  std::optional<std::string> png() override;
  std::optional<std::string> rtf() override;
  util::Status clear() override;
  util::Status setText(const std::wstring& text) override;

 private:
  // The hidden window that owns the clipboard while the program writes to it; made on first use.
  HWND owner();
  UniqueWindow owner_;
  // The text lent out by borrowedText, locked until the clipboard closes.
  GlobalLocked lent_;
};

class Win32FileSystem : public platform::FileSystem {
 public:
  std::optional<std::uint32_t> attributes(const std::wstring& path) override;
  platform::Lookup findPlainFile(const std::wstring& path) override;
  platform::Lookup findFile(const std::wstring& path) override;
  util::Status createDirectory(const std::wstring& path) override;
  util::Status createNewFile(const std::wstring& path) override;
  util::Status writeFile(const std::wstring& path, const std::string& bytes) override;
  util::Status flushFile(const std::wstring& path) override;
  util::Status setAttributes(const std::wstring& path, std::uint32_t attributes) override;
  util::Status replaceFile(const std::wstring& from, const std::wstring& to) override;
  util::Status deleteFile(const std::wstring& path) override;
  util::Status openForReading(const std::wstring& path, std::uint64_t& size) override;
  std::optional<std::uint64_t> freeSpace(const std::wstring& directory) override;
};

class Win32Window : public platform::Window {
 public:
  void setWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                    unsigned flags) override;
};

class Win32Shell : public platform::Shell {
 public:
  util::Status findExecutable(const std::wstring& file, std::wstring& program) override;
  platform::FileCopyResult copyFile(const platform::FileCopy& copy) override;
};

class Win32Gdiplus : public platform::Gdiplus {
 public:
  util::Status startup(const platform::GdiplusStartupInput& input, std::uintptr_t& token) override;
  util::Status createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                       std::uintptr_t& image) override;
  util::Status createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) override;
  util::Status createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                       std::shared_ptr<platform::Picture>& picture) override;
  platform::Guid parseClsid(const std::wstring& text) override;
  util::Status saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                                 const platform::EncoderParameters& parameters,
                                 std::string& bytes) override;
  util::Status disposeImage(std::uintptr_t image) override;
  void shutdown(std::uintptr_t token) override;
};

class AnsiCodepage : public platform::Codepage {
 public:
  // The system's ANSI code page, or (for tests) the one given.
  explicit AnsiCodepage(UINT codePage = 0) : codePage_(codePage) {}
  std::optional<std::string> toAnsiExact(std::wstring_view text) override;

 private:
  UINT codePage_;
};

class Win32ShellRegistry : public platform::ShellRegistry {
 public:
  util::Status setDefaultValue(Root root, const std::wstring& subkey,
                               const std::wstring& value) override;
};

class Win32Internet : public platform::Internet {
 public:
  util::Status downloadToFile(const std::wstring& url, const std::wstring& file) override;
  bool cacheGroupsSupported() override;
  std::uintptr_t findFirstCacheGroup(std::int64_t& groupId) override;
  bool findNextCacheGroup(std::uintptr_t find, std::int64_t& groupId) override;
  util::Status deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) override;
  std::uintptr_t findFirstCacheEntry(std::wstring& sourceUrl, std::uint32_t bufferSize) override;
  bool findNextCacheEntry(std::uintptr_t find, std::wstring& sourceUrl,
                          std::uint32_t bufferSize) override;
  util::Status deleteCacheEntry(const std::wstring& sourceUrl) override;
  void closeFind(std::uintptr_t find) override;
  std::uint32_t lastError() override;
};

// All adapters together, and the platform view that the program receives.
struct RealPlatform {
  MessageBoxDialogs dialogs;
  Win32Process process;
  RegistrySettings settings;
  Win32Screen screen;
  LocalClock clock;
  Win32Clipboard clipboard;
  Win32FileSystem fileSystem;
  Win32Window window;
  Win32Shell shell;
  Win32Gdiplus gdiplus;
  AnsiCodepage codepage;
  Win32ShellRegistry shellRegistry;
  Win32Internet internet;
  platform::Platform platform{dialogs,   process,       settings, screen, clock,
                              clipboard, fileSystem,    window,   shell,  gdiplus,
                              codepage,  shellRegistry, internet};
};

}  // namespace win32
