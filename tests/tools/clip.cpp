// Puts test content on the clipboard from a Windows process, in the formats the X side cannot
// provide or not together: text with RTF, bitmaps, file lists, metafiles, links.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <optional>

#include "ToolSupport.h"

namespace {

constexpr DWORD kOpenRetryMs = 2000;

int usage() {
  tool::err(
      L"usage: clip text <utf8-text|@file>       CF_TEXT in the ANSI code page\n"
      L"       clip unicode <utf8-text|@file>    CF_UNICODETEXT\n"
      L"       clip rtf <rtf-file> [plain-text|@file]\n"
      L"                                         \"Rich Text Format\", optionally with "
      L"CF_UNICODETEXT\n"
      L"       clip bitmap <width> <height>      quadrants red, green / blue, white (CF_BITMAP)\n"
      L"       clip files <path>...              CF_HDROP; /unix/paths are taken as drive Z:\n"
      L"       clip metafile                     CF_METAFILEPICT, a 1 x 1 inch drawing\n"
      L"       clip link                         registered \"Link\": Brimlo|Sheet1|R1C1\n"
      L"       clip empty | hold <ms> | formats\n"
      L"       clip get text|ansi|rtf|files|bitmap\n"
      L"            prints CF_UNICODETEXT or CF_TEXT as UTF-8, the RTF bytes, one path per line,\n"
      L"            or \"width height TL TR BL BR\" (RRGGBB of each quadrant's centre)");
  return 2;
}

HWND ownerWindow() {
  // Hidden and never shown; it only gives the clipboard an owner in this process.
  return CreateWindowExW(0, L"STATIC", L"Test clip owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// Another program may hold the clipboard for a moment (a test's own "hold", the X bridge).
bool openClipboard(HWND owner) {
  const ULONGLONG end = GetTickCount64() + kOpenRetryMs;
  while (!OpenClipboard(owner)) {
    if (GetTickCount64() >= end)
      return false;
    Sleep(20);
  }
  return true;
}

HGLOBAL globalCopy(const void* data, std::size_t size) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
  if (mem == nullptr)
    return nullptr;
  std::memcpy(GlobalLock(mem), data, size);
  GlobalUnlock(mem);
  return mem;
}

bool setData(UINT format, HANDLE data) {
  if (data == nullptr)
    return false;
  if (SetClipboardData(format, data) != nullptr)
    return true;
  tool::err(L"clip: SetClipboardData failed for format " + std::to_wstring(format));
  return false;
}

bool setUnicode(const std::wstring& text) {
  return setData(CF_UNICODETEXT, globalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
}

bool setAnsi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  return setData(CF_TEXT, globalCopy(ansi.data(), ansi.size()));
}

bool setRtf(const std::string& rtf) {
  const UINT format = RegisterClipboardFormatW(L"Rich Text Format");
  return setData(format, globalCopy(rtf.c_str(), rtf.size() + 1));
}

// Drawn in a top-down 24-bit DIB section: top left red, top right green, bottom left blue, bottom
// right white, split at the middle (width / 2, height / 2).
HBITMAP patternBitmap(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr)
    return nullptr;
  const int stride = (width * 3 + 3) & ~3;
  auto* rows = static_cast<unsigned char*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      const bool bottom = y >= height / 2;
      unsigned char r = 0, g = 0, b = 0;
      if (!bottom && !right)
        r = 255;
      if (!bottom && right)
        g = 255;
      if (bottom && !right)
        b = 255;
      if (bottom && right)
        r = g = b = 255;
      unsigned char* px = rows + y * stride + x * 3;
      px[0] = b;
      px[1] = g;
      px[2] = r;
    }
  }
  GdiFlush();
  // The clipboard gets a device-dependent copy: Wine cannot hand a DIB section's bits to
  // another process, which would then find no bitmap at all.
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return copy;
}

HGLOBAL dropFiles(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const auto& p : paths) {
    list += tool::windowsPath(p);
    list += L'\0';
  }
  list += L'\0';
  const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (mem == nullptr)
    return nullptr;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(mem);
  return mem;
}

