// ReplaceText against a plain scan, plus the properties the extension rules rely on.
#include <clocale>
#include <cwctype>

#include "FuzzInput.h"
#include "save/Paths.h"

namespace {

using fuzz::check;

wchar_t fold(wchar_t c) {
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

bool equalAt(const std::wstring& text, std::size_t at, const std::wstring& find) {
  if (at + find.size() > text.size())
    return false;
  for (std::size_t k = 0; k < find.size(); ++k) {
    if (fold(text[at + k]) != fold(find[k]))
      return false;
  }
  return true;
}

bool containsFolded(const std::wstring& text, const std::wstring& find) {
  for (std::size_t at = 0; at + find.size() <= text.size(); ++at) {
    if (equalAt(text, at, find))
      return true;
  }
  return false;
}

// Left to right, each occurrence replaced and skipped over; quadratic, but plainly right.
std::wstring plainReplace(const std::wstring& text, const std::wstring& find,
                          const std::wstring& replacement, std::size_t& count) {
  count = 0;
  if (find.empty())
    return text;
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    if (equalAt(text, i, find)) {
      out += replacement;
      i += find.size();
      ++count;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::wstring folded(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out)
    c = fold(c);
  return out;
}

bool shareALetter(const std::wstring& a, const std::wstring& b) {
  for (wchar_t c : a) {
    if (folded(b).find(fold(c)) != std::wstring::npos)
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Letters beyond ASCII fold too, as on a Windows machine with a national locale.
  std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::wstring text = in.field();
  const std::wstring find = in.field();
  const std::wstring replacement = in.field();

  const std::wstring out = ReplaceText(text, find, replacement);
  std::size_t count = 0;
  const std::wstring expected = plainReplace(text, find, replacement, count);
  check(out == expected, "ReplaceText equals the plain scan", {text, find, replacement, out});
  check(out.size() == text.size() - count * find.size() + count * replacement.size(),
        "each occurrence is replaced once", {text, find, replacement, out});

  // Replacing a text by itself changes letter case at most.
  const std::wstring same = ReplaceText(text, find, find);
  check(folded(same) == folded(text), "replacing by the find text keeps the text",
        {text, find, same});

  // No occurrence is left behind when none can be formed anew: a replacement that shares no
  // letter with the find text cannot start one, and removing single letters joins nothing that
  // was not already there.
  if (!find.empty() && (replacement.empty() ? find.size() == 1 : !shareALetter(find, replacement)))
    check(!containsFolded(out, find), "no occurrence left", {text, find, replacement, out});
  return 0;
}
