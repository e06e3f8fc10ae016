#include "shell/RunFile.h"

#include "util/Text.h"

namespace RunFile {

namespace {

constexpr std::uint32_t kFirstSuccessCode = 33;  // the shell's codes below this are errors

// Contents of the temporary files: the shell only needs a file to exist, not what is in it.
constexpr char kNamedTemporaryContent[] = "  \r\n";
constexpr char kFallbackTemporaryContent[] = " \r\n";
constexpr char kBrowserProbeContent[] = "delete me!\r\n";

// The root of the drive the program runs from ("C:\"), where the temporary files go; "" when the
// program's directory does not start with a drive letter.
std::wstring temporaryRoot(const platform::Platform& p) {
  const std::wstring directory = p.process.programDirectory();
  if (directory.empty())
    return std::wstring();
  return directory.substr(0, 1) + L":\\";
}

// Asks the shell about a short-lived file written only for this one question. When the file
// cannot be written, the shell is not asked and nothing is removed: what is there is not ours.
std::wstring lookUpThroughTemporary(const platform::Platform& p, const std::wstring& path,
                                    const std::string& content) {
  if (path.empty() || p.fileSystem.writeFile(path, content) != 0)
    return std::wstring();
  std::wstring program = GetExecutable(p, path);
  const std::uint32_t removed = p.fileSystem.deleteFile(path);
  (void)removed;  // a file that will not go away is harmless; the answer is known already
  return program;
}

// The extension the shell decides by: from the last dot on, or the whole (trimmed) name when it
// is short or has no dot.
std::wstring extensionOf(const std::wstring& name) {
  const auto dot = name.rfind(L'.');
  if (name.size() <= 3 || dot == std::wstring::npos)
    return text::trim(name);
  return name.substr(dot);
}

}  // namespace

std::wstring GetExecutable(const platform::Platform& p, const std::wstring& path) {
  std::wstring program;
  const std::uint32_t code = p.shell.findExecutable(path, program);
  return code >= kFirstSuccessCode ? program : std::wstring();
}

std::optional<std::wstring> FindProgramForFile(const platform::Platform& p,
                                               const std::wstring& requested) {
  platform::FileSystem& fs = p.fileSystem;

  // The shell only answers for a file that exists, so a missing one gets an empty stand-in. It
  // is written only where nothing at all is: a hidden or system file is not "found" but holds
  // the user's data, and must neither be emptied nor removed.
  bool placedStandIn = false;
  if (fs.findPlainFile(requested) != platform::Lookup::Found && !fs.attributes(requested)) {
    placedStandIn = fs.writeFile(requested, "") == 0;
  }
  const auto removeStandIn = [&] {
    if (!placedStandIn)
      return;
    const std::uint32_t removed = fs.deleteFile(requested);
    (void)removed;  // an empty file that stays behind loses no data
  };

  // Web addresses use "/", file paths "\".
  const wchar_t separator = requested.find(L'/') != std::wstring::npos ? L'/' : L'\\';
  std::wstring directory;
  std::wstring name = requested;
  if (const auto last = requested.rfind(separator); last != std::wstring::npos) {
    directory = requested.substr(0, last + 1);
    name = requested.substr(last + 1);
  }
  // "*.txt" stands for any file of that type.
  if (!name.empty() && name.front() == L'*')
    name.erase(0, 1);

  if (name.find(L'*') != std::wstring::npos) {
    const int answer = p.dialogs.messageBox(
        name + L"Enth\u00e4lt ung\u00fcltige Zeichen Abbrechen?", platform::box::kYesNo, L"");
    if (answer == platform::answer::kYes) {
      removeStandIn();
      return std::nullopt;
    }
  }

  const std::wstring root = temporaryRoot(p);
  std::wstring program;
  if (fs.findPlainFile(directory + name) == platform::Lookup::Found) {
    program = GetExecutable(p, directory + name);
  } else if (!root.empty()) {
    // No such file, or no file system behind it (a web address): a file of the same name in the
    // drive's root tells the program just as well.
    program = lookUpThroughTemporary(p, root + L"zzzzzzzTemp_" + name, kNamedTemporaryContent);
  }

  if (program.empty() && !root.empty()) {
    // The full name may be unusable as a file name; its extension alone still tells the type.
    program = lookUpThroughTemporary(p, root + L"RunFileTmp" + extensionOf(name),
                                     kFallbackTemporaryContent);
  }

  removeStandIn();
  return program;
}

std::optional<std::uint32_t> OpenURLInBrowser(const platform::Platform& p,
                                              const std::wstring& address, int windowStyle) {
  // The browser is whatever program opens a web page on this machine.
  const std::wstring probe = p.process.programDirectory().substr(0, 2) + L"\\WexX00001.html";
  const bool written = p.fileSystem.writeFile(probe, kBrowserProbeContent) == 0;
  const std::wstring program = FindProgramForFile(p, probe).value_or(std::wstring());
  if (written) {
    const std::uint32_t removed = p.fileSystem.deleteFile(probe);
    (void)removed;  // a leftover probe page harms nothing; the browser is still wanted
  }

  if (program.empty())
    return std::nullopt;
  const std::uint32_t id = p.process.startProcess(program + L" " + address, windowStyle);
  if (id == 0)
    return std::nullopt;
  return id;
}

}  // namespace RunFile
