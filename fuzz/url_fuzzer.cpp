// The rule that offers "Save as --> .URL" for a copied text.
#include "FuzzInput.h"
#include "app/Form1.h"

namespace {

using fuzz::check;

wchar_t asciiLower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

wchar_t asciiUpper(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool looksLikeAddress(const std::wstring& text) {
  if (text.find(L'\r') != std::wstring::npos)
    return false;
  std::wstring lower = text;
  for (wchar_t& c : lower)
    c = asciiLower(c);
  return lower.find(L"www.") != std::wstring::npos || text.find(L"//") != std::wstring::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::wstring text = in.field();
  const std::wstring more = in.field();

  const bool address = Form1::IsWebAddress(text);
  check(address == looksLikeAddress(text), "a one-line text with www. or // is an address", {text});

  std::wstring upper = text;
  for (wchar_t& c : upper)
    c = asciiUpper(c);
  check(Form1::IsWebAddress(upper) == address, "letter case does not matter", {text, upper});

  // More text on the same line keeps an address an address; a line break never is one.
  if (address && more.find(L'\r') == std::wstring::npos) {
    check(Form1::IsWebAddress(text + more) && Form1::IsWebAddress(more + text),
          "more text keeps an address", {text, more});
  }
  check(!Form1::IsWebAddress(text + L"\r" + more), "a text with a line break is no address",
        {text, more});
  return 0;
}