HGLOBAL metafilePicture() {
  HDC dc = CreateMetaFileW(nullptr);
  if (dc == nullptr)
    return nullptr;
  SetWindowExtEx(dc, 100, 100, nullptr);
  Rectangle(dc, 10, 10, 90, 90);
  HMETAFILE metafile = CloseMetaFile(dc);
  METAFILEPICT pict{};
  pict.mm = MM_ANISOTROPIC;
  pict.xExt = 2540;  // HIMETRIC: one inch square
  pict.yExt = 2540;
  pict.hMF = metafile;
  return globalCopy(&pict, sizeof pict);
}

std::wstring standardFormatName(UINT format) {
  switch (format) {
    case CF_TEXT:
      return L"CF_TEXT";
    case CF_BITMAP:
      return L"CF_BITMAP";
    case CF_METAFILEPICT:
      return L"CF_METAFILEPICT";
    case CF_SYLK:
      return L"CF_SYLK";
    case CF_DIF:
      return L"CF_DIF";
    case CF_TIFF:
      return L"CF_TIFF";
    case CF_OEMTEXT:
      return L"CF_OEMTEXT";
    case CF_DIB:
      return L"CF_DIB";
    case CF_PALETTE:
      return L"CF_PALETTE";
    case CF_PENDATA:
      return L"CF_PENDATA";
    case CF_RIFF:
      return L"CF_RIFF";
    case CF_WAVE:
      return L"CF_WAVE";
    case CF_UNICODETEXT:
      return L"CF_UNICODETEXT";
    case CF_ENHMETAFILE:
      return L"CF_ENHMETAFILE";
    case CF_HDROP:
      return L"CF_HDROP";
    case CF_LOCALE:
      return L"CF_LOCALE";
    case CF_DIBV5:
      return L"CF_DIBV5";
    default:
      break;
  }
  wchar_t name[256] = {};
  if (GetClipboardFormatNameW(format, name, 256) > 0)
    return name;
  return L"?";
}

int listFormats() {
  if (!openClipboard(nullptr))
    return 1;
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) {
    tool::out(std::to_wstring(f) + L"\t" + standardFormatName(f));
  }
  CloseClipboard();
  return 0;
}

int hold(long ms, HWND owner) {
  if (!openClipboard(owner))
    return 1;
  // The caller waits for this line to know the clipboard is taken.
  tool::out(L"held");
  Sleep(static_cast<DWORD>(ms));
  CloseClipboard();
  return 0;
}

std::wstring hexColor(COLORREF c) {
  wchar_t text[8];
  wsprintfW(text, L"%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// Reads the bitmap back the way a program would: through a memory DC, so a device-dependent
// bitmap and a DIB section both work.
std::optional<std::wstring> describeBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0)
    return std::nullopt;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const int w = info.bmWidth, h = info.bmHeight;
  std::wstring line = std::to_wstring(w) + L"\t" + std::to_wstring(h);
  const int xs[2] = {w / 4, w / 2 + w / 4};
  const int ys[2] = {h / 4, h / 2 + h / 4};
  for (int y : ys) {
    for (int x : xs)
      line += L"\t" + hexColor(GetPixel(dc, x, y));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return line;
}

// Prints the clipboard's content in one format; 1 when the format is not there.
int getContent(const std::wstring& what) {
  UINT format = 0;
  if (what == L"text")
    format = CF_UNICODETEXT;
  if (what == L"ansi")
    format = CF_TEXT;
  if (what == L"rtf")
    format = RegisterClipboardFormatW(L"Rich Text Format");
  if (what == L"files")
    format = CF_HDROP;
  if (what == L"bitmap")
    format = CF_BITMAP;
  if (format == 0)
    return usage();
  if (!openClipboard(nullptr))
    return 1;
  int status = 1;
  HANDLE data = IsClipboardFormatAvailable(format) ? GetClipboardData(format) : nullptr;
  if (data != nullptr && format == CF_BITMAP) {
    if (auto line = describeBitmap(static_cast<HBITMAP>(data))) {
      tool::out(*line);
      status = 0;
    }
  } else if (data != nullptr && format == CF_HDROP) {
    auto drop = static_cast<HDROP>(data);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
      tool::out(path);
    }
    status = 0;
  } else if (data != nullptr) {
    const auto* bytes = static_cast<const char*>(GlobalLock(data));
    const SIZE_T size = GlobalSize(data);
    if (bytes != nullptr) {
      if (format == CF_UNICODETEXT) {
        const auto* text = reinterpret_cast<const wchar_t*>(bytes);
        tool::writeRaw(STD_OUTPUT_HANDLE,
                       tool::toUtf8(std::wstring(text, wcsnlen(text, size / sizeof(wchar_t)))));
      } else if (format == CF_TEXT) {
        const std::string ansi(bytes, strnlen(bytes, size));
        const int n =
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
        tool::writeRaw(STD_OUTPUT_HANDLE, tool::toUtf8(wide));
      } else {
        tool::writeRaw(STD_OUTPUT_HANDLE, std::string(bytes, strnlen(bytes, size)));
      }
      GlobalUnlock(data);
      status = 0;
    }
  }
  CloseClipboard();
  return status;
}

