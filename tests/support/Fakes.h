#pragma once
#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Gdiplus.h"
#include "platform/Internet.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/ShellRegistry.h"
#include "ui/Control.h"

namespace fake {

// Thrown by FakeProcess::exit so that a test sees the end of the program; only tests catch it.
struct ProgramEnded {
  int status;
};

// Runs an action of the program; the exit status when the program ended in it, nothing when it
// keeps running.
template <class F>
std::optional<int> exitStatusOf(F&& action) {
  try {
    action();
  } catch (const ProgramEnded& e) {
    return e.status;
  }
  return std::nullopt;
}

struct Box {
  std::wstring text;
  int style;
  std::wstring title = platform::kProgramTitle;  // as shown: the program's when none was given
  bool operator==(const Box&) const = default;
};
using Boxes = std::vector<Box>;
void PrintTo(const Box& box, std::ostream* out);

class FakeDialogs : public platform::Dialogs {
 public:
  int messageBox(const std::wstring& text, int style, const std::wstring& title) override;
  // Answers for the next boxes, in order; a box without a scripted answer gets OK (or No).
  std::deque<int> answers;
  std::vector<Box> shown;
};

class FakeProcess : public platform::Process {
 public:
  std::wstring commandLine() override { return commandLineText; }
  std::wstring currentDirectory() override { return currentDir; }
  util::Status setCurrentDirectory(const std::wstring& path) override {
    currentDir = path;
    return {};
  }
  std::wstring programDirectory() override { return programDir; }
  std::wstring programName() override { return programBaseName; }
  std::wstring programPath() override { return programDir + L"\\" + programBaseName + L".exe"; }
  // TestPlatform makes it.
  std::wstring temporaryDirectory() override { return L"C:\\Users\\Me\\Temp\\"; }
  std::uint32_t startProcess(const std::wstring& application, const std::wstring& commandLine,
                             int showState) override {
    started.push_back({commandLine, showState, application});
    return startSucceeds ? 4242 : 0;
  }
  void beep() override { ++beeps; }
  void processPendingMessages() override {
    if (onPendingMessages)
      onPendingMessages();
  }
  std::wstring errorText(std::uint32_t code) override { return L"error " + std::to_wstring(code); }

  std::wstring commandLineText;
  std::wstring currentDir = L"C:\\Data\\Shots";
  std::wstring programDir = L"C:\\Tools";
  std::wstring programBaseName = L"Brimlo";
  bool startSucceeds = true;
  struct Started {
    std::wstring commandLine;
    int showState;
    std::wstring application;
    bool operator==(const Started&) const = default;
  };
  using Starts = std::vector<Started>;
  Starts started;
  int beeps = 0;
  // Lets a test act while the window repaints between steps.
  std::function<void()> onPendingMessages;

 protected:
  void end(int status) override { throw ProgramEnded{status}; }
};

void PrintTo(const FakeProcess::Started& started, std::ostream* out);

class FakeSettings : public platform::SettingsStore {
 public:
  std::optional<std::wstring> read(const std::wstring& app, const std::wstring& section,
                                   const std::wstring& key) override {
    auto it = values.find(app + L"\\" + section + L"\\" + key);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  util::Status write(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) override {
    ++writes;
    if (!failWrites)
      values[app + L"\\" + section + L"\\" + key] = value;
    return failWrites ? 5 : 0;
  }
  // "app\section\key" -> value, exactly as addressed.
  std::map<std::wstring, std::wstring> values;
  int writes = 0;
  bool failWrites = false;
};

class FakeScreen : public platform::Screen {
 public:
  int primaryWidthTwips() override { return width; }
  int primaryHeightTwips() override { return height; }
  int width = 1920 * 15;
  int height = 1080 * 15;
};

class FakeClock : public platform::Clock {
 public:
  platform::LocalTime now() override { return time; }
  platform::LocalTime time{2026, 12, 6, 5, 51, 52};
};

class FakePicture : public platform::Picture {
 public:
  FakePicture(int w, int h, std::uintptr_t handleValue = 0x1234)
      : w_(w), h_(h), handle_(handleValue) {}
  std::uintptr_t handle() const override { return handle_; }
  int widthPixels() const override { return w_; }
  int heightPixels() const override { return h_; }

