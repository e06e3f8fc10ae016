// The start of the program with an arbitrary command line and current directory: the batch
// flag, the proposed name and directory, the help box and what a batch run reports.
#include <algorithm>
#include <set>

#include "FuzzInput.h"
#include "app/Form1.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using fuzz::check;
using platform::ClipFormat;

bool hasSeparator(const std::wstring& s) {
  return s.find_first_of(L"\\/") != std::wstring::npos;
}

bool isAscii(const std::wstring& s) {
  return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c > 0 && c < 0x80; });
}

std::wstring currentDirectory(std::uint8_t kind, const std::wstring& rest) {
  switch (kind % 4) {
    case 0:
      return L"C:\\" + rest;
    case 1:
      return L"\\\\srv\\share\\" + rest;
    case 2:
      return L"C:\\Data\\" + rest + L"\\";
    default:
      return rest;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t options = in.flag();
  const std::wstring commandLine = in.field();
  const std::wstring cwd = currentDirectory(options >> 1, in.field());
  std::wstring clipText = in.field();
  // A clipboard text ends at its first NUL; the platform never hands over more.
  clipText = clipText.substr(0, clipText.find(L'\0'));
  const bool picture = (options & 1) != 0;

  fake::TestPlatform t;
  t.process.commandLineText = commandLine;
  t.process.currentDir = cwd;
  t.fileSystem.addDirectory(cwd);
  if (picture) {
    t.clipboard.formats = {ClipFormat::Bitmap};
    t.clipboard.picture = std::make_shared<fake::FakePicture>(4, 3);
  } else {
    t.clipboard.formats = {ClipFormat::Text};
    t.clipboard.textContent = clipText;
  }
  const auto before = t.fileSystem.allPaths();
  const std::set<std::wstring> existing(before.begin(), before.end());

  Form1 form(t.platform);
  std::optional<int> status;
  try {
    form.load();
  } catch (const fake::ProgramEnded& e) {
    status = e.status;
  }

  const std::vector<std::wstring> texts = {commandLine, cwd, form.FNText.text(), form.Path.text()};
  const bool batch = commandLine.size() >= 2 && commandLine[0] == L'-' &&
                     (commandLine[1] == L'b' || commandLine[1] == L'B');
  check(form.BatchMode == batch, "-b at the very start, and only there, asks for a batch run",
        texts);
  check(!hasSeparator(form.FNText.text()), "the proposed name holds no directory", texts);

  if (!status) {
    if (commandLine.find(L'?') != std::wstring::npos) {
      const bool help =
          std::any_of(t.dialogs.shown.begin(), t.dialogs.shown.end(), [](const fake::Box& b) {
            return b.text.find(L"Command Line Parameter") != std::wstring::npos;
          });
      check(help, "a ? on the command line shows the help box", texts);
    }
    // A batch run that cannot save stays as a window and says why.
    if (batch)
      check(!t.dialogs.shown.empty(), "a batch run that saves nothing says why", texts);
    if (!picture) {
      check(form.SaveURLBtn.visible() == Form1::IsWebAddress(form.ClipText.text()),
            "the URL button follows the text", texts);
    }
    return 0;
  }

  check(batch && *status == platform::exitcode::kSaved, "only a batch run ends, having saved",
        texts);
  const std::wstring name = text::toLower(text::trim(form.FNText.text()));
  std::optional<std::wstring> saved;
  for (const std::wstring& p : t.fileSystem.allPaths()) {
    if (!existing.count(p) && t.fileSystem.contents(p) && text::toLower(p).ends_with(name))
      saved = p;
  }
  check(saved.has_value(), "a batch run that reports success has written the proposed file", texts);
  if (!picture && isAscii(clipText)) {
    // The file is the text as it was copied, closed by one line break.
    const std::string expected = std::string(clipText.begin(), clipText.end()) + "\r\n";
    check(t.fileSystem.contents(*saved) == expected, "the saved text is the clipboard's", texts);
  }
  return 0;
}
