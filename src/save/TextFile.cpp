#include "save/TextFile.h"

#include "util/Text.h"

std::string EncodeTextFile(platform::Codepage& codepage, const std::wstring& text) {
  std::string bytes;
  if (auto ansi = codepage.toAnsiExact(text)) {
    bytes = std::move(*ansi);
  } else {
    bytes = "\xEF\xBB\xBF" + text::toUtf8(text);
  }
  bytes += "\r\n";
  return bytes;
}
