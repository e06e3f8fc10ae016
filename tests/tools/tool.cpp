// brimlo-tool: the Windows helper the tests drive the program with, one verb per job:
//   brimlo-tool <verb> [arguments]      (without a verb: the list of verbs)
// Copied under the name Update.exe or viewer.exe it is a stand-in for a program Brimlo starts
// instead (see the end of this file).
// Texts go out as UTF-8; "@file" stands for a text argument read from a UTF-8 file, because a
// command line passes through the Unix locale on its way into Wine and a file does not.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
template <class T>
using Names = std::vector<std::pair<std::wstring, T>>;

// --- Shared pieces ------------------------------------------------------------------------------

std::string narrow(const std::wstring& text) {
  const int n = static_cast<int>(text.size());
  std::string out(WideCharToMultiByte(CP_UTF8, 0, text.data(), n, nullptr, 0, nullptr, nullptr), 0);
  WideCharToMultiByte(CP_UTF8, 0, text.data(), n, out.data(), static_cast<int>(out.size()), nullptr,
                      nullptr);
  return out;
}

std::wstring widen(const std::string& text) {
  const int n = static_cast<int>(text.size());
  std::wstring out(MultiByteToWideChar(CP_UTF8, 0, text.data(), n, nullptr, 0), 0);
  MultiByteToWideChar(CP_UTF8, 0, text.data(), n, out.data(), static_cast<int>(out.size()));
  return out;
}

// Writes the bytes unchanged, so a script reading a pipe gets exact UTF-8 whatever the console
// code page is.
void writeRaw(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  DWORD written = 0;
  for (std::size_t done = 0; done < bytes.size(); done += written) {
    if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                   nullptr) ||
        written == 0) {
      return;
    }
  }
}

void out(const std::wstring& line) {
  writeRaw(STD_OUTPUT_HANDLE, narrow(line) + "\n");
}
void err(const std::wstring& line) {
  writeRaw(STD_ERROR_HANDLE, narrow(line) + "\n");
}

// Wine maps the root of the Unix tree to drive Z:, so "/tmp/a.txt" becomes "Z:\tmp\a.txt".
// Windows paths pass through.
std::wstring windowsPath(std::wstring path) {
  if (path.empty() || path[0] != L'/')
    return path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return L"Z:" + path;
}

std::optional<std::string> readFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(windowsPath(path)), std::ios::binary);
  if (!file)
    return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// "@file" stands for the file's content (UTF-8, a byte-order mark dropped), anything else for
// itself.
std::optional<std::wstring> textArgument(const std::wstring& arg) {
  if (arg.size() < 2 || arg[0] != L'@')
    return arg;
  auto bytes = readFile(arg.substr(1));
  if (!bytes)
    return std::nullopt;
  if (bytes->rfind("\xEF\xBB\xBF", 0) == 0)
    bytes->erase(0, 3);
  return widen(*bytes);
}

// A whole non-negative decimal number, or nothing.
std::optional<long> number(const std::wstring& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != text.npos)
    return std::nullopt;
  return std::stol(text);
}

template <class T>
std::optional<T> named(const Names<T>& names, const std::wstring& name) {
  for (const auto& [n, value] : names) {
    if (n == name)
      return value;
  }
  return std::nullopt;
}

// Polls every stepMs until done() holds; false once the time is up.
bool within(DWORD ms, const std::function<bool()>& done, DWORD stepMs = 50) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end)
      return false;
    Sleep(stepMs);
  }
  return true;
}

// Prints "held" (the caller waits for it), keeps what it holds for a while, then lets it go.
int holdFor(long ms, const std::function<void()>& release) {
  out(L"held");
  Sleep(static_cast<DWORD>(ms));
  release();
  return 0;
}

// A window's text, also of another process's window: WM_GETTEXT rather than GetWindowTextW,
// which does not read another process's edit control. Empty for a window that does not answer.
std::wstring windowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring className(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return name;
}

