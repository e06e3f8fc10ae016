#include <gtest/gtest.h>

#include "platform/win32/Adapters.h"

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

}  // namespace
