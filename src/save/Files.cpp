#include "save/Files.h"

#include "save/Paths.h"
#include "save/SafeSave.h"
#include "util/Text.h"

namespace Files {
namespace {

// The shell's own results, which it returns instead of the system's error codes.
struct ShellResult {
  std::uint32_t code;
  const wchar_t* text;
};
constexpr ShellResult kShellResults[] = {
    {0x71, L"The source and destination files are the same file."},
    {0x72, L"Several source files were given for one destination file."},
    {0x74, L"The source is a root directory."},
    {0x75, L"The operation was cancelled."},
    {0x76, L"The destination is a subfolder of the source."},
    {0x78, L"Access to the source was denied."},
    {0x79, L"The source or destination path is too long."},
    {0x7C, L"The path of the source or the destination is invalid."},
    {0x7E, L"The destination path is an existing file."},
    {0x80, L"The destination path is an existing folder."},
    {0x81, L"The file name is too long."},
    {0x82, L"The destination is a read-only CD-ROM."},
    {0x83, L"The destination is a read-only DVD."},
    {0x84, L"The destination is a writable CD that is not formatted."},
    {0x85, L"The file is too large for the destination."},
    {0x86, L"The source is a read-only CD-ROM."},
    {0xB7, L"A path became too long during the operation."},
    {0x402, L"An unknown error occurred; the source or destination path may be invalid."},
    {0x10000, L"An error occurred at the destination."},
};

constexpr std::uint32_t kSameFile = 0x71;

// A result of the shell's file operation, with its own words; others are the system's codes.
util::Status shellStatus(std::uint32_t code) {
  for (const ShellResult& r : kShellResults) {
    if (r.code == code)
      return {code, r.text};
  }
  return code;
}

std::wstring comparable(const std::wstring& path) {
  std::wstring p = text::toLower(path);
  for (wchar_t& c : p) {
    if (c == L'/')
      c = L'\\';
  }
  return p;
}

}  // namespace

std::wstring PrepareDirectory(const std::wstring& directory) {
  std::wstring d = text::withoutQuotes(directory);
  if (d.empty() || d.back() != L'\\')
    d += L'\\';
  return d;
}

std::optional<std::wstring> Refusal(platform::FileSystem& fs, const std::wstring& source,
                                    const std::wstring& destination) {
  const auto isFolder = [&fs](const std::wstring& path) {
    const auto attributes = fs.attributes(path);
    return attributes && (*attributes & platform::attr::kDirectory);
  };
  if (isFolder(source)) {
    return L"This is a folder. Brimlo copies files only: copy the files inside the folder "
           L"instead.";
  }
  if (isFolder(destination))
    return L"A folder of that name is in the target directory; a file never replaces a folder.";
  return std::nullopt;
}

util::Status CopyFileToDirectory(const platform::Platform& p, std::uintptr_t ownerWindow,
                                 const std::wstring& source, const std::wstring& directory) {
  const std::wstring prepared = PrepareDirectory(directory);
  const std::wstring name = GetFileNamePart(source);
  const std::wstring destination = prepared + name;
  // Replacing a file by itself through a temporary would only pretend to copy it.
  if (comparable(source) == comparable(destination))
    return shellStatus(kSameFile);
  platform::FileCopy copy;
  copy.ownerWindow = ownerWindow;
  copy.source = source;
  copy.flags = kCopyFlags;
  copy.progressTitle = L"Copy " + name + L"." + L" to: " + prepared + L" ";
  p.process.processPendingMessages();

  platform::FileCopyResult shell;
  const auto copyTo = [&](const std::wstring& to) -> util::Status {
    copy.destination = to;
    shell = p.shell.copyFile(copy);
    return shell.code != 0 || shell.aborted ? util::Status::kNoCode : 0;
  };
  // The shell would say no more than "cancelled" about it.
  if (const auto a = p.fileSystem.attributes(prepared.substr(0, prepared.size() - 1));
      a && !(*a & platform::attr::kDirectory)) {
    return platform::error::kDirectoryNameInvalid;
  }
  // Every copy, new or replacing, arrives whole or not at all: it goes to a temporary next to
  // its target first. The shell would make a missing target directory; the temporary needs it
  // first.
  EnsureDirectoryPath(p.fileSystem, prepared);
  util::Status error = SafeSave::ReplaceSafely(p.fileSystem, destination, copyTo);
  if (error.code() != util::Status::kNoCode)
    return error;
  // The shell answers "cancelled" also where nobody cancelled: a source another program holds
  // open, a volume too full for it. Where the real reason can be learnt, it is told.
  std::uint64_t size = 0;
  if (error = p.fileSystem.openForReading(source, size); !error.ok())
    return error;
  if (const auto free = p.fileSystem.freeSpace(prepared); free && size > *free)
    return platform::error::kDiskFull;
  return shell.code != 0 ? shellStatus(static_cast<std::uint32_t>(shell.code))
                         : util::Status::kNoCode;
}

}  // namespace Files
