#include "save/TextFile.h"

#include "util/Text.h"

std::string EncodeTextFile(platform::Codepage& codepage, std::wstring_view text) {
  // ASCII, the usual text and the one that reaches many megabytes, is the same in every ANSI
  // code page: it goes over in one pass into bytes sized once.
  std::string bytes(text.size() + 2, '\0');
  std::size_t i = 0;
  for (; i < text.size() && text[i] < 0x80; ++i)
    bytes[i] = static_cast<char>(text[i]);
  if (i < text.size()) {
    if (auto ansi = codepage.toAnsiExact(text)) {
      bytes = std::move(*ansi);
    } else {
      bytes = "\xEF\xBB\xBF" + text::toUtf8(text);
    }
    bytes += "\r\n";
    return bytes;
  }
  bytes[i] = '\r';
  bytes[i + 1] = '\n';
  return bytes;
}