 private:
  int w_, h_;
  std::uintptr_t handle_;
};

class FakeClipboard : public platform::Clipboard {
 public:
  bool isFormatAvailable(platform::ClipFormat format) override { return formats.count(format); }
  bool isStandardFormatAvailable(unsigned number) override { return standardNumbers.count(number); }
  util::Status open() override {
    if (heldByOther || isOpen)
      return 5;  // access denied
    ++opens;
    isOpen = true;
    return {};
  }
  void close() override {
    closes += isOpen;
    isOpen = false;
  }
  bool hasFileList() override { return isOpen && files; }
  std::uint32_t fileCount() override { return isOpen && files ? files->size() : 0; }
  std::optional<std::wstring> fileName(std::uint32_t i) override {
    if (!isOpen || !files || i >= files->size() || unreadableNames.count(i))
      return std::nullopt;
    return (*files)[i];
  }
  std::shared_ptr<platform::Picture> bitmap() override {
    if (!isOpen || !formats.count(platform::ClipFormat::Bitmap) || !picture)
      return nullptr;
    ++copies;
    return picture;
  }
  // The clipboard's own content, no copy.
  std::shared_ptr<platform::Picture> borrowedBitmap() override {
    return isOpen && formats.count(platform::ClipFormat::Bitmap) ? picture : nullptr;
  }
  std::optional<std::wstring> text() override {
    if (!isOpen)
      return std::nullopt;
    copies += textContent.has_value();
    return textContent;
  }
  std::optional<std::wstring_view> borrowedText() override {
    if (!isOpen || !textContent)
      return std::nullopt;
    return std::wstring_view(*textContent);
  }
  std::optional<std::string> png() override { return isOpen ? pngContent : std::nullopt; }
  std::optional<std::string> rtf() override { return isOpen ? rtfContent : std::nullopt; }
  util::Status clear() override;
  util::Status setText(const std::wstring& text) override {
    if (isOpen) {
      textContent = text;
      formats.insert(platform::ClipFormat::Text);
    }
    return isOpen ? 0 : 5;
  }

  // Content.
  std::set<platform::ClipFormat> formats;
  std::set<unsigned> standardNumbers;  // standard formats offered, by number
  std::optional<std::wstring> textContent;
  std::shared_ptr<platform::Picture> picture;
  std::optional<std::string> pngContent;
  std::optional<std::string> rtfContent;
  std::optional<std::vector<std::wstring>> files;
  std::set<std::uint32_t> unreadableNames;  // indices of names that cannot be read whole
  bool heldByOther = false;
  // Bookkeeping.
  bool isOpen = false;
  int opens = 0;
  int closes = 0;
  int copies = 0;  // of the content, by bitmap() and text()
};

// Files and directories under Windows rules: drive letters, names compared without letter case,
// attributes, the length limits and the characters Windows refuses.
class FakeFileSystem : public platform::FileSystem {
 public:
  FakeFileSystem() { addDrive(L'C'); }
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
  std::optional<std::uint64_t> freeSpace(const std::wstring&) override { return freeBytes; }

  // Test set-up and inspection; set-up creates the missing parent directories.
  void addDrive(wchar_t letter);
  void addDirectory(const std::wstring& path,
                    std::uint32_t attributes = platform::attr::kDirectory);
  void addFile(const std::wstring& path, const std::string& bytes,
               std::uint32_t attributes = platform::attr::kArchive);
  bool exists(const std::wstring& path) const { return entries_.count(key(path)); }
  std::optional<std::string> contents(const std::wstring& path) const;
  // Every path the fake holds, for "nothing left behind" checks.
  std::vector<std::wstring> allPaths() const;
  // Files that are held open by another program: writing or replacing them fails.
  std::set<std::wstring> locked;
  // Decides the fate of each write before it happens: an error code (a full disk), 0 to let it
  // happen, or an exception.
  std::function<std::uint32_t(const std::wstring& path)> writeFault;
  // What every volume has free.
  std::uint64_t freeBytes = std::uint64_t{1} << 40;
  // Files moved over a target before anything flushed them to the disk.
  int unflushedReplaces = 0;

