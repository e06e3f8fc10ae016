#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

// A C++ literal of the text, so that a finding can be pasted into a unit test as it is.
void printLiteral(const std::wstring& s) {
  std::fputs("L\"", stderr);
  bool escaped = false;  // the last unit was a hex escape
  for (wchar_t c : s) {
    const auto u = static_cast<unsigned>(c);
    const bool hexDigit =
        (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    // A hex digit right after an escape would extend it: the literal is split there.
    if (escaped && hexDigit)
      std::fputs("\" L\"", stderr);
    escaped = false;
    if (c == L'\\' || c == L'"') {
      std::fprintf(stderr, "\\%c", static_cast<char>(c));
    } else if (u >= 0x20 && u < 0x7F) {
      std::fputc(static_cast<int>(u), stderr);
    } else {
      std::fprintf(stderr, "\\x%04X", u);
      escaped = true;
    }
  }
  std::fputs("\"\n", stderr);
}

}  // namespace

void fail(const char* property, const std::vector<std::wstring>& texts) {
  std::fprintf(stderr, "\nPROPERTY BROKEN: %s\n", property);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::fprintf(stderr, "  text %zu: ", i);
    printLiteral(texts[i]);
  }
  std::abort();
}

}  // namespace fuzz
