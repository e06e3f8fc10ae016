#include "save/Files.h"

#include "save/Paths.h"

namespace Files {

std::wstring PrepareDirectory(const std::wstring& directory) {
  std::wstring d = directory;
  if (!d.empty() && d.back() == L'"')
    d.pop_back();
  if (!d.empty() && d.front() == L'"')
    d.erase(0, 1);
  if (d.empty() || d.back() != L'\\')
    d += L'\\';
  return d;
}

void CopyFileToDirectory(const platform::Platform& p, std::uintptr_t ownerWindow,
                         const std::wstring& source, const std::wstring& directory) {
  const std::wstring prepared = PrepareDirectory(directory);
  const std::wstring name = GetFileNamePart(source);
  platform::FileCopy copy;
  copy.ownerWindow = ownerWindow;
  copy.source = source;
  copy.destination = prepared + name;
  copy.flags = kCopyFlags;
  copy.progressTitle = L"Copy " + name + L"." + L" to: " + prepared + L" ";
  p.process.processPendingMessages();
  const platform::FileCopyResult result = p.shell.copyFile(copy);
  if (result.code != 0) {
    p.dialogs.messageBox(std::to_wstring(result.lastError) + L"\rFile: " + source,
                         platform::box::kOkOnly, L"");
  } else if (result.aborted) {
    p.dialogs.messageBox(L"Operation Failed\r" + source, platform::box::kOkOnly, L"");
  }
}

}  // namespace Files
