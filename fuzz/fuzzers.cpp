// libFuzzer targets over the portable helpers, one program each: BRIMLO_FUZZ_TARGET names the
// function below that takes the input. Each checks, besides no crash and no sanitizer report,
// the properties the program relies on.
//
// The bytes become the wide texts the program meets (file names, command lines, clipboard text):
// bytes below 0x80 are the ASCII characters themselves, so a seed can be written as plain text;
// 0x80..0xEF stand for units that are hard to reach byte by byte (surrogates, blanks that are not
// U+0020, letters whose case folding is special); 0xF0 takes the next two bytes as one raw unit
// (low byte first); 0xFF ends a field. Bytes 0xF1..0xFE are left to flags read with flag().
#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <set>

#include "app/ClipBoard_Tools.h"
#include "app/Form1.h"
#include "save/Paths.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool done() const { return pos_ >= size_; }

  // The next field: units up to the next field end (or the end of the input).
  std::wstring field() {
    static constexpr std::array<char16_t, 16> kUnits = {
        u'\0',     u'\\',     u'/',      u'"',      u' ',      u'\x00A0', u'\x3000', u'\xD800',
        u'\xDC00', u'\xDBFF', u'\xDFFF', u'\x0130', u'\x212A', u'\x00E9', u'\x00C9', u'\xFFFD'};
    std::wstring out;
    while (pos_ < size_) {
      const std::uint8_t b = data_[pos_++];
      if (b == 0xFF)
        break;
      if (b < 0x80) {
        out.push_back(static_cast<wchar_t>(b));
      } else if (b == 0xF0) {
        std::uint16_t unit = flag();
        unit = static_cast<std::uint16_t>(unit | (flag() << 8));
        out.push_back(static_cast<wchar_t>(unit));
      } else if (b < 0xF0) {
        out.push_back(static_cast<wchar_t>(kUnits[b % kUnits.size()]));
      }
    }
    return out;
  }

  // One byte as a small number (0 when the input is used up); does not take part in fields.
  std::uint8_t flag() { return pos_ < size_ ? data_[pos_++] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Reports a broken property with the texts involved, each as a C++ literal that can be pasted
// into a unit test, and stops the run so that libFuzzer saves the input.
void check(bool holds, const char* property, const std::vector<std::wstring>& texts) {
  if (holds)
    return;
  std::fprintf(stderr, "\nPROPERTY BROKEN: %s\n", property);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::fprintf(stderr, "  text %zu: L\"", i);
    for (const wchar_t c : texts[i]) {
      const auto u = static_cast<unsigned>(c);
      if (c == L'\\' || c == L'"')
        std::fprintf(stderr, "\\%c", static_cast<char>(c));
      else if (u >= 0x20 && u < 0x7F)
        std::fputc(static_cast<int>(u), stderr);
      else  // closed at once: a hex digit after it would extend it
        std::fprintf(stderr, "\\x%04X\" L\"", u);
    }
    std::fputs("\"\n", stderr);
  }
  std::abort();
}

bool has(const std::wstring& s, wchar_t c) {
  return s.find(c) != std::wstring::npos;
}

bool hasSeparator(const std::wstring& s) {
  return s.find_first_of(L"\\/") != std::wstring::npos;
}

bool isSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

