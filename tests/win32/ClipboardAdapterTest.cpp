#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"

namespace {

using platform::ClipFormat;

// Puts content on the clipboard as another program would: from its own window.
class ClipboardTest : public testing::Test {
 protected:
  ClipboardTest()
      : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr)) {}

  void put(const std::function<void()>& setData) {
    ASSERT_TRUE(OpenClipboard(window_.get()));
    EmptyClipboard();
    setData();
    CloseClipboard();
  }
  static void putBytes(UINT format, const void* data, std::size_t size) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory))
      GlobalFree(memory);
  }
  // A file list as Explorer puts it: the names, each ended by a NUL, and one NUL more.
  static void putFiles(const std::vector<std::wstring>& names) {
    const DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::wstring& name : names)
      block.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * 2);
    block.append(2, '\0');
    putBytes(CF_HDROP, block.data(), block.size());
  }
  // A picture whose pixel (x, y) has the colour RGB(x, y, 0x80).
  static HBITMAP makePicture(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        static_cast<std::uint32_t*>(bits)[y * width + x] = (x << 16) | (y << 8) | 0x80u;
    }
    return picture;
  }

  win32::UniqueWindow window_;
  win32::Win32Clipboard clipboard;
};

TEST_F(ClipboardTest, EachKindOfContentIsRecognisedByItsOwnFormat) {
  const struct {
    BITMAPINFOHEADER header;
    DWORD pixel;
  } dib{{sizeof(BITMAPINFOHEADER), 1, 1, 1, 32, BI_RGB, 4, 0, 0, 0, 0}, 0x7f7f7f};
  const LOGPALETTE palette{0x300, 1, {{10, 20, 30, 0}}};
  const struct {
    DROPFILES header;
    wchar_t names[11];  // one name, then the empty one that ends the list
  } drop{{sizeof(DROPFILES), {}, FALSE, TRUE}, L"C:\\a.txt\0"};
  struct Case {
    std::function<void()> setData;
    UINT number;  // 0: a registered format
    ClipFormat format;
  };
  const Case cases[] = {
      {[] { putBytes(CF_UNICODETEXT, L"hello", 12); }, CF_UNICODETEXT, ClipFormat::Text},
      {[] { putBytes(RegisterClipboardFormatW(L"Rich Text Format"), "{\\rtf1 hi}", 11); }, 0,
       ClipFormat::Rtf},
      {[] { putBytes(RegisterClipboardFormatW(L"Link"), "app\0topic\0item\0\0", 16); }, 0,
       ClipFormat::Link},
      {[] { SetClipboardData(CF_BITMAP, makePicture(4, 3)); }, CF_BITMAP, ClipFormat::Bitmap},
      {[&] { putBytes(CF_DIB, &dib, sizeof(dib)); }, CF_DIB, ClipFormat::Dib},
      {[&] { SetClipboardData(CF_PALETTE, CreatePalette(&palette)); }, CF_PALETTE,
       ClipFormat::Palette},
      {[] {
         const METAFILEPICT picture{MM_ANISOTROPIC, 100, 100,
                                    CloseMetaFile(CreateMetaFileW(nullptr))};
         putBytes(CF_METAFILEPICT, &picture, sizeof(picture));
       },
       CF_METAFILEPICT, ClipFormat::MetafilePict},
      {[&] { putBytes(CF_HDROP, &drop, sizeof(drop)); }, CF_HDROP, ClipFormat::HDrop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    put(c.setData);
    EXPECT_TRUE(clipboard.isFormatAvailable(c.format));
    // The system adds formats it can make from another (a DIB from a bitmap, text in other
    // encodings); none of these.
    for (ClipFormat other :
         {ClipFormat::Text, ClipFormat::Rtf, ClipFormat::Link, ClipFormat::HDrop}) {
      EXPECT_TRUE(other == c.format || !clipboard.isFormatAvailable(other)) << int(other);
    }
    EXPECT_EQ(clipboard.isStandardFormatAvailable(c.number), c.number != 0);
  }
}

TEST_F(ClipboardTest, ContentComesBackAsWrittenUpToItsEnd) {
  struct Case {
    std::function<void(win32::Win32Clipboard&)> write;
    std::optional<std::wstring> read;
    std::optional<std::string> rtf = std::nullopt;  // the "Rich Text Format" document
    std::vector<std::wstring> files = {};
  };
  static const UINT rtf = RegisterClipboardFormatW(L"Rich Text Format");
  // Names longer than the system's usual path, and many of them.
  std::vector<std::wstring> files{L"C:\\" + std::wstring(296, L'n') + L".txt"};
  for (int i = 0; i < 200; ++i)
    files.push_back(L"C:\\Shots\\Στιγμιότυπο " + std::to_wstring(i) + L".png");
  const Case cases[] = {
      {[](auto& c) { EXPECT_TRUE(c.setText(L"Grüße Ωμέγα 漢字 😀\r\n").ok()); },
       L"Grüße Ωμέγα 漢字 😀\r\n"},
      {[](auto& c) { EXPECT_TRUE(c.setText(L"").ok()); }, L""},
      {[](auto&) { putBytes(CF_UNICODETEXT, L"abc\0junk", 18); }, L"abc"},
      {[](auto&) {}, std::nullopt},
      {[](auto&) { putBytes(rtf, "{\\rtf1 a}\0junk", 14); }, std::nullopt, "{\\rtf1 a}"},
      {[](auto&) { putBytes(rtf, "{\\rtf1 b}", 9); }, std::nullopt, "{\\rtf1 b}"},
      {[&](auto&) { putFiles(files); }, std::nullopt, std::nullopt, files},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(clipboard.open().ok());
    EXPECT_TRUE(clipboard.clear().ok());
    c.write(clipboard);
    clipboard.close();

    platform::OpenClipboard open(clipboard);
    ASSERT_TRUE(open.isOpen());
    EXPECT_EQ(clipboard.text(), c.read);
    // Lent anew in every opening: the lock of the last one was given back on closing.
    const auto lent = clipboard.borrowedText();
    EXPECT_EQ(lent ? std::optional<std::wstring>(*lent) : std::nullopt, c.read);
    EXPECT_EQ(clipboard.rtf(), c.rtf);
    ASSERT_EQ(clipboard.fileCount(), c.files.size());
    for (std::uint32_t i = 0; i < c.files.size(); ++i)
      EXPECT_EQ(clipboard.fileName(i), c.files[i]);
  }
}

TEST_F(ClipboardTest, HeldPictureOutlivesTheClipboardContent) {
  put([] { SetClipboardData(CF_BITMAP, makePicture(37, 23)); });
  std::shared_ptr<platform::Picture> picture;
  {
    platform::OpenClipboard open(clipboard);
    ASSERT_TRUE(open.isOpen());
    picture = clipboard.bitmap();
    EXPECT_TRUE(clipboard.clear().ok());
    EXPECT_EQ(clipboard.bitmap(), nullptr);
  }
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->widthPixels(), 37);
  EXPECT_EQ(picture->heightPixels(), 23);
  const auto handle = reinterpret_cast<HBITMAP>(picture->handle());
  {
    const win32::UniqueDc dc(CreateCompatibleDC(nullptr));
    const win32::SelectedObject selected = win32::select(dc.get(), handle);
    for (const POINT p : {POINT{0, 0}, POINT{36, 22}, POINT{12, 5}})
      EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), RGB(p.x, p.y, 0x80)) << p.x << "," << p.y;
  }
  picture.reset();
  EXPECT_EQ(GetObjectType(handle), 0u) << "the copy must be released with the picture";
}

// Another program holds the clipboard for 200 ms (it opens when let go) or for 2 s (it does not).
TEST_F(ClipboardTest, OpenWaitsBrieflyForAnotherProgramToLetGo) {
  struct Case {
    DWORD holdMs;
    bool opens;
    ULONGLONG minMs, maxMs;
  };
  const Case cases[] = {{200, true, 0, 450}, {2000, false, 400, 1200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holdMs);
    // The clipboard is open for one thread at a time, in this process as in any other.
    const win32::UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
      const BOOL open = OpenClipboard(nullptr);
      SetEvent(held.get());
      Sleep(c.holdMs);
      if (open)
        CloseClipboard();
    });
    WaitForSingleObject(held.get(), 20000);
    const ULONGLONG start = GetTickCount64();
    const bool opened = clipboard.open().ok();
    const ULONGLONG waited = GetTickCount64() - start;
    if (opened)
      clipboard.close();
    holder.join();
    EXPECT_EQ(opened, c.opens);
    EXPECT_GE(waited, c.minMs);
    EXPECT_LE(waited, c.maxMs);
  }
}

}  // namespace
