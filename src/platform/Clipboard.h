#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Picture.h"
#include "util/Status.h"

namespace platform {

// Clipboard formats the program tests. Portable names: the platform's macros clash with them.
// Png is the registered format "PNG", as which Wine offers the pictures of Linux programs.
enum class ClipFormat { Link, Text, Bitmap, MetafilePict, Dib, Palette, Rtf, HDrop, Png };

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool isFormatAvailable(ClipFormat format) = 0;
  // Whether the standard format with this number is offered (0 matches nothing).
  virtual bool isStandardFormatAvailable(unsigned number) = 0;
  // Opens it for this program; retries briefly while another program holds it open.
  virtual util::Status open() = 0;
  virtual void close() = 0;
  // While open: the dropped-file list. count() returns the number of names.
  virtual bool hasFileList() = 0;
  virtual std::uint32_t fileCount() = 0;
  // Name i, whole (however long); nothing when it cannot be read whole.
  virtual std::optional<std::wstring> fileName(std::uint32_t index) = 0;
  // While open: a copy of the clipboard bitmap that stays valid after the clipboard changes.
  virtual std::shared_ptr<Picture> bitmap() = 0;
  // While open: the clipboard's own bitmap, no copy; valid only until the clipboard closes.
  virtual std::shared_ptr<Picture> borrowedBitmap() = 0;
  // While open: the text, read as Unicode.
  virtual std::optional<std::wstring> text() = 0;
  // While open: the clipboard's own text, no copy; valid only until the clipboard closes.
  virtual std::optional<std::wstring_view> borrowedText() = 0;
  // While open: the bytes of the "PNG" format, as a PNG file holds them.
  virtual std::optional<std::string> png() = 0;
  // While open: the "Rich Text Format" document, its bytes as an RTF file holds them.
  virtual std::optional<std::string> rtf() = 0;
  // While open: empties the clipboard and takes ownership of it.
  virtual util::Status clear() = 0;
  // While open, after clear(): puts a text on it.
  virtual util::Status setText(const std::wstring& text) = 0;
};

// Keeps the clipboard open for one scope; closes it on every path.
class OpenClipboard {
 public:
  explicit OpenClipboard(Clipboard& clipboard)
      : clipboard_(clipboard), open_(clipboard.open().ok()) {}
  ~OpenClipboard() {
    if (open_)
      clipboard_.close();
  }
  OpenClipboard(const OpenClipboard&) = delete;
  OpenClipboard& operator=(const OpenClipboard&) = delete;
  [[nodiscard]] bool isOpen() const { return open_; }

 private:
  Clipboard& clipboard_;
  bool open_;
};

}  // namespace platform
