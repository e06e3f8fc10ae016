#include <gtest/gtest.h>

#include "platform/win32/Adapters.h"

namespace {

class RegistrySettingsTest : public testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + app).c_str()); }
  const std::wstring app = L"BrimloAdapterTest" + std::to_wstring(GetCurrentProcessId());
  win32::RegistrySettings settings;
};

TEST_F(RegistrySettingsTest, StoredTextComesBackUnchanged) {
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    std::wstring value;
  };
  const Case cases[] = {
      {L"Settings", L"Folder", L"C:\\Users\\Ann\\Pictures\\Shots"},
      {L"Settings", L"Suffix", L""},
      {L"Settings", L"Greek", L"Φάκελος εικόνων"},
      {L"Settings", L"Cjk", L"截图 保存 ✓"},
      // Longer than a first read of the value takes.
      {L"Target\\Recent\\Files", L"Last", L"D:\\" + std::wstring(300, L'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.section << " / " << c.key);
    ASSERT_TRUE(settings.write(app, c.section, c.key, c.value));
    EXPECT_EQ(settings.read(app, c.section, c.key), c.value);
  }
}

TEST_F(RegistrySettingsTest, WhatWasNeverStoredAsTextReadsAsNothing) {
  ASSERT_TRUE(settings.write(app, L"Settings", L"Folder", L"C:\\Shots"));
  const DWORD number = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\" + app + L"\\Settings").c_str(),
                            L"Count", REG_DWORD, &number, sizeof(number)),
            ERROR_SUCCESS);
  struct Case {
    std::wstring app, section, key;
  };
  const Case cases[] = {
      {app + L"Other", L"Settings", L"Folder"},  // the program never ran
      {app, L"Missing", L"Folder"},
      {app, L"Settings\\Deeper", L"Folder"},
      {app, L"Settings", L"Missing"},
      {app, L"Settings", L"Count"},  // a number, not a text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.app << " / " << c.section << " / " << c.key);
    EXPECT_EQ(settings.read(c.app, c.section, c.key), std::nullopt);
  }
}

}  // namespace
