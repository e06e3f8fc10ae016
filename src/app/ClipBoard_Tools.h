#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/Gdiplus.h"
#include "ui/Control.h"

// The clipboard operations that the window's own queries do not cover.
namespace ClipBoard_Tools {

// Fills the list with the names of the file list on the clipboard; returns their count
// (0 when there is no file list or the clipboard cannot be opened). Names that cannot be read
// whole are left out and counted as unreadable.
int GetClipboardFiles(platform::Clipboard& clipboard, std::vector<std::wstring>& names,
                      std::uint32_t& unreadable);
// The text up to its first NUL; without a NUL, the text trimmed.
std::wstring TrimAtNul(const std::wstring& text);
// The picture a PNG file's bytes hold, decoded through GDI+ (started and shut down within this
// call) with its transparent parts laid over white; nothing when it cannot be decoded.
std::shared_ptr<platform::Picture> PictureFromPng(platform::Gdiplus& gdi, const std::string& bytes);
// Makes the rich-text box paste the clipboard in the format it prefers. Always 0.
int PasteToControl(ui::RichTextBox& control);

}  // namespace ClipBoard_Tools