HWND topWindow(const std::wstring& title, DWORD style, RECT r) {
  static const ATOM windowClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"BrimloTestTool";
    return RegisterClassW(&wc);
  }();
  return CreateWindowExW(0, MAKEINTATOM(windowClass), title.c_str(), style, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// --- keeper: stays attached to the Wine desktop, so that clipboard data set by one test program
// is still there for the next one (Wine empties the clipboard shortly after its last desktop
// process ends). With --warm-up it shows, maximises and restores a window once and ends instead:
// the first windows after a new prefix is booted are slow to take a size from the window manager
// while Wine finishes setting up the desktop, and this keeps that delay out of the first test.

int warmUp() {
  HWND hwnd = topWindow(L"Test warm-up", WS_OVERLAPPEDWINDOW, {40, 40, 340, 240});
  if (hwnd == nullptr)
    return 3;
  const auto showFor = [hwnd](int how, DWORD ms) {
    ShowWindow(hwnd, how);
    const auto pumpUntilDone = [&] {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      return how == SW_MAXIMIZE && IsZoomed(hwnd);
    };
    within(ms, pumpUntilDone, 10);
  };
  showFor(SW_SHOWNORMAL, 500);
  showFor(SW_MAXIMIZE, 15000);
  const bool zoomed = IsZoomed(hwnd) != FALSE;
  showFor(SW_RESTORE, 300);
  DestroyWindow(hwnd);
  return zoomed ? 0 : 4;
}

std::optional<int> keeper(const Args& a) {
  GetDesktopWindow();
  if (a.size() == 1 && a[0] == L"--warm-up")
    return warmUp();
  if (!a.empty())
    return std::nullopt;
  // Never shown: a test looking for windows must not find this one.
  if (!topWindow(L"Test keeper", WS_OVERLAPPED, {0, 0, 1, 1}))
    return 3;
  out(L"ready");  // the harness waits for this line before it lets the tests run
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    DispatchMessageW(&msg);
  return 0;
}

// --- boxes: finds a message box by its title, prints its text and, if asked, presses one of its
// buttons. Pressing it inside the box's own process is more reliable than synthetic key presses,
// which depend on focus and on the window manager.

// Line breaks as a script compares them: CR LF and a lone CR both become LF.
std::wstring unixLines(std::wstring text) {
  for (std::size_t i = 0; (i = text.find(L"\r\n", i)) != text.npos;)
    text.erase(i, 1);
  std::replace(text.begin(), text.end(), L'\r', L'\n');
  return text;
}

std::optional<int> boxes(const Args& a) {
  const bool answer = !a.empty() && a[0] == L"answer";
  const std::size_t timeoutAt = answer ? 3 : 2;
  if (a.size() < timeoutAt || a.size() > timeoutAt + 1 || (!answer && a[0] != L"wait"))
    return std::nullopt;
  const auto timeout = a.size() > timeoutAt ? number(a[timeoutAt]) : 10000L;
  const auto id =
      answer
          ? named<int>({{L"yes", IDYES}, {L"no", IDNO}, {L"cancel", IDCANCEL}, {L"ok", IDOK}}, a[2])
          : std::optional<int>(0);
  if (!timeout || !id)
    return std::nullopt;
  const std::wstring& title = a[1];
  HWND box = nullptr;
  // A box counts as there once it shows and has its buttons: answering earlier would miss them.
  const bool found = within(static_cast<DWORD>(*timeout), [&] {
    box = FindWindowW(L"#32770", title.c_str());
    return box && IsWindowVisible(box) && GetWindow(box, GW_CHILD);
  });
  if (!found) {
    err(L"boxes: no message box \"" + title + L"\"");
    return 1;
  }
  // The message text is the static control the box creates with id 0xFFFF.
  out(unixLines(windowText(GetDlgItem(box, 0xFFFF))));
  if (!answer)
    return 0;
  HWND button = GetDlgItem(box, *id);
  if (button == nullptr) {
    err(L"boxes: the box has no " + a[2] + L" button");
    return 3;
  }
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  if (within(static_cast<DWORD>(*timeout), [box] { return !IsWindow(box); }))
    return 0;
  err(L"boxes: the box did not close");
  return 4;
}

// --- wininfo: describes a top-level window and every control in it, one tab-separated line
// each, so a test can compare what the user sees with the intended layout:
//   title    <caption>
//   topmost  <0|1>
//   window   <left> <top> <width> <height>    screen pixels, frame included
//   client   <left> <top> <width> <height>    screen pixels of the client area
//   child    <depth> <class> <text> <visible 0|1> <left> <top> <width> <height> <id>
// Child rectangles are in client pixels of the top-level window; depth 1 is a direct child.
// Tabs, line breaks and backslashes in texts appear as \t, \r, \n and \\.
// A title ending in '*' matches the first visible window whose caption starts with the rest.

std::wstring escaped(const std::wstring& text) {
  std::wstring result;
  for (wchar_t c : text) {
    const auto special = std::wstring_view(L"\t\r\n\\").find(c);
    result += special == std::wstring_view::npos ? std::wstring(1, c)
                                                 : std::wstring{L'\\', L"trn\\"[special]};
  }
  return result;
}

std::wstring rectFields(const RECT& r) {
  return std::to_wstring(r.left) + L"\t" + std::to_wstring(r.top) + L"\t" +
         std::to_wstring(r.right - r.left) + L"\t" + std::to_wstring(r.bottom - r.top);
}

BOOL CALLBACK describeChild(HWND child, LPARAM param) {
  const auto top = reinterpret_cast<HWND>(param);
  int depth = 0;
  for (HWND p = child; p != nullptr && p != top; p = GetParent(p))
    ++depth;
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
  out(L"child\t" + std::to_wstring(depth) + L"\t" + className(child) + L"\t" +
      escaped(windowText(child)) + L"\t" + (IsWindowVisible(child) ? L"1" : L"0") + L"\t" +
      rectFields(r) + L"\t" + std::to_wstring(GetDlgCtrlID(child)));
  return TRUE;
}

std::optional<int> wininfo(const Args& a) {
  if (a.size() != 1)
    return std::nullopt;
  const std::wstring& title = a[0];
  const bool byPrefix = !title.empty() && title.back() == L'*';
  const std::wstring prefix = title.substr(0, title.size() - byPrefix);
  HWND top = byPrefix ? FindWindowExW(nullptr, nullptr, nullptr, nullptr)
                      : FindWindowW(nullptr, title.c_str());
  // The first visible top-level window whose caption starts with the prefix.
  while (byPrefix && top &&
         !(IsWindowVisible(top) && !GetParent(top) && windowText(top).rfind(prefix, 0) == 0))
    top = FindWindowExW(nullptr, top, nullptr, nullptr);
  if (top == nullptr) {
    err(L"wininfo: no window \"" + title + L"\"");
    return 1;
  }
  RECT window{}, client{};
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  MapWindowPoints(top, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const bool topmost = (GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  out(L"title\t" + escaped(windowText(top)));
  out(std::wstring(L"topmost\t") + (topmost ? L"1" : L"0"));
  out(L"window\t" + rectFields(window));
  out(L"client\t" + rectFields(client));
  EnumChildWindows(top, describeChild, reinterpret_cast<LPARAM>(top));
  return 0;
}

// --- clip: puts test content on the clipboard from a Windows process, in the formats the X side
// cannot provide or not together (text with RTF, bitmaps, file lists), and reads it back.

UINT rtfFormat() {
  return RegisterClipboardFormatW(L"Rich Text Format");
}

// Another program may hold the clipboard for a moment (a test's own "hold", the X bridge).
bool openClipboard(HWND owner) {
  return within(
      2000, [owner] { return OpenClipboard(owner) != FALSE; }, 20);
}

HGLOBAL globalCopy(const void* data, std::size_t size) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (mem != nullptr) {
    std::memcpy(GlobalLock(mem), data, size);
    GlobalUnlock(mem);
  }
  return mem;
}

bool setData(UINT format, HANDLE data) {
  if (data == nullptr)
    return false;
  if (SetClipboardData(format, data) != nullptr)
    return true;
  err(L"clip: SetClipboardData failed for format " + std::to_wstring(format));
  return false;
}

bool setUnicode(const std::wstring& text) {
  return setData(CF_UNICODETEXT, globalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
}

// Quadrants top left red, top right green, bottom left blue, bottom right white, split at
// (width / 2, height / 2); drawn in a top-down 24-bit DIB.
HBITMAP patternBitmap(int width, int height) {
  static const unsigned char kBgr[2][2][3] = {{{0, 0, 255}, {0, 255, 0}},
                                              {{255, 0, 0}, {255, 255, 255}}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) & ~3;
  std::string bits(static_cast<std::size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      std::memcpy(&bits[y * stride + x * 3], kBgr[y >= height / 2][x >= width / 2], 3);
  }
  // A device-dependent bitmap: Wine cannot hand a DIB section's bits to another process, which
  // would then find no bitmap at all.
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

HGLOBAL dropFiles(const Args& paths) {
  std::wstring list;
  for (const auto& p : paths)
    list += windowsPath(p) + L'\0';
  list += L'\0';
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
  return globalCopy(bytes.data(), bytes.size());
}

#define BRIMLO_FORMAT(f) \
  { f, L"" #f }
std::wstring formatName(UINT format) {
  // The standard formats the tests meet; others show by number.
  static const std::pair<UINT, const wchar_t*> kStandard[] = {
      BRIMLO_FORMAT(CF_TEXT),   BRIMLO_FORMAT(CF_BITMAP),      BRIMLO_FORMAT(CF_OEMTEXT),
      BRIMLO_FORMAT(CF_DIB),    BRIMLO_FORMAT(CF_UNICODETEXT), BRIMLO_FORMAT(CF_HDROP),
      BRIMLO_FORMAT(CF_LOCALE), BRIMLO_FORMAT(CF_DIBV5)};
  for (const auto& [number, name] : kStandard) {
    if (number == format)
      return name;
  }
  wchar_t name[256] = {};
  return GetClipboardFormatNameW(format, name, 256) > 0 ? name : L"#" + std::to_wstring(format);
}
#undef BRIMLO_FORMAT

// "width height TL TR BL BR" (RRGGBB of each quadrant's centre), read the way a program would:
// through a memory DC, so a device-dependent bitmap and a DIB section both work.
std::optional<std::wstring> describeBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0)
    return std::nullopt;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const int w = info.bmWidth, h = info.bmHeight;
  std::wstring line = std::to_wstring(w) + L"\t" + std::to_wstring(h);
  for (int y : {h / 4, h / 2 + h / 4}) {
    for (int x : {w / 4, w / 2 + w / 4}) {
      const COLORREF c = GetPixel(dc, x, y);
      wchar_t hex[8];
      wsprintfW(hex, L"%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
      line += std::wstring(L"\t") + hex;
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return line;
}

// Prints the clipboard's content in one format: CF_UNICODETEXT as UTF-8, the RTF bytes, one
// path per line, or the bitmap's description; 1 when the format is not there.
std::optional<int> getContent(const std::wstring& what) {
  const auto format = named<UINT>({{L"text", CF_UNICODETEXT},
                                   {L"rtf", rtfFormat()},
                                   {L"files", CF_HDROP},
                                   {L"bitmap", CF_BITMAP}},
                                  what);
  if (!format)
    return std::nullopt;
  if (!openClipboard(nullptr))
    return 1;
  int status = 1;
  HANDLE data = IsClipboardFormatAvailable(*format) ? GetClipboardData(*format) : nullptr;
  if (data != nullptr && *format == CF_BITMAP) {
    if (auto line = describeBitmap(static_cast<HBITMAP>(data))) {
      out(*line);
      status = 0;
    }
  } else if (data != nullptr && *format == CF_HDROP) {
    auto drop = static_cast<HDROP>(data);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
      out(path);
    }
    status = 0;
  } else if (const auto* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
    const SIZE_T size = GlobalSize(data);
    if (*format == CF_UNICODETEXT) {
      const auto* text = reinterpret_cast<const wchar_t*>(bytes);
      writeRaw(STD_OUTPUT_HANDLE, narrow({text, wcsnlen(text, size / sizeof(wchar_t))}));
    } else {
      writeRaw(STD_OUTPUT_HANDLE, std::string(bytes, strnlen(bytes, size)));
    }
    GlobalUnlock(data);
    status = 0;
  }
  CloseClipboard();
  return status;
}

// Empties the clipboard and sets the content the arguments describe; nullopt means bad usage.
// unicode: CF_UNICODETEXT; rtf: "Rich Text Format" from the file with the text as CF_UNICODETEXT;
// bitmap: the pattern above as CF_BITMAP; files: CF_HDROP (/unix/paths as Z:).
std::optional<bool> setContent(const Args& a) {
  const std::wstring& mode = a[0];
  if (mode == L"unicode" && a.size() == 2) {
    const auto text = textArgument(a[1]);
    if (!text)
      return false;
    EmptyClipboard();
    return setUnicode(*text);
  }
  if (mode == L"rtf" && a.size() == 3) {
    const auto rtf = readFile(a[1]);
    const auto plain = textArgument(a[2]);
    if (!rtf || !plain)
      return false;
    EmptyClipboard();
    return setData(rtfFormat(), globalCopy(rtf->c_str(), rtf->size() + 1)) && setUnicode(*plain);
  }
  if (mode == L"bitmap" && a.size() == 3) {
    const auto w = number(a[1]), h = number(a[2]);
    if (!w || !h || *w == 0 || *h == 0)
      return std::nullopt;
    EmptyClipboard();
    return setData(CF_BITMAP, patternBitmap(static_cast<int>(*w), static_cast<int>(*h)));
  }
  if (mode == L"files" && a.size() >= 2) {
    EmptyClipboard();
    return setData(CF_HDROP, dropFiles({a.begin() + 1, a.end()}));
  }
  if (mode == L"empty" && a.size() == 1)
    return EmptyClipboard() != FALSE;
  return std::nullopt;
}

std::optional<int> clip(const Args& a) {
  if (a.empty())
    return std::nullopt;
  if (a[0] == L"formats" && a.size() == 1) {
    if (!openClipboard(nullptr))
      return 1;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
      out(std::to_wstring(f) + L"\t" + formatName(f));
    CloseClipboard();
    return 0;
  }
  if (a[0] == L"get")
    return a.size() == 2 ? getContent(a[1]) : std::nullopt;
  // Hidden and never shown; it only gives the clipboard an owner in this process.
  HWND owner = CreateWindowExW(0, L"STATIC", L"Test clip owner", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  if (a[0] == L"hold") {
    const auto ms = a.size() == 2 ? number(a[1]) : std::nullopt;
    if (!ms)
      return std::nullopt;
    return openClipboard(owner) ? holdFor(*ms, [] { CloseClipboard(); }) : 1;
  }
  if (!openClipboard(owner)) {
    err(L"clip: the clipboard stays busy");
    return 1;
  }
  const auto result = setContent(a);
  CloseClipboard();
  if (result && !*result)
    err(L"clip: could not set " + a[0]);
  return result ? std::optional<int>(*result ? 0 : 1) : std::nullopt;
}

// --- regget / regset: a text value of the current user's registry as UTF-8, which `wine reg
// query` cannot print outside ASCII; stored from UTF-8, so a test can prepare settings with any
// characters whatever the Unix locale is.

std::optional<int> regget(const Args& a) {
  if (a.size() != 2)
    return std::nullopt;
  std::wstring value(32768, L'\0');  // far more than any setting the tests store
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  const LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, a[0].c_str(), a[1].c_str(), RRF_RT_REG_SZ,
                                  nullptr, value.data(), &bytes);
  if (rc == ERROR_FILE_NOT_FOUND)
    return 1;
  if (rc != ERROR_SUCCESS) {
    err(L"regget: " + a[1] + (rc == ERROR_UNSUPPORTED_TYPE ? L" is not a text value" : L": error"));
    return 3;
  }
  out(value.c_str());
  return 0;
}

std::optional<int> regset(const Args& a) {
  const auto data = a.size() == 3 ? textArgument(a[2]) : std::nullopt;
  if (!data)
    return std::nullopt;
  // The key is made where missing.
  return RegSetKeyValueW(HKEY_CURRENT_USER, a[0].c_str(), a[1].c_str(), REG_SZ, data->c_str(),
                         static_cast<DWORD>((data->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS
             ? 0
             : 1;
}

// --- runline: starts a program with its arguments exactly as given and ends with the program's
// exit status. `wine program args` quotes and escapes each argument on its way in (a double
// quote arrives as \"), so a command line as a user types it in cmd.exe can only be passed on
// from here.

std::optional<int> runline(const Args& a) {
  const auto arguments = a.size() == 2 ? textArgument(a[1]) : std::nullopt;
  if (!arguments)
    return std::nullopt;
  const std::wstring program = windowsPath(a[0]);
  std::wstring line = L"\"" + program + L"\" " + *arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    err(L"runline: cannot start " + program + L", error " + std::to_wstring(GetLastError()));
    return 121;
  }
  CloseHandle(started.hThread);
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hProcess);
  return static_cast<int>(status);
}

// --- holdfile: keeps a file open the way an editor or a virus scanner does (no sharing at all)
// for a while, so a test can see what a save onto that file does.

std::optional<int> holdfile(const Args& a) {
  const auto ms = a.size() == 2 ? number(a[1]) : std::nullopt;
  if (!ms)
    return std::nullopt;
  HANDLE file = CreateFileW(windowsPath(a[0]).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    err(L"holdfile: cannot open the file, error " + std::to_wstring(GetLastError()));
    return 1;
  }
  return holdFor(*ms, [file] { CloseHandle(file); });
}

// --- The stand-ins for programs that Brimlo starts. Each records how it was started, one item a
// line in UTF-8, in a report next to itself and ends with status 0. The report is written under
// another name and renamed: the test never reads half a report.

int writeReport(std::wstring self, const wchar_t* name, const std::string& text) {
  const std::wstring report = self.erase(self.rfind(L'\\') + 1) + name;
  const std::wstring partial = report + L".part";
  if (!(std::ofstream(std::filesystem::path(partial), std::ios::binary) << text).flush())
    return 4;
  return MoveFileExW(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}

// The updater (Update.exe): its whole command line, then its current directory, in
// updater-run.txt; it replaces nothing.
int fakeUpdater(const std::wstring& self) {
  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  return writeReport(self, L"updater-run.txt",
                     narrow(GetCommandLineW()) + "\n" + narrow(directory) + "\n");
}

// A viewer or browser (viewer.exe, registered as a file type's program): its arguments, the
// program's own first, split as the C runtime splits them, in viewer-args.txt.
int fakeViewer(const std::wstring& self) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string text;
  for (int i = 0; i < count; ++i)
    text += narrow(argv[i]) + "\n";
  LocalFree(argv);
  return writeReport(self, L"viewer-args.txt", text);
}

struct Verb {
  const wchar_t* name;
  std::optional<int> (*run)(const Args&);
  const wchar_t* usage;
  int usageStatus;
};

const Verb kVerbs[] = {
    {L"keeper", keeper, L"keeper [--warm-up]", 2},
    {L"boxes", boxes, L"boxes wait <title> [ms] | answer <title> <yes|no|cancel|ok> [ms]", 2},
    {L"wininfo", wininfo, L"wininfo <window title | title prefix*>", 2},
    {L"clip", clip,
     L"clip unicode <text|@file> | rtf <rtf-file> <text|@file> | bitmap <width> <height>\n"
     L"  | files <path>... | empty | hold <ms> | formats | get text|rtf|files|bitmap",
     2},
    {L"regget", regget, L"regget <HKCU subkey> <value>", 2},
    {L"regset", regset, L"regset <HKCU subkey> <value> <text|@file>", 2},
    {L"runline", runline, L"runline <program> <arguments|@file>", 120},
    {L"holdfile", holdfile, L"holdfile <path> <ms>", 2},
};

}  // namespace

int main() {
  wchar_t self[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const wchar_t* name = std::wcsrchr(self, L'\\');
  if (name && _wcsicmp(name + 1, L"Update.exe") == 0)
    return fakeUpdater(self);
  if (name && _wcsicmp(name + 1, L"viewer.exe") == 0)
    return fakeViewer(self);

  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  const Args args(argv + std::min(count, 1), argv + count);
  LocalFree(argv);
  for (const Verb& verb : kVerbs) {
    if (args.empty() || args[0] != verb.name)
      continue;
    if (const auto status = verb.run({args.begin() + 1, args.end()}))
      return *status;
    err(std::wstring(L"usage: brimlo-tool ") + verb.usage);
    return verb.usageStatus;
  }
  std::wstring all = L"usage: brimlo-tool <verb> ..., the verbs:";
  for (const Verb& verb : kVerbs)
    all += std::wstring(L"\n  ") + verb.usage;
  err(all);
  return 2;
}