wchar_t fold(wchar_t c) {
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

std::wstring folded(std::wstring s) {
  for (wchar_t& c : s)
    c = fold(c);
  return s;
}

// --- The file names of a copied file list arrive in fixed buffers: TrimAtNul cuts them. ---

[[maybe_unused]] void fuzz_trim_at_nul(Input& in) {
  const std::wstring text = in.field();
  const std::wstring name = ClipBoard_Tools::TrimAtNul(text);

  check(!has(name, L'\0'), "no NUL is left", {text, name});
  const auto nul = text.find(L'\0');
  if (nul != std::wstring::npos) {
    // A buffer cut at its NUL keeps the name exactly, blanks included.
    check(name.size() == nul && text.compare(0, nul, name) == 0, "the name ends at the first NUL",
          {text, name});
    // Whatever follows the NUL (stale buffer content) never matters.
    const std::wstring other = name + L'\0' + L"stale \\ rest";
    check(ClipBoard_Tools::TrimAtNul(other) == name, "what follows the NUL is ignored",
          {text, name});
    return;
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
}

// --- The rule that offers "Save as --> .URL" for a copied text. ---

[[maybe_unused]] void fuzz_url(Input& in) {
  const std::wstring text = in.field();
  const std::wstring more = in.field();
  std::wstring lower = text, upper = text;
  for (wchar_t& c : lower)
    c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  for (wchar_t& c : upper)
    c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;

  const bool address = Form1::IsWebAddress(text);
  check(address == (!has(text, L'\r') && (lower.find(L"www.") != std::wstring::npos ||
                                          text.find(L"//") != std::wstring::npos)),
        "a one-line text with www. or // is an address", {text});
  check(Form1::IsWebAddress(upper) == address, "letter case does not matter", {text, upper});

  // More text on the same line keeps an address an address; a line break never is one.
  if (address && !has(more, L'\r')) {
    check(Form1::IsWebAddress(text + more) && Form1::IsWebAddress(more + text),
          "more text keeps an address", {text, more});
  }
  check(!Form1::IsWebAddress(text + L"\r" + more), "a text with a line break is no address",
        {text, more});
}

// --- ReplaceText against a plain scan, plus the properties the extension rules rely on. ---

bool equalAt(const std::wstring& text, std::size_t at, const std::wstring& find) {
  return at + find.size() <= text.size() && folded(text.substr(at, find.size())) == folded(find);
}

bool containsFolded(const std::wstring& text, const std::wstring& find) {
  return folded(text).find(folded(find)) != std::wstring::npos;
}

[[maybe_unused]] void fuzz_replace(Input& in) {
  const std::wstring text = in.field();
  const std::wstring find = in.field();
  const std::wstring replacement = in.field();
  const std::vector<std::wstring> texts{text, find, replacement};

  // Left to right, each occurrence replaced and skipped over; quadratic, but plainly right.
  std::wstring expected;
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (!find.empty() && equalAt(text, i, find)) {
      expected += replacement;
      i += find.size();
      ++count;
    } else {
      expected.push_back(text[i++]);
    }
  }
  const std::wstring out = ReplaceText(text, find, replacement);
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
  const bool shareALetter = std::any_of(
      find.begin(), find.end(), [&](wchar_t c) { return has(folded(replacement), fold(c)); });
  if (!find.empty() && (replacement.empty() ? find.size() == 1 : !shareALetter))
    check(!containsFolded(out, find), "no occurrence left", {text, find, replacement, out});
}

// --- The path helpers on arbitrary names and a file system furnished by the input. ---

// The tests' file system, counting every call that writes, moves or removes a file.
struct FileSystem : fake::FakeFileSystem {
  int fileChanges = 0;
  util::Status createNewFile(const std::wstring& p) override {
    return ++fileChanges, FakeFileSystem::createNewFile(p);
  }
  util::Status writeFile(const std::wstring& p, const std::string& b) override {
    return ++fileChanges, FakeFileSystem::writeFile(p, b);
  }
  util::Status flushFile(const std::wstring& p) override {
    return ++fileChanges, FakeFileSystem::flushFile(p);
  }
  util::Status setAttributes(const std::wstring& p, std::uint32_t a) override {
    return ++fileChanges, FakeFileSystem::setAttributes(p, a);
  }
  util::Status replaceFile(const std::wstring& from, const std::wstring& to) override {
    return ++fileChanges, FakeFileSystem::replaceFile(from, to);
  }
  util::Status deleteFile(const std::wstring& p) override {
    return ++fileChanges, FakeFileSystem::deleteFile(p);
  }
  // Each entry with its attributes, by the key the file system finds it under.
  std::map<std::wstring, std::uint32_t> entries() {
    std::map<std::wstring, std::uint32_t> out;
    for (const std::wstring& p : allPaths())
      out[key(p)] = attributes(p).value_or(0);
    return out;
  }
};

void checkFileNamePart(const std::wstring& path) {
  const std::wstring name = GetFileNamePart(path);
  const wchar_t separator = has(path, L'\\') || !has(path, L'/') ? L'\\' : L'/';
  check(!has(name, separator), "GetFileNamePart holds no separator of its kind", {path, name});
  check(path.size() >= name.size() && path.ends_with(name), "GetFileNamePart is the path's end",
        {path, name});
  const std::wstring rest = path.substr(0, path.size() - name.size());
  check(rest.empty() || rest.back() == separator, "GetFileNamePart starts after a separator",
        {path, name});
}

void checkTrailingSeparator(const std::wstring& path) {
  const std::wstring once = AddTrailingSeparator(path);
  check(AddTrailingSeparator(once) == once, "AddTrailingSeparator is idempotent", {path, once});
  check(once.size() <= path.size() + 1, "AddTrailingSeparator adds one character at most",
        {path, once});
  const bool quoted = !path.empty() && path.back() == L'"';
  const std::wstring bare = quoted ? path.substr(0, path.size() - 1) : path;
  const std::wstring bareOnce = quoted ? once.substr(0, once.size() - 1) : once;
  check(!quoted || once.back() == L'"', "a closing quote stays last", {path, once});
  check(bareOnce.starts_with(bare), "AddTrailingSeparator keeps the path in front", {path, once});
  if (hasSeparator(bare)) {
    check(isSeparator(bareOnce.back()), "a path with a separator ends in one", {path, once});
    // The name part of a directory path is empty: the saved name goes right after it.
    if (!quoted)
      check(GetFileNamePart(once).empty(), "no name after the added separator", {path, once});
  }
}

void checkQuote(const std::wstring& path) {
  const std::wstring quoted = QuoteIfSpaced(path);
  const std::wstring trimmed = text::trim(path);
  if (trimmed.empty()) {
    check(quoted == path, "an all-blank path comes back as it was", {path, quoted});
    return;
  }
  check(text::trim(quoted) == quoted, "QuoteIfSpaced's result is trimmed", {path, quoted});
  check(!has(quoted, L' ') || has(quoted, L'"'), "a path with a blank is quoted", {path, quoted});
  check(QuoteIfSpaced(quoted) == quoted, "QuoteIfSpaced is idempotent", {path, quoted});
  // The quotes, when added, hold the path without the blanks around it: the shell would take
  // those as part of the file name.
  check(quoted == trimmed || quoted == L"\"" + trimmed + L"\"", "the quotes hold the trimmed path",
        {path, quoted});
}

void checkFolderName(const std::wstring& path) {
  const std::wstring folder = GetFolderName(path);
  const std::wstring trimmed = text::trim(path);
  check(trimmed.find(folder) != std::wstring::npos, "GetFolderName is part of the path",
        {path, folder});
  if (!hasSeparator(trimmed))
    check(folder == trimmed, "a bare name is its own folder", {path, folder});
  // A directory named with or without its trailing separator is the same folder. One kind of
  // separator only: the two helpers choose differently in mixed paths. A root-sized result
  // ("C:\") keeps its separator on purpose.
  const bool oneKind = has(trimmed, L'\\') != has(trimmed, L'/');
  const std::wstring withSeparator = AddTrailingSeparator(trimmed);
  // A path whose folder cannot be told comes back whole, its separator included.
  if (oneKind && trimmed == path && path.back() != L'"' && withSeparator != path &&
      withSeparator.size() > 3) {
    std::wstring other = GetFolderName(withSeparator);
    if (other.size() == withSeparator.size())
      other.pop_back();
    check(other == folder, "a trailing separator names the same folder", {path, folder, other});
  }
}

void checkDirectoryPart(FileSystem& fs, const std::wstring& path) {
  const auto before = fs.entries();
  const std::wstring dir = GetDirectoryPart(fs, path);
  check(fs.entries() == before && fs.fileChanges == 0, "GetDirectoryPart changes nothing",
        {path, dir});
  check(path.find(dir) != std::wstring::npos, "GetDirectoryPart is part of the path", {path, dir});
  if (!hasSeparator(path)) {
    check(dir == path, "a path without a separator comes back as it was", {path, dir});
    return;
  }
  check(isSeparator(dir.back()), "GetDirectoryPart ends in a separator", {path, dir});
  // An existing directory given with its separator is taken as it is, blanks and all.
  check(dir == path || text::trim(dir) == dir, "GetDirectoryPart is trimmed", {path, dir});
  check(GetDirectoryPart(fs, dir) == dir, "GetDirectoryPart is idempotent", {path, dir});
}

void checkEnsureDirectory(FileSystem& fs, const std::wstring& path) {
  const auto before = fs.entries();
  EnsureDirectoryPath(fs, path);
  check(fs.fileChanges == 0, "EnsureDirectoryPath writes no file", {path});

  std::set<std::wstring> levels;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (isSeparator(path[i]))
      levels.insert(FileSystem::key(path.substr(0, i)));
  }
  const auto after = fs.entries();
  for (const auto& [k, attributes] : before) {
    check(after.count(k) && after.at(k) == attributes, "an existing entry stays as it was",
          {path, k});
  }
  for (const auto& [k, attributes] : after) {
    check(before.count(k) || ((attributes & platform::attr::kDirectory) && levels.count(k)),
          "only the path's own levels are created", {path, k});
  }
  // Every level up to the last separator exists afterwards, up to the first one that cannot be
  // made (a refused name, a file in the way, a drive that is not there).
  for (std::size_t i = 0; i < path.size(); ++i) {
    const std::wstring level = path.substr(0, i);
    if (!isSeparator(path[i]) || FileSystem::key(level).empty() ||
        (fs.attributes(level).value_or(0) & platform::attr::kDirectory)) {
      continue;
    }
    check(fs.createDirectory(level) != 0, "every level up to the last separator exists",
          {path, level});
    break;
  }
}

