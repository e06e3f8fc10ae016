// The container controls that paint themselves: the frames and the picture boxes.
#include "platform/win32/Handles.h"
#include "ui/win32/ControlPeers.h"

namespace ui_win32 {

namespace {

// Paints into an off-screen bitmap first, so that a repaint does not flicker.
class BufferedPaint {
 public:
  BufferedPaint(HWND hwnd, HDC target) : target_(target), dc_(CreateCompatibleDC(target)) {
    GetClientRect(hwnd, &rect_);
    bitmap_.reset(CreateCompatibleBitmap(target, std::max<LONG>(rect_.right, 1),
                                         std::max<LONG>(rect_.bottom, 1)));
    selected_ = win32::select(dc(), bitmap_.get());
  }
  ~BufferedPaint() { BitBlt(target_, 0, 0, rect_.right, rect_.bottom, dc(), 0, 0, SRCCOPY); }
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;
  [[nodiscard]] HDC dc() const { return dc_.get(); }
  [[nodiscard]] const RECT& rect() const { return rect_; }

 private:
  HDC target_;
  RECT rect_{};
  win32::UniqueDc dc_;
  win32::UniqueBitmap bitmap_;
  win32::SelectedObject selected_;
};

// A container that draws itself completely (background, contents, the lines on it) and
// clicks like a button.
class PaintedContainerPeer : public ControlPeer {
 public:
  using ControlPeer::ControlPeer;
  [[nodiscard]] bool isContainer() const override { return true; }

 protected:
  [[nodiscard]] DWORD style() const override { return WS_CLIPCHILDREN; }
  [[nodiscard]] DWORD exStyle() const override { return WS_EX_CONTROLPARENT; }
  [[nodiscard]] bool clicksOnRelease() const override { return true; }
  bool message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
    if (msg == WM_ERASEBKGND) {
      result = 1;  // the paint covers everything
      return true;
    }
    if (msg == WM_PAINT) {
      const win32::PaintDc painting(hwnd_);
      paint(painting.get());
      result = 0;
      return true;
    }
    if (msg == WM_PRINTCLIENT) {
      paint(reinterpret_cast<HDC>(wp));
      result = 0;
      return true;
    }
    return false;
  }
  virtual void paint(HDC target) = 0;
};

class PictureBoxPeer : public PaintedContainerPeer {
 public:
  PictureBoxPeer(FormWindow& window, ui::PictureBox& box)
      : PaintedContainerPeer(window, box), box_(box) {}

 protected:
  [[nodiscard]] const wchar_t* className() const override { return FormWindow::kPictureClass; }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Image || prop == ui::Prop::Drawing)
      InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  // The background, then the built-in image or the picture at its own size, then the stretched
  // drawing on top.
  void paint(HDC target) override {
    BufferedPaint buffer(hwnd_, target);
    HDC dc = buffer.dc();
    FillRect(dc, &buffer.rect(), window_.brush(box_.backColor()));
    const int width = buffer.rect().right;
    const int height = buffer.rect().bottom;
    if (box_.image() == ui::ImageId::Icon) {
      const int size = MulDiv(32, window_.dpi(), USER_DEFAULT_SCREEN_DPI);
      DrawIconEx(dc, 0, 0, window_.icon(size), size, size, 0, nullptr, DI_NORMAL);
    } else if (HBITMAP image = window_.bitmap(box_.image())) {
      drawBitmap(dc, image, 0, 0, width, height, false);
    } else if (box_.picture()) {
      drawBitmap(dc, reinterpret_cast<HBITMAP>(box_.picture()->handle()), 0, 0, width, height,
                 false);
    }
    const ui::Drawing& drawing = box_.drawing();
    if (drawing.picture) {
      drawBitmap(dc, reinterpret_cast<HBITMAP>(drawing.picture->handle()),
                 window_.toPixels(drawing.x), window_.toPixels(drawing.y),
                 window_.toPixels(drawing.width), window_.toPixels(drawing.height), true);
    }
    window_.paintLines(dc, &box_);
  }
  ui::PictureBox& box_;
};

class FramePeer : public PaintedContainerPeer {
 public:
  FramePeer(FormWindow& window, ui::Frame& frame)
      : PaintedContainerPeer(window, frame), frame_(frame) {}

 protected:
  [[nodiscard]] const wchar_t* className() const override { return FormWindow::kFrameClass; }
  void updateOwn(ui::Prop prop) override {
    if (prop == ui::Prop::Caption)
      InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  void paint(HDC target) override {
    BufferedPaint buffer(hwnd_, target);
    HDC dc = buffer.dc();
    FillRect(dc, &buffer.rect(), window_.brush(frame_.backColor()));
    // A captioned frame is a group box; the panels without a caption are plain areas.
    if (!frame_.caption().empty()) {
      const win32::SelectedObject font = win32::select(dc, window_.font(frame_.font()));
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      RECT edge = buffer.rect();
      edge.top += metrics.tmHeight / 2;
      DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
      SetTextColor(dc, frame_.foreColor());
      SetBkColor(dc, frame_.backColor());
      const int indent = window_.toPixels(120);
      TextOutW(dc, indent, 0, frame_.caption().c_str(), static_cast<int>(frame_.caption().size()));
    }
    window_.paintLines(dc, &frame_);
  }
  ui::Frame& frame_;
};

}  // namespace

std::unique_ptr<ControlPeer> makePictureBoxPeer(FormWindow& window, ui::PictureBox& box) {
  return std::make_unique<PictureBoxPeer>(window, box);
}

std::unique_ptr<ControlPeer> makeFramePeer(FormWindow& window, ui::Frame& frame) {
  return std::make_unique<FramePeer>(window, frame);
}

}  // namespace ui_win32
