#include <gtest/gtest.h>

#include <ctime>

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

TEST(LocalClockTest, NowIsTheLocalDateAndTimeOfTheRuntime) {
  // Retry once when the minute turns over between the two readings.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const platform::LocalTime now = win32::LocalClock().now();
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    ASSERT_EQ(localtime_s(&local, &seconds), 0);
    if (local.tm_min != now.minute && attempt == 0)
      continue;
    EXPECT_EQ(now.year, local.tm_year + 1900);
    EXPECT_EQ(now.month, local.tm_mon + 1);
    EXPECT_EQ(now.day, local.tm_mday);
    EXPECT_EQ(now.hour, local.tm_hour);
    EXPECT_EQ(now.minute, local.tm_min);
    EXPECT_NEAR(now.second, local.tm_sec, 2);
    EXPECT_GE(now.year, 2024);
    break;
  }
}

}  // namespace