[[maybe_unused]] void fuzz_paths(Input& in) {
  const std::wstring path = in.field();
  checkFileNamePart(path);
  checkTrailingSeparator(path);
  checkQuote(path);
  checkFolderName(path);

  // The rest of the input furnishes the file system (drives C: and D:): up to four entries, each
  // a kind and a name: a directory, a file, a hidden file, a read-only directory.
  FileSystem fs;
  fs.addDrive(L'D');
  for (int n = 0; n < 4 && !in.done(); ++n) {
    const std::uint8_t kind = in.flag() % 4;
    const std::wstring name = in.field();
    const bool made = kind % 3 == 0 ? fs.createDirectory(name) == 0 : fs.writeFile(name, "") == 0;
    const std::uint32_t attributes[] = {0, 0, platform::attr::kHidden, platform::attr::kReadOnly};
    if (made && attributes[kind] != 0 && fs.setAttributes(name, attributes[kind]) != 0)
      return;
  }
  fs.fileChanges = 0;
  checkDirectoryPart(fs, path);
  checkEnsureDirectory(fs, path);
}

// --- The start of the program with an arbitrary command line and current directory: the batch
// flag, the proposed name and directory, the help box and what a batch run reports. ---

[[maybe_unused]] void fuzz_commandline(Input& in) {
  const std::uint8_t options = in.flag();
  const std::wstring commandLine = in.field();
  const std::wstring rest = in.field();
  const std::wstring cwds[] = {L"C:\\" + rest, L"\\\\srv\\share\\" + rest,
                               L"C:\\Data\\" + rest + L"\\", rest};
  const std::wstring cwd = cwds[(options >> 1) % 4];
  std::wstring clipText = in.field();
  // A clipboard text ends at its first NUL; the platform never hands over more.
  clipText = clipText.substr(0, clipText.find(L'\0'));
  const bool picture = (options & 1) != 0;

  fake::TestPlatform t;
  t.process.commandLineText = commandLine;
  t.process.currentDir = cwd;
  t.fileSystem.addDirectory(cwd);
  if (picture) {
    t.clipboard.formats = {platform::ClipFormat::Bitmap};
    t.clipboard.picture = std::make_shared<fake::FakePicture>(4, 3);
  } else {
    t.clipboard.formats = {platform::ClipFormat::Text};
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
    if (has(commandLine, L'?')) {
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
    return;
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
  const bool ascii =
      std::all_of(clipText.begin(), clipText.end(), [](wchar_t c) { return c > 0 && c < 0x80; });
  if (!picture && ascii) {
    // The file is the text as it was copied, closed by one line break.
    const std::string expected = std::string(clipText.begin(), clipText.end()) + "\r\n";
    check(t.fileSystem.contents(*saved) == expected, "the saved text is the clipboard's", texts);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Letters beyond ASCII fold too, as on a Windows machine with a national locale.
  if (&BRIMLO_FUZZ_TARGET == &fuzz_replace)
    std::setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  BRIMLO_FUZZ_TARGET(in);
  return 0;
}
