// Checks the resources that brimlo.exe is linked with, loaded the way the program loads them:
// every image at the size the window lays it out for, the icon in both sizes with its
// transparent edge, version information Explorer can show, and the manifest in effect.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "resource.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
  }
}

std::string num(long long v) {
  return std::to_string(v);
}

// Resource and setting names are plain ASCII.
std::string ascii(const wchar_t* text) {
  std::string result;
  for (; *text != L'\0'; ++text)
    result += static_cast<char>(*text);
  return result;
}

HMODULE self() {
  return GetModuleHandleW(nullptr);
}

void checkBitmaps() {
  struct Case {
    int id;
    const char* name;
    LONG width, height;
  };
  // The window places and sizes its controls around these sizes.
  const Case cases[] = {
      {IDB_MODE_FILES, "file list mode", 57, 60},
      {IDB_MODE_TEXT, "text mode", 48, 48},
      {IDB_MODE_PICTURE, "picture mode", 56, 56},
      {IDB_MODE_RICHTEXT, "rich text mode", 48, 48},
      {IDB_RESIZE, "resize button", 42, 36},
      {IDB_NEW_FOLDER, "new folder button", 25, 25},
      {IDB_EXIT, "exit button", 32, 32},
      {IDB_AOT_DISABLED, "on top, off", 21, 20},
      {IDB_AOT_MOUSEMOVE, "on top, pointed at", 21, 20},
      {IDB_AOT_ENABLED, "on top, on", 21, 20},
  };
  for (const Case& c : cases) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(self(), MAKEINTRESOURCEW(c.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    check(bitmap != nullptr, std::string(c.name) + ": image does not load");
    if (bitmap == nullptr)
      continue;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    check(info.bmWidth == c.width && info.bmHeight == c.height,
          std::string(c.name) + ": " + num(info.bmWidth) + " x " + num(info.bmHeight) +
              " pixels instead of " + num(c.width) + " x " + num(c.height));
    DeleteObject(bitmap);
  }
}

// The directory entry Windows picks for this size, or nullptr.
const BITMAPINFOHEADER* iconImageFor(int size) {
  HRSRC group = FindResourceW(self(), MAKEINTRESOURCEW(IDI_BRIMLO), RT_GROUP_ICON);
  if (group == nullptr)
    return nullptr;
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(self(), group)));
  int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceW(self(), MAKEINTRESOURCEW(id), RT_ICON);
  if (image == nullptr)
    return nullptr;
  return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self(), image)));
}

void checkIcon() {
  for (int size : {32, 16}) {
    const std::string label = "icon " + num(size) + ": ";
    const BITMAPINFOHEADER* image = iconImageFor(size);
    check(image != nullptr, label + "no image in the icon");
    if (image != nullptr) {
      // The icon is stored twice as high: the colours, then the transparency mask.
      check(image->biWidth == size && image->biHeight == 2 * size,
            label + "Windows would scale an image of width " + num(image->biWidth));
      check(image->biBitCount == 8,
            label + num(image->biBitCount) + " bits instead of 256 colours");
    }

    auto icon = static_cast<HICON>(
        LoadImageW(self(), MAKEINTRESOURCEW(IDI_BRIMLO), IMAGE_ICON, size, size, 0));
    check(icon != nullptr, label + "does not load");
    if (icon == nullptr)
      continue;
    ICONINFO info{};
    check(GetIconInfo(icon, &info) && info.hbmMask != nullptr, label + "no mask");
    if (info.hbmMask != nullptr) {
      // Shown on a coloured panel: the corners must let it through, the middle must not.
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, info.hbmMask);
      check(GetPixel(dc, 0, 0) == RGB(255, 255, 255), label + "corner is not transparent");
      check(GetPixel(dc, size / 2, size / 2) == RGB(0, 0, 0), label + "middle is transparent");
      SelectObject(dc, old);
      DeleteDC(dc);
      DeleteObject(info.hbmMask);
    }
    if (info.hbmColor != nullptr)
      DeleteObject(info.hbmColor);
    DestroyIcon(icon);
  }
  check(LoadIconW(self(), MAKEINTRESOURCEW(IDI_BRIMLO)) != nullptr, "window class icon");
}

std::wstring versionText() {
  return std::to_wstring(BRIMLO_VERSION_MAJOR) + L"." + std::to_wstring(BRIMLO_VERSION_MINOR) +
         L"." + std::to_wstring(BRIMLO_VERSION_PATCH) + L".0";
}

void checkVersionInfo() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD size = GetFileVersionInfoSizeW(path, nullptr);
  check(size != 0, "no version information");
  if (size == 0)
    return;
  std::vector<BYTE> data(size);
  GetFileVersionInfoW(path, 0, size, data.data());

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    const DWORD high = (DWORD{BRIMLO_VERSION_MAJOR} << 16) | DWORD{BRIMLO_VERSION_MINOR};
    const DWORD low = DWORD{BRIMLO_VERSION_PATCH} << 16;
    check(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low,
          "file version differs from the project version");
    check(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low,
          "product version differs from the project version");
  } else {
    check(false, "no fixed version block");
  }

  // Explorer reads the strings from the block its translation entry names.
  WORD* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < 4) {
    check(false, "no translation entry");
    return;
  }
  check(translation[0] == 0x0409 && translation[1] == 1200, "not US English, Unicode");
  wchar_t block[64];
  swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  struct Case {
    const wchar_t* name;
    std::wstring expected;  // empty: any text
  };
  const Case cases[] = {
      {L"FileVersion", versionText()}, {L"ProductVersion", versionText()},
      {L"FileDescription", L""},       {L"ProductName", L""},
      {L"CompanyName", L""},           {L"OriginalFilename", L"brimlo.exe"},
  };
  for (const Case& c : cases) {
    wchar_t* text = nullptr;
    const std::wstring query = std::wstring(block) + c.name;
    bool found =
        VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) &&
        length > 1;
    const std::string name = ascii(c.name);
    check(found, name + " missing");
    if (found && !c.expected.empty())
      check(c.expected == text, name + " has another value");
  }
}

void checkManifest() {
  // The common controls dependency brings the themed controls: version 6, which Windows keeps
  // side by side with the old version 5 and loads only for programs that ask for it.
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  wchar_t path[MAX_PATH] = L"";
  if (comctl != nullptr)
    GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring loaded(path);
  for (wchar_t& ch : loaded)
    ch = static_cast<wchar_t>(towlower(ch));
  check(loaded.find(L"common-controls_6595b64144ccf1df_6.") != std::wstring::npos,
        "the common controls loaded are not version 6");

  // Without DPI awareness Windows stretches the window and blurs its text. Ask the process's
  // activation context, which holds what Windows read from the manifest.
  struct Setting {
    const wchar_t* schema;
    const wchar_t* name;
    const wchar_t* expected;
  };
  const Setting settings[] = {
      {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
       L"PerMonitorV2, PerMonitor"},
  };
  for (const Setting& s : settings) {
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    const bool found =
        QueryActCtxSettingsW(0, nullptr, s.schema, s.name, value, 128, &written) != FALSE;
    const std::string name = ascii(s.name);
    check(found, name + " is not set");
    if (found)
      check(std::wstring(value) == s.expected, name + " has another value");
  }
}

}  // namespace

int main() {
  checkBitmaps();
  checkIcon();
  checkVersionInfo();
  checkManifest();
  if (failures == 0)
    std::printf("resources: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
