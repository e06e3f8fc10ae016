#include <gtest/gtest.h>

#include "platform/win32/Adapters.h"

namespace {

class RegistrySettingsTest : public testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + app).c_str()); }
  const std::wstring app = L"BrimloAdapterTest" + std::to_wstring(GetCurrentProcessId());
  win32::RegistrySettings settings;
};

// Stored text comes back unchanged; what was never stored as text reads as nothing.
TEST_F(RegistrySettingsTest, StoredTextComesBackUnchangedAndAnythingElseAsNothing) {
  const DWORD number = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\" + app + L"\\Settings").c_str(),
                            L"Count", REG_DWORD, &number, sizeof(number)),
            ERROR_SUCCESS);
  struct Case {
    std::wstring app, section, key;
    std::optional<std::wstring> stored;  // written first, then expected back
  };
  const Case cases[] = {
      {app, L"Settings", L"Folder", L"C:\\Users\\Ann\\Pictures\\Shots"},
      {app, L"Settings", L"Suffix", L""},
      {app, L"Settings", L"Greek", L"Φάκελος εικόνων"},
      {app, L"Settings", L"Cjk", L"截图 保存 ✓"},
      // Longer than a first read of the value takes.
      {app, L"Target\\Recent\\Files", L"Last", L"D:\\" + std::wstring(300, L'x')},
      {app + L"Other", L"Settings", L"Folder", std::nullopt},  // the program never ran
      {app, L"Missing", L"Folder", std::nullopt},
      {app, L"Settings\\Deeper", L"Folder", std::nullopt},
      {app, L"Settings", L"Missing", std::nullopt},
      {app, L"Settings", L"Count", std::nullopt},  // a number, not a text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.app << " / " << c.section << " / " << c.key);
    if (c.stored) {
      ASSERT_TRUE(settings.write(c.app, c.section, c.key, *c.stored).ok());
    }
    EXPECT_EQ(settings.read(c.app, c.section, c.key), c.stored);
  }
}

}  // namespace
