#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"

namespace {

using testsupport::Child;
using testsupport::quoteArgs;

// A second process reads the value the way the next start of the program would.
const testsupport::ChildMode readSetting(L"read-setting", [](const std::vector<std::wstring>& a) {
  if (a.size() != 3)
    return 98;
  const auto value = win32::RegistrySettings().read(a[0], a[1], a[2]);
  if (!value)
    return 1;
  testsupport::writeChildOutput(*value);
  return 0;
});

class RegistrySettingsTest : public testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + app).c_str()); }
  const std::wstring app = L"BrimloAdapterTest" + std::to_wstring(GetCurrentProcessId());
  win32::RegistrySettings settings;
};

TEST_F(RegistrySettingsTest, StoredTextComesBackUnchangedInThisAndAnotherProcess) {
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
  };
  const Case cases[] = {
      {L"Settings", L"Folder", L"C:\\Users\\Ann\\Pictures\\Shots"},
      {L"Settings", L"Suffix", L""},
      {L"Settings", L"Greek", L"Φάκελος εικόνων"},
      {L"Settings", L"Cjk", L"截图 保存 ✓"},
      {L"Target\\Recent\\Files", L"Last", L"D:\\Saved files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.section << " / " << c.key);
    ASSERT_TRUE(settings.write(app, c.section, c.key, c.value));
    EXPECT_EQ(settings.read(app, c.section, c.key), std::optional<std::wstring>(c.value));

    // Where other versions of the program and the user look for it: a string of that key path.
    wchar_t raw[256] = {};
    DWORD bytes = sizeof(raw);
    const std::wstring path = L"Software\\" + app + L"\\" + c.section;
    EXPECT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, path.c_str(), c.key, RRF_RT_REG_SZ, nullptr, raw, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(raw), c.value);

    Child child(L"read-setting", L"brimlo " + quoteArgs({app, c.section, c.key}));
    EXPECT_EQ(child.wait(), std::optional<DWORD>(0));
    // An empty value leaves an empty output file, which reads as an empty text.
    EXPECT_EQ(child.output().value_or(L"<no output>"), c.value);
  }
}

TEST_F(RegistrySettingsTest, WhatWasNeverStoredAsTextReadsAsNothing) {
  ASSERT_TRUE(settings.write(app, L"Settings", L"Folder", L"C:\\Shots"));
  const DWORD number = 5;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\" + app + L"\\Settings").c_str(), 0,
                          KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof(number));
  RegCloseKey(key);

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
  Child child(L"read-setting", L"brimlo " + quoteArgs({app, L"Settings", L"Missing"}));
  EXPECT_EQ(child.wait(), std::optional<DWORD>(1));
}

}  // namespace
