#include "shell/RunFile.h"

#include "util/Text.h"

namespace RunFile {

namespace {

// Files of the user's that hold the names a lookup would use; after this many, give up.
constexpr unsigned kLookupFileTries = 100;

// Creates an empty file of the name in the user's temporary directory, only where no file is:
// under the name itself, or with a number before its extension (which the shell decides by)
// when a file of that name is there. The file's path, or "" when none could be created.
std::wstring createLookupFile(const platform::Platform& p, const std::wstring& name) {
  std::wstring directory = p.process.temporaryDirectory();
  if (directory.empty())
    return std::wstring();
  if (directory.back() != L'\\')
    directory.push_back(L'\\');
  const auto dot = name.rfind(L'.');
  const std::wstring stem = name.substr(0, dot);
  const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
  for (unsigned n = 0; n < kLookupFileTries; ++n) {
    std::wstring path = directory;
    if (n == 0) {
      path += name;
    } else {
      path += stem;
      path += L"-" + std::to_wstring(n);
      path += extension;
    }
    const util::Status made = p.fileSystem.createNewFile(path);
    if (made.ok())
      return path;
    if (made.code() != platform::error::kFileExists)
      return std::wstring();  // a name the file system refuses, or a directory it will not write
  }
  return std::wstring();
}

void removeLookupFile(const platform::Platform& p, const std::wstring& path) {
  if (path.empty())
    return;
  (void)p.fileSystem.deleteFile(path);  // an empty file left behind harms nothing
}

// Asks the shell about a short-lived file made only for this one question.
std::wstring lookUpThroughTemporary(const platform::Platform& p, const std::wstring& name) {
  const std::wstring path = createLookupFile(p, name);
  if (path.empty())
    return std::wstring();
  std::wstring program = GetExecutable(p, path);
  removeLookupFile(p, path);
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
  return p.shell.findExecutable(path, program).ok() ? program : std::wstring();
}

std::optional<std::wstring> FindProgramForFile(const platform::Platform& p,
                                               const std::wstring& requested) {
  platform::FileSystem& fs = p.fileSystem;

  // The shell only answers for a file that exists, so a missing one gets an empty stand-in. It
  // is created only where nothing at all is: a hidden or system file is not "found" but holds
  // the user's data, and must neither be emptied nor removed.
  bool placedStandIn = false;
  if (fs.findPlainFile(requested) != platform::Lookup::Found && !fs.attributes(requested)) {
    placedStandIn = fs.createNewFile(requested).ok();
  }
  const auto removeStandIn = [&] {
    if (!placedStandIn)
      return;
    (void)fs.deleteFile(requested);  // an empty file that stays behind loses no data
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

  std::wstring program;
  if (fs.findPlainFile(directory + name) == platform::Lookup::Found) {
    program = GetExecutable(p, directory + name);
  } else {
    // No such file, or no file system behind it (a web address): a file of the same name tells
    // the program just as well.
    program = lookUpThroughTemporary(p, L"zzzzzzzTemp_" + name);
  }
  if (program.empty()) {
    // The full name may be unusable as a file name; its extension alone still tells the type.
    program = lookUpThroughTemporary(p, L"RunFileTmp" + extensionOf(name));
  }

  removeStandIn();
  return program;
}

std::uint32_t StartProgram(const platform::Platform& p, const std::wstring& program,
                           const std::wstring& argument, int showState) {
  if (program.empty())
    return p.process.startProcess(L"", argument, showState);
  const bool blank = program.find(L' ') != std::wstring::npos;
  const std::wstring command = (blank ? L"\"" + program + L"\"" : program) + L" " + argument;
  return p.process.startProcess(program, command, showState);
}

std::optional<std::uint32_t> OpenURLInBrowser(const platform::Platform& p,
                                              const std::wstring& address, int windowStyle) {
  // The browser is whatever program opens a web page on this machine.
  const std::wstring probe = createLookupFile(p, L"WexX00001.html");
  const std::wstring program =
      probe.empty() ? std::wstring() : FindProgramForFile(p, probe).value_or(std::wstring());
  removeLookupFile(p, probe);

  if (program.empty())
    return std::nullopt;
  const std::uint32_t id = StartProgram(p, program, address, windowStyle);
  if (id == 0)
    return std::nullopt;
  return id;
}

}  // namespace RunFile