// Empties the clipboard and sets the content the arguments describe; nullopt means bad usage.
std::optional<bool> setContent(const std::vector<std::wstring>& args) {
  const std::wstring& mode = args[0];
  if ((mode == L"text" || mode == L"unicode") && args.size() == 2) {
    auto text = tool::textArgument(args[1]);
    if (!text)
      return false;
    EmptyClipboard();
    return mode == L"text" ? setAnsi(*text) : setUnicode(*text);
  }
  if (mode == L"rtf" && (args.size() == 2 || args.size() == 3)) {
    auto rtf = tool::readFile(args[1]);
    std::optional<std::wstring> plain;
    if (args.size() == 3) {
      plain = tool::textArgument(args[2]);
      if (!plain)
        return false;
    }
    if (!rtf)
      return false;
    EmptyClipboard();
    return setRtf(*rtf) && (!plain || setUnicode(*plain));
  }
  if (mode == L"bitmap" && args.size() == 3) {
    auto w = tool::number(args[1]);
    auto h = tool::number(args[2]);
    if (!w || !h || *w == 0 || *h == 0)
      return std::nullopt;
    EmptyClipboard();
    return setData(CF_BITMAP, patternBitmap(static_cast<int>(*w), static_cast<int>(*h)));
  }
  if (mode == L"files" && args.size() >= 2) {
    EmptyClipboard();
    return setData(CF_HDROP, dropFiles({args.begin() + 1, args.end()}));
  }
  if (mode == L"metafile" && args.size() == 1) {
    EmptyClipboard();
    return setData(CF_METAFILEPICT, metafilePicture());
  }
  if (mode == L"link" && args.size() == 1) {
    static const char kLink[] = "Brimlo\0Sheet1\0R1C1\0";  // application, topic, item
    EmptyClipboard();
    return setData(RegisterClipboardFormatW(L"Link"), globalCopy(kLink, sizeof kLink));
  }
  if (mode == L"empty" && args.size() == 1)
    return EmptyClipboard() != FALSE;
  return std::nullopt;
}

}  // namespace

int main() {
  const auto args = tool::arguments();
  if (args.empty())
    return usage();
  if (args[0] == L"formats")
    return args.size() == 1 ? listFormats() : usage();
  if (args[0] == L"get")
    return args.size() == 2 ? getContent(args[1]) : usage();
  HWND owner = ownerWindow();
  if (args[0] == L"hold") {
    auto ms = args.size() == 2 ? tool::number(args[1]) : std::nullopt;
    return ms ? hold(*ms, owner) : usage();
  }
  if (!openClipboard(owner)) {
    tool::err(L"clip: the clipboard stays busy");
    return 1;
  }
  const auto result = setContent(args);
  CloseClipboard();
  if (!result)
    return usage();
  if (!*result) {
    tool::err(L"clip: could not set " + args[0]);
    return 1;
  }
  return 0;
}
