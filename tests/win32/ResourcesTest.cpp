// The resources brimlo.exe is linked with, read the way Windows and Explorer read them: version
// information that is the project's, and the manifest in effect (the images: PeersTest).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Resources, VersionInformationIsTheProjectsAndExplorerFindsItsTexts) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> data(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  const DWORD high = (DWORD{BRIMLO_VERSION_MAJOR} << 16) | DWORD{BRIMLO_VERSION_MINOR};
  const DWORD low = DWORD{BRIMLO_VERSION_PATCH} << 16;
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);

  // Explorer reads the texts from the block its translation entry names.
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
  const auto* translation = static_cast<const WORD*>(value);
  wchar_t block[64];
  swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  const std::wstring version = std::to_wstring(BRIMLO_VERSION_MAJOR) + L"." +
                               std::to_wstring(BRIMLO_VERSION_MINOR) + L"." +
                               std::to_wstring(BRIMLO_VERSION_PATCH) + L".0";
  struct Case {
    const wchar_t* name;
    std::wstring expected;  // empty: any text
  };
  const Case cases[] = {
      {L"FileVersion", version}, {L"ProductVersion", version}, {L"FileDescription", L""},
      {L"ProductName", L""},     {L"CompanyName", L""},        {L"OriginalFilename", L"brimlo.exe"},
  };
  for (const Case& c : cases) {
    const bool found =
        VerQueryValueW(data.data(), (block + std::wstring(c.name)).c_str(), &value, &length) &&
        length > 1;
    EXPECT_TRUE(found) << c.name;
    if (found && !c.expected.empty()) {
      EXPECT_EQ(static_cast<const wchar_t*>(value), c.expected) << c.name;
    }
  }
}

TEST(Resources, ManifestBringsThemedControlsAndPerMonitorDpi) {
  // Version 6 of the common controls, which Windows keeps side by side with the old version 5
  // and loads only for a program whose manifest asks for it.
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(LoadLibraryW(L"comctl32.dll"), path, MAX_PATH);
  EXPECT_NE(std::wstring(CharLowerW(path)).find(L"common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << path;

  // Without DPI awareness Windows stretches the window and blurs its text. The process's
  // activation context holds what Windows read from the manifest.
  struct Setting {
    const wchar_t* schema;
    const wchar_t* name;
    std::wstring expected;
  };
  const Setting settings[] = {
      {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
       L"PerMonitorV2, PerMonitor"},
  };
  for (const Setting& s : settings) {
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, nullptr, s.schema, s.name, value, 128, &written)) << s.name;
    EXPECT_EQ(value, s.expected) << s.name;
  }
}

}  // namespace
