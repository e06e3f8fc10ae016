// The resources brimlo.exe is linked with, read the way the program and Explorer read them: every
// image at the size the window lays it out for, version information that is the project's, and
// the manifest in effect.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

TEST(Resources, ImagesHaveTheSizesTheWindowLaysOutFor) {
  struct Case {
    int id;
    LONG width, height;
  };
  const Case cases[] = {
      {IDB_MODE_FILES, 57, 60},    {IDB_MODE_TEXT, 48, 48},    {IDB_MODE_PICTURE, 56, 56},
      {IDB_MODE_RICHTEXT, 48, 48}, {IDB_RESIZE, 42, 36},       {IDB_NEW_FOLDER, 25, 25},
      {IDB_EXIT, 32, 32},          {IDB_AOT_DISABLED, 21, 20}, {IDB_AOT_MOUSEMOVE, 21, 20},
      {IDB_AOT_ENABLED, 21, 20},
  };
  for (const Case& c : cases) {
    const HANDLE image = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.id), IMAGE_BITMAP,
                                    0, 0, LR_CREATEDIBSECTION);
    BITMAP info{};
    EXPECT_NE(GetObjectW(image, sizeof info, &info), 0) << c.id;
    EXPECT_EQ(info.bmWidth, c.width) << c.id;
    EXPECT_EQ(info.bmHeight, c.height) << c.id;
    DeleteObject(image);
  }
}

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