  static std::wstring key(const std::wstring& path);

 private:
  struct Entry {
    std::wstring name;
    bool directory = false;
    std::uint32_t attributes = 0;
    std::string bytes;
    bool flushed = false;
  };
  static std::uint32_t checkName(const std::wstring& path);
  bool inDirectory(const std::wstring& k) const;
  std::uint32_t unchangeable(const std::wstring& k) const;
  void put(const std::wstring& path, Entry entry);
  std::map<std::wstring, Entry> entries_;
};

// The window side of a rich-text box: the document it would write, and what it was asked to do.
class FakeRichPeer : public ui::RichTextPeer {
 public:
  void update(ui::Prop) override {}
  void paste() override { ++pastes; }
  std::wstring rtf() override { return L""; }
  void setRtf(const std::wstring&) override {}
  std::wstring plainText() override { return plain; }
  void setCaret(int) override {}
  std::optional<std::string> rtfDocument() override { return document; }
  // Nothing: the box could not write its document whole.
  std::optional<std::string> document = "{\\rtf1 fake}";
  std::wstring plain;
  int pastes = 0;
};

// Windows-1252 (its Latin-1 part and the euro sign) as the ANSI code page.
class FakeCodepage : public platform::Codepage {
 public:
  std::optional<std::string> toAnsiExact(std::wstring_view text) override;
};

class FakeWindow : public platform::Window {
 public:
  void setWindowPos(std::uintptr_t, std::intptr_t insertAfter, int, int, int, int,
                    unsigned flags) override {
    calls.push_back({insertAfter, flags});
  }
  struct Call {
    std::intptr_t insertAfter;
    unsigned flags;
  };
  std::vector<Call> calls;
};

// The shell over the fake file system: associations by extension, copies recorded and applied.
class FakeShell : public platform::Shell {
 public:
  explicit FakeShell(FakeFileSystem& fs) : fs_(fs) {}
  util::Status findExecutable(const std::wstring& file, std::wstring& program) override;
  platform::FileCopyResult copyFile(const platform::FileCopy& copy) override;

  // Extension in lower case with its dot (".txt") -> program path.
  std::map<std::wstring, std::wstring> associations{{L".txt", L"C:\\Windows\\notepad.exe"},
                                                    {L".html", L"C:\\Windows\\winebrowser.exe"}};
  // Answers (code, program text) for the next lookups, given before the file system decides; the
  // real shell may leave text behind on failure.
  std::deque<std::pair<std::uint32_t, std::wstring>> scriptedLookups;
  std::vector<platform::FileCopy> copies;
  // Scripted outcome of the next copies (default: success, applied to the file system).
  std::vector<platform::FileCopyResult> copyResults;

 private:
  FakeFileSystem& fs_;
};

// GDI+ that records every call with its arguments, can fail at a chosen step, and encodes to a
// few fixed bytes.
class FakeGdiplus : public platform::Gdiplus {
 public:
  util::Status startup(const platform::GdiplusStartupInput& input, std::uintptr_t& token) override;
  util::Status createBitmapFromHbitmap(std::uintptr_t hbitmap, std::uintptr_t palette,
                                       std::uintptr_t& image) override;
  // Decodes what starts like a PNG file, into a picture of 300 x 200.
  util::Status createBitmapFromStream(const std::string& bytes, std::uintptr_t& image) override;
  util::Status createHbitmapFromBitmap(std::uintptr_t image, std::uint32_t background,
                                       std::shared_ptr<platform::Picture>& picture) override;
  // A class id that names its text: the save shows which text it came from.
  platform::Guid parseClsid(const std::wstring& text) override;
  util::Status saveImageToMemory(std::uintptr_t image, const platform::Guid& encoder,
                                 const platform::EncoderParameters& parameters,
                                 std::string& bytes) override;
  util::Status disposeImage(std::uintptr_t image) override;
  void shutdown(std::uintptr_t token) override;

