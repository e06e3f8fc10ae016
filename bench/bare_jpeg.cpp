// The least a program can do to save the clipboard's picture as JPEG: take the bitmap, hand it
// to GDI+, write the file, end. brimlo.exe's batch save is timed against it.
//   bare_jpeg <file.jpg>      exit 0 saved, 1 no bitmap, 2 usage, 3 GDI+ failed
#include <windows.h>
#include <shellapi.h>

#include <objbase.h>

// The GDI+ headers use min and max, which NOMINMAX takes away.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace {

// GDI+'s built-in JPEG encoder.
constexpr CLSID kJpegEncoder = {
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

int save(HBITMAP bitmap, const wchar_t* file) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
    return 3;
  Gdiplus::GpBitmap* image = nullptr;
  int status = 3;
  if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
    if (Gdiplus::DllExports::GdipSaveImageToFile(image, file, &kJpegEncoder, nullptr) ==
        Gdiplus::Ok)
      status = 0;
    Gdiplus::DllExports::GdipDisposeImage(image);
  }
  Gdiplus::GdiplusShutdown(token);
  return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2)
    return 2;
  if (!OpenClipboard(nullptr))
    return 1;
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  const int status = bitmap != nullptr ? save(bitmap, argv[1]) : 1;
  CloseClipboard();
  return status;
}
