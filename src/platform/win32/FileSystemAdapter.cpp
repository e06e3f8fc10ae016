#include <algorithm>

#include "platform/win32/Adapters.h"
#include "platform/win32/Handles.h"
#include "save/Paths.h"

namespace win32 {

namespace {

bool isPlainFile(const WIN32_FIND_DATAW& entry) {
  return (entry.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

platform::Lookup failedLookup(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
      return platform::Lookup::NotFound;
    default:
      return platform::Lookup::Failed;
  }
}

}  // namespace

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return std::nullopt;
  return attributes;
}

// In both lookups, a name Windows would reject fails without asking the file system: FindFirstFileW
// expands "*" and "?" (and "<", ">", '"'), and Wine takes "|" or a colon after the drive as
// ordinary characters.
platform::Lookup Win32FileSystem::findPlainFile(const std::wstring& path) {
  if (paths::hasForbiddenCharacter(path))
    return platform::Lookup::Failed;
  const bool inDirectory = !path.empty() && (path.back() == L'\\' || path.back() == L'/');
  const std::wstring pattern = inDirectory ? path + L"*" : path;
  WIN32_FIND_DATAW entry{};
  const UniqueFind search(FindFirstFileW(pattern.c_str(), &entry));
  if (!search)
    return failedLookup(GetLastError());
  if (!inDirectory)
    return isPlainFile(entry) ? platform::Lookup::Found : platform::Lookup::NotFound;
  do {
    if (isPlainFile(entry))
      return platform::Lookup::Found;
  } while (FindNextFileW(search.get(), &entry));
  return failedLookup(GetLastError());
}

platform::Lookup Win32FileSystem::findFile(const std::wstring& path) {
  if (path.empty() || paths::hasForbiddenCharacter(path))
    return path.empty() ? platform::Lookup::NotFound : platform::Lookup::Failed;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return failedLookup(GetLastError());
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? platform::Lookup::NotFound
                                                 : platform::Lookup::Found;
}

util::Status Win32FileSystem::createDirectory(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) ? 0 : lastErrorOr(ERROR_CANNOT_MAKE);
}

util::Status Win32FileSystem::createNewFile(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : lastErrorOr(ERROR_OPEN_FAILED);
  }
  return CloseHandle(file.release()) ? 0 : lastErrorOr(ERROR_WRITE_FAULT);
}

util::Status Win32FileSystem::writeFile(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return lastErrorOr(ERROR_OPEN_FAILED);
  // WriteFile takes at most a DWORD of bytes at a time.
  constexpr std::size_t kChunk = 1u << 30;
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD wanted = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, wanted, &written, nullptr)) {
      return lastErrorOr(ERROR_WRITE_FAULT);
    }
    // A disk file takes all or reports an error; anything less means the disk is full.
    if (written != wanted)
      return ERROR_DISK_FULL;
    done += written;
  }
  if (!CloseHandle(file.release()))
    return lastErrorOr(ERROR_WRITE_FAULT);
  return 0;
}

util::Status Win32FileSystem::flushFile(const std::wstring& path) {
  // Windows refuses to open a read-only file for writing; Wine, when run by root, does not: a
  // read-only copy fails here on both.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return ERROR_ACCESS_DENIED;
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return lastErrorOr(ERROR_OPEN_FAILED);
  if (!FlushFileBuffers(file.get()))
    return lastErrorOr(ERROR_WRITE_FAULT);
  return CloseHandle(file.release()) ? 0 : lastErrorOr(ERROR_WRITE_FAULT);
}

util::Status Win32FileSystem::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  return SetFileAttributesW(path.c_str(), attributes) ? 0 : lastErrorOr(ERROR_ACCESS_DENIED);
}

util::Status Win32FileSystem::replaceFile(const std::wstring& from, const std::wstring& to) {
  // Windows refuses to move over a read-only file, Wine does not: a file the user protected
  // stays as it is on both.
  const DWORD target = GetFileAttributesW(to.c_str());
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) {
    return ERROR_ACCESS_DENIED;
  }
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : lastErrorOr(ERROR_ACCESS_DENIED);
}

util::Status Win32FileSystem::deleteFile(const std::wstring& path) {
  return DeleteFileW(path.c_str()) ? 0 : lastErrorOr(ERROR_ACCESS_DENIED);
}

util::Status Win32FileSystem::openForReading(const std::wstring& path, std::uint64_t& size) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return lastErrorOr(ERROR_OPEN_FAILED);
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length))
    return lastErrorOr(ERROR_READ_FAULT);
  size = static_cast<std::uint64_t>(length.QuadPart);
  return 0;
}

std::optional<std::uint64_t> Win32FileSystem::freeSpace(const std::wstring& directory) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(directory.c_str(), &available, nullptr, nullptr))
    return std::nullopt;
  return available.QuadPart;
}

}  // namespace win32
