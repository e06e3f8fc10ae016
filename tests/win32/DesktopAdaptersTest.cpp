#include <gtest/gtest.h>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"

namespace {

TEST(Win32ScreenTest, ScreenSizeIsAPlausiblePositiveTwipCount) {
  win32::Win32Screen screen;
  const int width = screen.primaryWidthTwips();
  const int height = screen.primaryHeightTwips();
  // Between 72 and 480 pixels per inch, whatever the screen's scaling.
  const int widthPixels = GetSystemMetrics(SM_CXSCREEN);
  const int heightPixels = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_GE(width, widthPixels * 3);
  EXPECT_LE(width, widthPixels * 20);
  EXPECT_GE(height, heightPixels * 3);
  EXPECT_LE(height, heightPixels * 20);
  // Both sides on the same scale.
  EXPECT_NEAR(static_cast<double>(width) / height, static_cast<double>(widthPixels) / heightPixels,
              0.01);
}

// What a text file holds under each kind of ANSI code page: the text exactly, or nothing (and the
// file is written as UTF-8 with a byte-order mark).
TEST(AnsiCodepageTest, TextConvertsExactlyOrNotAtAll) {
  struct Case {
    UINT page;
    std::wstring text;
    std::optional<std::string> bytes;
  };
  const Case cases[] = {
      {1252, L"ab\u00e4\u20ac", std::string("ab\xE4\x80")},
      {1252, L"\u03b1", std::nullopt},  // no best-fit "a" for alpha
      {1253, L"\u03b1\u03b2", std::string("\xE1\xE2")},
      {CP_UTF8, L"\u03b1 \u65e5 \U0001F600", std::string("\xCE\xB1 \xE6\x97\xA5 \xF0\x9F\x98\x80")},
      {CP_UTF8, L"ascii", std::string("ascii")},
      {CP_UTF8, std::wstring(1, wchar_t(0xD800)), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code page " << c.page);
    EXPECT_EQ(win32::AnsiCodepage(c.page).toAnsiExact(c.text), c.bytes);
  }
}

// A picture saved as JPEG through GDI+ is one whole JPEG that decodes to a picture of its size; an
// encoder GDI+ does not know, and bytes that are no picture, are reported, not taken for a save or
// a picture.
TEST(Win32GdiplusTest, BitmapSavedAsJpegDecodesToItsSize) {
  win32::Win32Gdiplus gdi;
  const platform::GdiplusSession session(gdi);
  ASSERT_EQ(session.status(), 0);
  const win32::UniqueBitmap bitmap(CreateBitmap(37, 23, 1, 32, nullptr));
  const std::uint32_t quality = 90;
  platform::EncoderParameters parameters;
  parameters.parameter.id = gdi.parseClsid(L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}");
  parameters.parameter.value = &quality;
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"{557CF401-1A04-11D3-9A73-0000F81EF32E}", true},   // JPEG
      {L"{557CF401-1A04-11D3-9A73-0000F81EF3FF}", false},  // no such encoder
  };
  for (const auto& [encoder, saved] : cases) {
    SCOPED_TRACE(testing::Message() << encoder);
    const platform::GdiplusImage image(gdi, [&](std::uintptr_t& made) {
      return gdi.createBitmapFromHbitmap(reinterpret_cast<std::uintptr_t>(bitmap.get()), 0, made);
    });
    ASSERT_EQ(image.status(), 0);
    std::string bytes = "no picture";
    EXPECT_EQ(
        gdi.saveImageToMemory(image.handle(), gdi.parseClsid(encoder), parameters, bytes) == 0,
        saved);
    // From the start of image to its end marker, nothing more.
    EXPECT_EQ(bytes.starts_with("\xFF\xD8\xFF") && bytes.ends_with("\xFF\xD9"), saved);
    const platform::GdiplusImage decoded(
        gdi, [&](std::uintptr_t& made) { return gdi.createBitmapFromStream(bytes, made); });
    EXPECT_EQ(decoded.status() == 0, saved);
    std::shared_ptr<platform::Picture> picture;
    EXPECT_EQ(gdi.createHbitmapFromBitmap(decoded.handle(), 0xFFFFFFFF, picture) == 0, saved);
    ASSERT_EQ(picture != nullptr, saved);
    if (saved) {
      EXPECT_EQ(picture->widthPixels(), 37);
      EXPECT_EQ(picture->heightPixels(), 23);
    }
  }
}

}  // namespace
