// What the form draws with (fonts, brushes, the built-in images at the window's DPI, the icon)
// and what it draws itself (its picture and the lines in it).
#include "ui/win32/FormWindow.h"

#include <type_traits>

#include "platform/win32/Handles.h"
#include "res/resource.h"
#include "ui/win32/ControlPeers.h"
#include "ui/win32/Images.h"

namespace ui_win32 {

namespace {

HBITMAP scaledCopy(HBITMAP original, int dpi) {
  BITMAP info{};
  if (!GetObjectW(original, sizeof info, &info))
    return nullptr;
  const int width = MulDiv(info.bmWidth, dpi, USER_DEFAULT_SCREEN_DPI);
  const int height = MulDiv(info.bmHeight, dpi, USER_DEFAULT_SCREEN_DPI);
  const win32::ReleasedDc screen = win32::windowDc(nullptr);
  const win32::UniqueDc from(CreateCompatibleDC(screen.get()));
  const win32::UniqueDc to(CreateCompatibleDC(screen.get()));
  HBITMAP copy = CreateCompatibleBitmap(screen.get(), width, height);
  const win32::SelectedObject selectedFrom = win32::select(from.get(), original);
  const win32::SelectedObject selectedTo = win32::select(to.get(), copy);
  SetStretchBltMode(to.get(), HALFTONE);
  SetBrushOrgEx(to.get(), 0, 0, nullptr);
  StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  return copy;
}

// The object cached under a key, made on first use; the window gives it back when it goes.
template <class Key, class Owned, class Make>
auto cached(std::map<Key, Owned>& cache, const std::type_identity_t<Key>& key, Make make) {
  Owned& owned = cache[key];
  if (!owned)
    owned.reset(make());
  return owned.get();
}

}  // namespace

FontSpec fontSpec(ui::FontFace face) {
  switch (face) {
    case ui::FontFace::Default:
      break;
    case ui::FontFace::MsSansSerif:
      return {L"MS Sans Serif", 8};
    case ui::FontFace::CourierNew:
      return {L"Courier New", 10};
    case ui::FontFace::Arial:
      return {L"Arial", 10};
  }
  return {L"MS Shell Dlg", 8};
}

HFONT FormWindow::font(ui::FontFace face, FontStyle style) {
  return cached(fonts_, {face, dpi_, style}, [&] {
    const FontSpec chosen = fontSpec(face);
    return CreateFontW(
        -MulDiv(chosen.points, dpi_, 72), 0, 0, 0, style == FontStyle::Bold ? FW_BOLD : FW_NORMAL,
        FALSE, style == FontStyle::Underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, chosen.name);
  });
}

HBRUSH FormWindow::brush(COLORREF color) {
  return cached(brushes_, color, [&] { return CreateSolidBrush(color); });
}

HBITMAP FormWindow::bitmap(ui::ImageId id) {
  if (id == ui::ImageId::None || id == ui::ImageId::Icon)
    return nullptr;
  const int resource = resourceIdOf(id);
  HBITMAP original = cached(bitmaps_, {resource, USER_DEFAULT_SCREEN_DPI}, [&] {
    return static_cast<HBITMAP>(
        LoadImageW(instance_, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  });
  if (dpi_ == USER_DEFAULT_SCREEN_DPI || !original)
    return original;
  // Keep the images in proportion with the controls, which grow with the DPI.
  return cached(bitmaps_, {resource, dpi_}, [&] { return scaledCopy(original, dpi_); });
}

HICON FormWindow::icon(int size) {
  return cached(icons_, size, [&] {
    return static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_BRIMLO), IMAGE_ICON, size, size, 0));
  });
}

// The tooltip window has no owner: Wine drops HWND_TOPMOST for a window that owns popups, and
// the pin must keep the form above other windows. The form destroys it when it goes.
void FormWindow::paintLines(HDC dc, const ui::Container* container) {
  for (const auto& control : form_.controls()) {
    if (control->kind() != ui::Kind::Line || control->parent() != container ||
        !control->visible()) {
      continue;
    }
    const auto& line = static_cast<const ui::Line&>(*control);
    const win32::UniquePen pen(CreatePen(PS_SOLID, 1, line.lineColor()));
    const win32::SelectedObject selected = win32::select(dc, pen.get());
    MoveToEx(dc, toPixels(line.x1()), toPixels(line.y1()), nullptr);
    LineTo(dc, toPixels(line.x2()), toPixels(line.y2()));
  }
}

void FormWindow::paint() {
  const win32::PaintDc painting(hwnd_);
  HDC dc = painting.get();
  // The window's own picture lies under the controls, unscaled at the top left.
  if (const auto& picture = form_.picture()) {
    drawBitmap(dc, reinterpret_cast<HBITMAP>(picture->handle()), 0, 0, picture->widthPixels(),
               picture->heightPixels(), false);
  }
  paintLines(dc, &form_);
}

}  // namespace ui_win32
