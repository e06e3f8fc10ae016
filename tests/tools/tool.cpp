// brimlo-tool: the Windows helper the tests drive the program with, one verb per job (see kUsage).
// Copied under another name it stands in for a program Brimlo starts (an updater, a viewer): it
// writes its command line, its current directory and its arguments, one a line, to run.txt next
// to itself (under another name first, so a test never reads half of it) and ends.
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
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

const wchar_t kUsage[] =
    L"usage: brimlo-tool keeper [--warm-up] | boxes wait <title> <ms> | boxes answer <title> "
    L"yes|no|ok <ms> | wininfo <title | prefix*> | clip unicode <text> | clip rtf <rtf-file> "
    L"<text> | clip bitmap <w> <h> | clip files <path>... | clip empty | clip hold <ms> | clip "
    L"formats | clip get text|rtf|files|bitmap | regget <HKCU key> <value> | regset <HKCU key> "
    L"<value> <text> | runline <program> <arguments> | holdfile <path> <ms>";

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

// The bytes unchanged, so a script reading a pipe gets exact UTF-8 whatever the console code page.
void writeRaw(DWORD which, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
void out(const std::wstring& line) {
  writeRaw(STD_OUTPUT_HANDLE, narrow(line) + "\n");
}
int fail(const std::wstring& line, int status = 1) {
  writeRaw(STD_ERROR_HANDLE, narrow(line) + "\n");
  return status;
}

// Wine maps the root of the Unix tree to drive Z:; Windows paths pass through.
std::wstring windowsPath(std::wstring path) {
  if (path.empty() || path[0] != L'/')
    return path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return L"Z:" + path;
}

std::string readFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(windowsPath(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::wstring textArgument(const std::wstring& arg) {
  return arg.size() > 1 && arg[0] == L'@' ? widen(readFile(arg.substr(1))) : arg;
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

// A window's text, also of another process's edit control (which GetWindowTextW does not read).
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

HWND hiddenWindow(const wchar_t* title, DWORD style) {
  return CreateWindowExW(0, L"STATIC", title, style, 40, 40, 300, 200, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// keeper: stays attached to the Wine desktop, so that clipboard data set by one test program is
// still there for the next one (Wine empties the clipboard shortly after its last desktop process
// ends). With --warm-up it shows, maximises and restores a window once and ends instead: the first
// windows after a new prefix is booted are slow to take a size from the window manager.
int keeper(const Args& a) {
  GetDesktopWindow();
  if (a.size() == 1 && a[0] == L"--warm-up") {
    HWND hwnd = hiddenWindow(L"Test warm-up", WS_OVERLAPPEDWINDOW);
    bool zoomed = false;
    for (const int how : {SW_SHOWNORMAL, SW_MAXIMIZE, SW_RESTORE}) {
      ShowWindow(hwnd, how);
      within(
          how == SW_MAXIMIZE ? 15000 : 400,
          [&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
              DispatchMessageW(&msg);
            return how == SW_MAXIMIZE && (zoomed = IsZoomed(hwnd) != FALSE);
          },
          10);
    }
    DestroyWindow(hwnd);
    return zoomed ? 0 : 4;
  }
  // Never shown: a test looking for windows must not find this one.
  if (!a.empty() || !hiddenWindow(L"Test keeper", WS_POPUP))
    return 2;
  out(L"ready");  // the harness waits for this line
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    DispatchMessageW(&msg);
  return 0;
}

// boxes: finds a message box by its title and prints its text (line breaks as LF); "answer"
// presses one of its buttons inside the box's own process, which unlike synthetic key presses
// depends on neither focus nor window manager.
int boxes(const Args& a) {
  const bool answer = a[0] == L"answer";
  const int id = !answer ? 0 : a[2] == L"yes" ? IDYES : a[2] == L"no" ? IDNO : IDOK;
  const auto ms = static_cast<DWORD>(_wtol(a.back().c_str()));
  HWND box = nullptr;
  // A box counts once it shows and has its buttons: answering earlier would miss them.
  if (!within(ms, [&] {
        box = FindWindowW(L"#32770", a[1].c_str());
        return box && IsWindowVisible(box) && GetWindow(box, GW_CHILD);
      }))
    return fail(L"boxes: no message box \"" + a[1] + L"\"");
  // The message text is the static control the box creates with id 0xFFFF.
  std::wstring text = windowText(GetDlgItem(box, 0xFFFF));
  for (std::size_t i = 0; (i = text.find(L"\r\n", i)) != text.npos;)
    text.erase(i, 1);
  std::replace(text.begin(), text.end(), L'\r', L'\n');
  out(text);
  if (!answer)
    return 0;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(GetDlgItem(box, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  return within(ms, [box] { return !IsWindow(box); }) ? 0 : fail(L"boxes: the box stays", 4);
}

// wininfo: a top-level window and every control in it, one tab-separated line each:
//   title <caption> | topmost <0|1> | window <left> <top> <width> <height> (screen, frame
//   included) | client <left> <top> <width> <height> (screen) | child <depth> <class> <text>
//   <visible 0|1> <left> <top> <width> <height> <id> (client pixels of the top-level window)
// Tabs, line breaks and backslashes in texts appear as \t, \r, \n and \\. A title ending in '*'
// matches the first visible window whose caption starts with the rest.
std::wstring escaped(const std::wstring& text) {
  std::wstring result;
  for (wchar_t c : text) {
    const auto special = std::wstring(L"\t\r\n\\").find(c);
    result +=
        special == std::wstring::npos ? std::wstring(1, c) : std::wstring{L'\\', L"trn\\"[special]};
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
  wchar_t name[128] = {};
  GetClassNameW(child, name, 128);
  out(L"child\t" + std::to_wstring(depth) + L"\t" + name + L"\t" + escaped(windowText(child)) +
      L"\t" + (IsWindowVisible(child) ? L"1" : L"0") + L"\t" + rectFields(r) + L"\t" +
      std::to_wstring(GetDlgCtrlID(child)));
  return TRUE;
}

int wininfo(const Args& a) {
  const std::wstring& title = a[0];
  const bool byPrefix = !title.empty() && title.back() == L'*';
  const std::wstring prefix = title.substr(0, title.size() - byPrefix);
  HWND top = byPrefix ? FindWindowExW(nullptr, nullptr, nullptr, nullptr)
                      : FindWindowW(nullptr, title.c_str());
  while (byPrefix && top &&
         !(IsWindowVisible(top) && !GetParent(top) && windowText(top).rfind(prefix, 0) == 0))
    top = FindWindowExW(nullptr, top, nullptr, nullptr);
  if (top == nullptr)
    return fail(L"wininfo: no window \"" + title + L"\"");
  RECT window{}, client{};
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  MapWindowPoints(top, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  out(L"title\t" + escaped(windowText(top)));
  out(std::wstring(L"topmost\t") +
      ((GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_TOPMOST) ? L"1" : L"0"));
  out(L"window\t" + rectFields(window));
  out(L"client\t" + rectFields(client));
  EnumChildWindows(top, describeChild, reinterpret_cast<LPARAM>(top));
  return 0;
}

// clip: sets test content from a Windows process, in the formats the X side cannot provide or
// not together (text with RTF, bitmaps, file lists), holds the clipboard open, and reads it back.
bool openClipboard(HWND owner) {
  // Another program may hold the clipboard for a moment (a test's own "hold", the X bridge).
  return within(
      2000, [owner] { return OpenClipboard(owner) != FALSE; }, 20);
}

bool setData(UINT format, const void* data, std::size_t size) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (mem == nullptr)
    return false;
  std::memcpy(GlobalLock(mem), data, size);
  GlobalUnlock(mem);
  return SetClipboardData(format, mem) != nullptr;
}

bool setUnicode(const std::wstring& text) {
  return setData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Quadrants top left red, top right green, bottom left blue, bottom right white, as a
// device-dependent bitmap: Wine cannot hand a DIB section's bits to another process.
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
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

bool setContent(const Args& a) {
  const std::wstring& mode = a[0];
  EmptyClipboard();
  if (mode == L"unicode")
    return setUnicode(textArgument(a[1]));
  if (mode == L"rtf") {
    const std::string rtf = readFile(a[1]);
    return setData(RegisterClipboardFormatW(L"Rich Text Format"), rtf.c_str(), rtf.size() + 1) &&
           setUnicode(textArgument(a[2]));
  }
  if (mode == L"bitmap")
    return SetClipboardData(CF_BITMAP, patternBitmap(_wtoi(a[1].c_str()), _wtoi(a[2].c_str()))) !=
           nullptr;
  if (mode == L"files") {
    std::wstring list;
    for (auto p = a.begin() + 1; p != a.end(); ++p)
      list += windowsPath(*p) + L'\0';
    list += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    return setData(CF_HDROP, bytes.data(), bytes.size());
  }
  return mode == L"empty";
}

std::wstring formatName(UINT format) {
  for (const auto& [number, name] : {std::pair<UINT, const wchar_t*>{CF_BITMAP, L"CF_BITMAP"},
                                     {CF_UNICODETEXT, L"CF_UNICODETEXT"},
                                     {CF_HDROP, L"CF_HDROP"}}) {
    if (number == format)
      return name;
  }
  wchar_t name[256] = {};
  return GetClipboardFormatNameW(format, name, 256) > 0 ? name : L"#" + std::to_wstring(format);
}

// One format's content: CF_UNICODETEXT as UTF-8, the RTF bytes, one path a line, or the bitmap's
// size and the colours of its quadrants' centres; 1 when the format is not there.
int getContent(const std::wstring& what) {
  const UINT format = what == L"text"     ? CF_UNICODETEXT
                      : what == L"files"  ? CF_HDROP
                      : what == L"bitmap" ? CF_BITMAP
                                          : RegisterClipboardFormatW(L"Rich Text Format");
  HANDLE data = IsClipboardFormatAvailable(format) ? GetClipboardData(format) : nullptr;
  BITMAP info{};
  if (data == nullptr) {
    return 1;
  } else if (format == CF_BITMAP && GetObjectW(data, sizeof info, &info)) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, data);
    std::wstring line = std::to_wstring(info.bmWidth) + L"x" + std::to_wstring(info.bmHeight);
    for (int y : {1, 3}) {
      for (int x : {1, 3})
        line += L" " + std::to_wstring(GetPixel(dc, info.bmWidth * x / 4, info.bmHeight * y / 4));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    out(line);
  } else if (format == CF_HDROP) {
    auto drop = static_cast<HDROP>(data);
    for (UINT i = 0, count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < count; ++i) {
      std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
      out(path);
    }
  } else if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
    const SIZE_T size = GlobalSize(data);
    const auto* text = reinterpret_cast<const wchar_t*>(bytes);
    writeRaw(STD_OUTPUT_HANDLE, format == CF_UNICODETEXT
                                    ? narrow({text, wcsnlen(text, size / sizeof(wchar_t))})
                                    : std::string(bytes, strnlen(bytes, size)));
    GlobalUnlock(data);
  }
  return 0;
}

int clip(const Args& a) {
  // Hidden and never shown; it only gives the clipboard an owner in this process.
  HWND owner = hiddenWindow(L"Test clip owner", WS_POPUP);
  if (!openClipboard(a[0] == L"get" || a[0] == L"formats" ? nullptr : owner))
    return fail(L"clip: the clipboard stays busy");
  int status = 0;
  if (a[0] == L"formats") {
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
      out(std::to_wstring(f) + L"\t" + formatName(f));
  } else if (a[0] == L"get") {
    status = getContent(a[1]);
  } else if (a[0] == L"hold") {
    out(L"held");  // the caller waits for this line
    Sleep(static_cast<DWORD>(_wtol(a[1].c_str())));
  } else if (!setContent(a)) {
    status = fail(L"clip: could not set " + a[0]);
  }
  CloseClipboard();
  return status;
}

// regget / regset: a text value of the current user's registry as UTF-8, which `wine reg query`
// cannot print outside ASCII; stored from UTF-8 whatever the Unix locale is.
int regget(const Args& a) {
  std::wstring value(32768, L'\0');
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  const LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, a[0].c_str(), a[1].c_str(), RRF_RT_REG_SZ,
                                  nullptr, value.data(), &bytes);
  if (rc != ERROR_SUCCESS)
    return rc == ERROR_FILE_NOT_FOUND ? 1 : fail(L"regget: " + a[1] + L" is no readable text", 3);
  out(value.c_str());
  return 0;
}

int regset(const Args& a) {
  const std::wstring data = textArgument(a[2]);
  // The key is made where missing.
  return RegSetKeyValueW(HKEY_CURRENT_USER, a[0].c_str(), a[1].c_str(), REG_SZ, data.c_str(),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS;
}

// runline: starts a program with its arguments exactly as given and ends with its exit status.
// `wine program args` quotes and escapes each argument on its way in (a double quote arrives as
// \"), so a command line as a user types it can only be passed on from here.
int runline(const Args& a) {
  const std::wstring program = windowsPath(a[0]);
  std::wstring line = L"\"" + program + L"\" " + textArgument(a[1]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return fail(L"runline: cannot start " + program, 121);
  CloseHandle(started.hThread);
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hProcess);
  return static_cast<int>(status);
}

// holdfile: keeps a file open the way an editor or a virus scanner does (no sharing at all).
int holdfile(const Args& a) {
  HANDLE file = CreateFileW(windowsPath(a[0]).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return fail(L"holdfile: cannot open the file");
  out(L"held");
  Sleep(static_cast<DWORD>(_wtol(a[1].c_str())));
  CloseHandle(file);
  return 0;
}

int standIn(std::wstring self, const Args& args) {
  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  std::string text = narrow(GetCommandLineW()) + "\n" + narrow(directory) + "\n";
  for (const auto& arg : args)
    text += narrow(arg) + "\n";
  const std::wstring report = self.erase(self.rfind(L'\\') + 1) + L"run.txt";
  if (!(std::ofstream(std::filesystem::path(report + L".part"), std::ios::binary) << text).flush())
    return 4;
  return MoveFileExW((report + L".part").c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0
                                                                                             : 5;
}

}  // namespace

int main() {
  wchar_t self[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  const Args all(argv, argv + count), args(all.begin() + std::min(count, 1), all.end());
  LocalFree(argv);
  if (_wcsicmp(std::wcsrchr(self, L'\\') + 1, L"brimlo-tool.exe") != 0)
    return standIn(self, all);
  struct Verb {
    const wchar_t* name;
    int (*run)(const Args&);
    std::size_t least, most;
  };
  static const Verb kVerbs[] = {{L"keeper", keeper, 0, 1},   {L"boxes", boxes, 3, 4},
                                {L"wininfo", wininfo, 1, 1}, {L"clip", clip, 1, 99},
                                {L"regget", regget, 2, 2},   {L"regset", regset, 3, 3},
                                {L"runline", runline, 2, 2}, {L"holdfile", holdfile, 2, 2}};
  for (const Verb& verb : kVerbs) {
    if (!args.empty() && args[0] == verb.name && args.size() - 1 >= verb.least &&
        args.size() - 1 <= verb.most)
      return verb.run({args.begin() + 1, args.end()});
  }
  return fail(kUsage, 2);
}
