// The JPEG save through the real GDI+: files that other programs can open again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "TestSupport.h"
#include "app/ClipBoard_Tools.h"
#include "platform/win32/Adapters.h"
#include "save/JPG.h"
#include "save/SafeSave.h"

#include <objbase.h>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace {

constexpr int kWidth = 64, kHeight = 48;
// One colour per quadrant, so a swapped, flipped or blank picture shows.
constexpr COLORREF kQuadrants[2][2] = {{RGB(220, 30, 30), RGB(30, 200, 40)},
                                       {RGB(40, 40, 210), RGB(240, 240, 240)}};

// A 32-bit top-down DIB section, as a screenshot on the clipboard is.
class DibPicture : public platform::Picture {
 public:
  DibPicture() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; pixels && y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF c = kQuadrants[y * 2 / kHeight][x * 2 / kWidth];
        pixels[y * kWidth + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
    }
  }
  ~DibPicture() override { DeleteObject(bitmap_); }
  DibPicture(const DibPicture&) = delete;
  DibPicture& operator=(const DibPicture&) = delete;
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(bitmap_); }
  int widthPixels() const override { return kWidth; }
  int heightPixels() const override { return kHeight; }

 private:
  HBITMAP bitmap_ = nullptr;
};

// The file decoded again in a GDI+ session of its own.
struct Decoded {
  int status = -1;
  UINT width = 0, height = 0;
  COLORREF quadrants[2][2] = {};
};

Decoded Decode(const std::wstring& path) {
  Decoded d;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
    return d;
  Gdiplus::GpBitmap* bitmap = nullptr;
  d.status = Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap);
  if (d.status == Gdiplus::Ok) {
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &d.width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &d.height);
    for (int row = 0; row < 2; ++row) {
      for (int col = 0; col < 2; ++col) {
        Gdiplus::ARGB argb = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, kWidth / 4 + col * kWidth / 2,
                                                kHeight / 4 + row * kHeight / 2, &argb);
        d.quadrants[row][col] = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
      }
    }
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  Gdiplus::GdiplusShutdown(token);
  return d;
}

bool Near(COLORREF a, COLORREF b) {
  const auto close = [](int x, int y) { return x - y < 40 && y - x < 40; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
         close(GetBValue(a), GetBValue(b));
}

// The file opens again as a picture of the test's size whose quadrants show these colours.
void ExpectShows(const std::wstring& path, const COLORREF (&colours)[2][2]) {
  const Decoded d = Decode(path);
  ASSERT_EQ(d.status, 0);
  EXPECT_EQ(d.width, UINT{kWidth});
  EXPECT_EQ(d.height, UINT{kHeight});
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) {
      EXPECT_TRUE(Near(d.quadrants[row][col], colours[row][col]))
          << "quadrant " << row << "," << col << ": " << std::hex << d.quadrants[row][col];
    }
  }
}

// A PNG file as Linux programs put pictures on the clipboard, with transparency: the top
// quadrants' colours, the bottom left one fully transparent, the bottom right half transparent
// black.
std::optional<std::string> MakePng(const std::wstring& path) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
    return std::nullopt;
  std::uint32_t pixels[kHeight][kWidth];
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int row = y * 2 / kHeight, col = x * 2 / kWidth;
      const COLORREF c = row == 1 && col == 1 ? RGB(0, 0, 0) : kQuadrants[row][col];
      const std::uint32_t alpha = row == 0 ? 0xFF : col == 0 ? 0 : 0x80;
      pixels[y][x] = (alpha << 24) | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  CLSID png{};
  CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
  bool saved = false;
  {
    Gdiplus::Bitmap bitmap(kWidth, kHeight, kWidth * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(pixels));
    saved = bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  return saved ? testsupport::readFile(path) : std::nullopt;
}

class GdiplusAdapterTest : public ::testing::Test {
 protected:
  win32::Win32Gdiplus gdi;
  win32::Win32FileSystem fs;
  DibPicture picture;
  testsupport::TempDir dir{L"jpg"};
};

