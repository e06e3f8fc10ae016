#include "app/ClipBoard_Tools.h"

#include "util/Text.h"

namespace ClipBoard_Tools {

int GetClipboardFiles(platform::Clipboard& clipboard, std::vector<std::wstring>& names,
                      std::uint32_t& unreadable) {
  unreadable = 0;
  // Asking first spares opening the clipboard, which another program may be waiting for.
  if (!clipboard.isFormatAvailable(platform::ClipFormat::HDrop))
    return 0;
  const platform::OpenClipboard open(clipboard);
  if (!open.isOpen())
    return 0;
  if (!clipboard.hasFileList())
    return 0;

  const std::uint32_t count = clipboard.fileCount();
  names.clear();
  names.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    // A name that cannot be read whole is left out, never shortened into another file's name.
    if (auto name = clipboard.fileName(i)) {
      names.push_back(TrimAtNul(*name));
    } else {
      ++unreadable;
    }
  }
  return static_cast<int>(names.size());
}

std::wstring TrimAtNul(const std::wstring& text) {
  const auto nul = text.find(L'\0');
  if (nul == std::wstring::npos)
    return text::trim(text);
  return text.substr(0, nul);
}

std::shared_ptr<platform::Picture> PictureFromPng(platform::Gdiplus& gdi,
                                                  const std::string& bytes) {
  // A JPEG has no transparency: white is what the picture shows over in most programs.
  constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;
  const platform::GdiplusSession session(gdi);
  if (!session.status().ok())
    return nullptr;
  const platform::GdiplusImage image(
      gdi, [&](std::uintptr_t& made) { return gdi.createBitmapFromStream(bytes, made); });
  std::shared_ptr<platform::Picture> picture;
  // The picture is a bitmap of its own, which outlives the image and the session.
  if (image.status().ok() &&
      !gdi.createHbitmapFromBitmap(image.handle(), kOpaqueWhite, picture).ok()) {
    picture.reset();
  }
  return picture;
}

int PasteToControl(ui::RichTextBox& control) {
  // The box itself chooses the format it takes (rich text before plain text).
  control.paste();
  return 0;
}

}  // namespace ClipBoard_Tools