  // Status each step returns (0 = success).
  int startupStatus = 0;
  int createStatus = 0;
  int saveStatus = 0;
  // Every call with its arguments, numbers in hex: L"createBitmap b17 0".
  std::vector<std::wstring> calls;
  int live = 0;  // sessions and images not yet released
  static constexpr char kJpeg[] = "\xFF\xD8 fake jpeg \xFF\xD9";

 private:
  std::vector<std::wstring> clsids_;
};

class FakeShellRegistry : public platform::ShellRegistry {
 public:
  util::Status setDefaultValue(Root root, const std::wstring& subkey,
                               const std::wstring& value) override;
  // "HKCR\<subkey>" or "HKCU\Software\Classes\<subkey>" -> default value.
  std::map<std::wstring, std::wstring> values;
  std::uint32_t classesRootError = 0;  // e.g. 5 (access denied) without administrator rights
  std::uint32_t currentUserError = 0;
  int writes = 0;
};

// The Internet services: downloads answered by a function, a scripted cache.
class FakeInternet : public platform::Internet {
 public:
  util::Status downloadToFile(const std::wstring& url, const std::wstring& file) override;
  bool cacheGroupsSupported() override { return groupsSupported; }
  std::uintptr_t findFirstCacheGroup(std::int64_t& groupId) override;
  bool findNextCacheGroup(std::uintptr_t find, std::int64_t& groupId) override;
  util::Status deleteCacheGroup(std::int64_t groupId, std::uint32_t flags) override;
  std::uintptr_t findFirstCacheEntry(std::wstring& sourceUrl, std::uint32_t bufferSize) override;
  bool findNextCacheEntry(std::uintptr_t find, std::wstring& sourceUrl,
                          std::uint32_t bufferSize) override;
  util::Status deleteCacheEntry(const std::wstring& sourceUrl) override;
  void closeFind(std::uintptr_t find) override;
  std::uint32_t lastError() override { return error; }

  // Answers a download (url, file) with an HRESULT; the default refuses (no network).
  std::function<std::int32_t(const std::wstring&, const std::wstring&)> onDownload;
  std::vector<std::wstring> downloads;
  bool groupsSupported = true;
  std::vector<std::int64_t> groups;
  std::vector<std::wstring> entries;
  bool failGroupDelete = false;
  // The error with which the next-group and next-entry calls fail at the end of their list;
  // anything but 2 (groups) or 259 (entries) stands for a broken cache.
  std::uint32_t groupListEnd = 2;
  std::uint32_t entryListEnd = 259;
  std::vector<std::wstring> calls;  // what was called, in order
  std::uint32_t error = 0;

 private:
  // Hands out the next item of a list, or fails with the given error at its end.
  template <class T>
  bool next(const std::vector<T>& list, std::size_t& at, T& item, std::uint32_t end);
  std::size_t nextGroup_ = 0;
  std::size_t nextEntry_ = 0;
};

// All fakes together, and the platform view that the program receives.
struct TestPlatform {
  TestPlatform() { fileSystem.addDirectory(L"C:\\Users\\Me\\Temp"); }
  FakeDialogs dialogs;
  FakeProcess process;
  FakeSettings settings;
  FakeScreen screen;
  FakeClock clock;
  FakeClipboard clipboard;
  FakeFileSystem fileSystem;
  FakeWindow window;
  FakeShell shell{fileSystem};
  FakeGdiplus gdiplus;
  FakeCodepage codepage;
  FakeShellRegistry shellRegistry;
  FakeInternet internet;
  platform::Platform platform{dialogs,   process,       settings, screen, clock,
                              clipboard, fileSystem,    window,   shell,  gdiplus,
                              codepage,  shellRegistry, internet};
};

}  // namespace fake