// Encoded in memory, then written through the program's one road to its files.
TEST_F(GdiplusAdapterTest, PictureIsSavedAsAJpegThatOpensAgain) {
  enum Outcome { Saved, EncoderFails, WriteFails };
  struct Case {
    const char* what;
    std::wstring name;
    bool withPicture;
    std::uint8_t quality;
    Outcome outcome;
  };
  const Case cases[] = {
      {"plain name, the program's quality", L"shot.jpg", true, 200, Saved},
      {"quality inside the usual range", L"shot100.jpg", true, 100, Saved},
      {"Greek and CJK letters", L"Bild \u03b1\u03b2\u03b3 \u65e5\u672c\u8a9e.jpg", true, 200,
       Saved},
      {"directory missing", L"missing\\shot.jpg", true, 200, WriteFails},
      {"no picture held", L"none.jpg", false, 200, EncoderFails},
  };
  const std::wstring prefix = L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring path = dir / c.name;
    std::string jpeg;
    const JPG::SaveResult r =
        JPG::SavePictureAsJpeg(gdi, c.withPicture ? &picture : nullptr, c.quality, jpeg);
    const std::uint32_t written = r.ok ? SafeSave::WriteFileSafely(fs, path, jpeg) : 0;
    const std::optional<std::string> bytes = testsupport::readFile(path);
    if (c.outcome == WriteFails) {
      EXPECT_TRUE(r.ok);
      EXPECT_EQ(written, static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
      EXPECT_FALSE(bytes);
      continue;
    }
    if (c.outcome == EncoderFails) {
      EXPECT_FALSE(r.ok);
      EXPECT_EQ(r.errorNumber, 5);
      ASSERT_EQ(r.description.substr(0, prefix.size()), prefix);
      const std::wstring status = r.description.substr(prefix.size());
      EXPECT_TRUE(!status.empty() && std::all_of(status.begin(), status.end(), [](wchar_t ch) {
        return ch >= L'0' && ch <= L'9';
      }));
      EXPECT_NE(status, L"0");
      std::cout << "  " << c.what << ": GDI+ status " << std::stoi(status) << "\n";
      continue;
    }
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(r.ok) << r.description;
    ASSERT_TRUE(bytes);
    ASSERT_GT(bytes->size(), 4u);
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(bytes->substr(bytes->size() - 2), "\xFF\xD9");
    ExpectShows(path, kQuadrants);
    std::cout << "  " << c.what << ": " << bytes->size() << " bytes\n";
  }
}

TEST_F(GdiplusAdapterTest, PngFromTheClipboardIsSavedOverWhite) {
  const std::optional<std::string> png = MakePng(dir / L"made.png");
  ASSERT_TRUE(png);
  // Transparent parts come out white, half transparent black a middle grey.
  constexpr COLORREF kOverWhite[2][2] = {{kQuadrants[0][0], kQuadrants[0][1]},
                                         {RGB(255, 255, 255), RGB(128, 128, 128)}};
  const std::string cases[] = {*png, "\x89PNG\r\n\x1a\n but nothing more", ""};
  win32::Win32Clipboard clipboard;
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    ASSERT_TRUE(clipboard.open());
    clipboard.clear();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    EXPECT_TRUE(SetClipboardData(RegisterClipboardFormatW(L"PNG"), memory));
    clipboard.close();

    EXPECT_TRUE(clipboard.isFormatAvailable(platform::ClipFormat::Png));
    std::optional<std::string> read;
    {
      platform::OpenClipboard open(clipboard);
      read = clipboard.png();
    }
    ASSERT_TRUE(read);
    EXPECT_EQ(read->substr(0, bytes.size()), bytes);
    const auto picture = ClipBoard_Tools::PictureFromPng(gdi, *read);
    if (&bytes != &cases[0]) {
      EXPECT_EQ(picture, nullptr);
      continue;
    }
    ASSERT_NE(picture, nullptr);
    const std::wstring path = dir / L"png.jpg";
    std::string jpeg;
    ASSERT_TRUE(JPG::SavePictureAsJpeg(gdi, picture.get(), 200, jpeg).ok);
    ASSERT_EQ(SafeSave::WriteFileSafely(fs, path, jpeg), 0u);
    ExpectShows(path, kOverWhite);
  }
}

TEST_F(GdiplusAdapterTest, IdsAreParsedAsTheEncoderExpectsThem) {
  struct Case {
    std::wstring text;
    platform::Guid expected;
  };
  const Case cases[] = {
      {L"{557CF401-1A04-11D3-9A73-0000F81EF32E}",
       {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}},
      {L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}",
       {0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}}},
      {L"not an id", {}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(gdi.parseClsid(c.text) == c.expected) << c.text;
  }
}

}  // namespace
