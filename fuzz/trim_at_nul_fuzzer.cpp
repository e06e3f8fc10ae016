// The file names of a copied file list arrive in fixed buffers: TrimAtNul cuts them at the end.
#include "FuzzInput.h"
#include "app/ClipBoard_Tools.h"

namespace {
using fuzz::check;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::wstring text = in.field();
  const std::wstring name = ClipBoard_Tools::TrimAtNul(text);

  check(name.find(L'\0') == std::wstring::npos, "no NUL is left", {text, name});
  const auto nul = text.find(L'\0');
  if (nul != std::wstring::npos) {
    // A buffer cut at its NUL keeps the name exactly, blanks included.
    check(name.size() == nul && text.compare(0, nul, name) == 0, "the name ends at the first NUL",
          {text, name});
    // Whatever follows the NUL (stale buffer content) never matters.
    const std::wstring other = name + L'\0' + L"stale \\ rest";
    check(ClipBoard_Tools::TrimAtNul(other) == name, "what follows the NUL is ignored",
          {text, name});
    return 0;
  }
  const auto first = text.find_first_not_of(L' ');
  const std::size_t lead = first == std::wstring::npos ? text.size() : first;
  check(name.empty() == (lead == text.size()), "only an all-blank text becomes empty",
        {text, name});
  check(name.empty() || (name.front() != L' ' && name.back() != L' '), "blanks are trimmed",
        {text, name});
  const bool onlyBlanksAround =
      name.empty() || (text.compare(lead, name.size(), name) == 0 &&
                       text.find_first_not_of(L' ', lead + name.size()) == std::wstring::npos);
  check(onlyBlanksAround, "only the blanks around the name are removed", {text, name});
  return 0;
}
