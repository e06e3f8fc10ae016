#include "app/Form1.h"

namespace {
constexpr int kSymbolGap = 300;
constexpr int kUpdateFromRight = 1600;
constexpr int kWebFromRight = 800;
constexpr int kWidthReduction = 500;
constexpr int kHeightReduction = 700;
constexpr int kConvertGap = 200;
constexpr int kListHeightReduction = 400;
constexpr int kFitMarginWidth = 300;
constexpr int kFitMarginHeight = 600;
constexpr double kFitScale = 1.8;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kHimetricPerInch = 2540.0;
}  // namespace

void Form1::Form_Resize() {
  // Every step stands on its own: a size the window refuses (minimised) is simply not applied.
  if (width() < kMinWidth)
    setWidth(kSnapWidth);
  if (height() < kMinHeight)
    setHeight(kSnapHeight);
  Frame1.setWidth(width());
  AddDirBtn.setLeft(Frame1.width() - AddDirBtn.width() - kSymbolGap);
  Line1.setX2(width());
  UpdateBtn.setLeft(width() - kUpdateFromRight);
  wwwBtn.setLeft(width() - kWebFromRight);
  if (PictureFitted)
    FitPictureToPreview();
  Picture1.setLeft(Frame1.width() - Picture1.width() - kSymbolGap);
  Path.setWidth(Frame1.width() - kWidthReduction);
  if (RichText.visible()) {
    RichText.setWidth(width() - kWidthReduction);
    RichText.setHeight(height() - RichText.top() - kHeightReduction);
    RichText.setLeft(ClipText.left());
    RichText.setTop(ClipText.top());
    ConvertTxtBtn.setLeft(RichText.width() - ConvertTxtBtn.width() - kConvertGap);
  } else if (ClipText.visible()) {
    ClipText.setWidth(width() - kWidthReduction);
    ClipText.setHeight(height() - RichText.top() - kHeightReduction);
  } else if (ListBox.visible()) {
    ListBox.setWidth(width() - kWidthReduction);
    ListBox.setHeight(ClipText.top() + Frame1.top() - kListHeightReduction);
    ConvertTxtBtn.setLeft(ListBox.width() - ConvertTxtBtn.width() - kConvertGap);
  } else {
    ClipPic.setWidth(width());
    ClipPic.setHeight(height() - ClipPic.top());
    ResizeBtn.setLeft(ClipPic.width() - ResizeBtn.width() - kSymbolGap);
  }
}

void Form1::ResizeBtn_Click() {
  if (!PictureFitted) {
    FitPictureToPreview();
    PictureFitted = true;
  } else {
    PictureFitted = false;
    ClipPic.setPicture(picture());
  }
}

void Form1::FitPictureToPreview() {
  ClipPic.setAutoRedraw(true);
  ClipPic.setWidth(width());
  ClipPic.setLeft(0);
  const int w = ClipPic.width() - kFitMarginWidth;
  const int h = ClipPic.height() - kFitMarginHeight;
  // The drawing call gets a destination of 1.8 times the reduced preview and, as its source,
  // the picture's HIMETRIC size read as twips; so the picture itself covers 1.8 * 1440 / 2540
  // of the reduced preview, stretched without keeping its aspect ratio.
  constexpr double kCover = kFitScale * kTwipsPerInch / kHimetricPerInch;
  ClipPic.paintPicture(picture(), 0, 0, static_cast<int>(kCover * w), static_cast<int>(kCover * h));
}

void Form1::Frame1_MouseMove(int, int, int, int) {
  if (Picture1.backColor() != Frame1.backColor())
    Picture1.setBackColor(Frame1.backColor());
}
