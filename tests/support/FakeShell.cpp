#include "support/Fakes.h"

#include "util/Text.h"

namespace fake {

util::Status FakeShell::findExecutable(const std::wstring& file, std::wstring& program) {
  program.clear();
  if (!scriptedLookups.empty()) {
    const auto [code, text] = scriptedLookups.front();
    scriptedLookups.pop_front();
    program = text;
    return code > 32 ? 0 : code;  // as the adapter reads the shell's codes
  }
  // Like the shell: the file must exist, then its extension decides.
  if (fs_.findPlainFile(file) != platform::Lookup::Found)
    return platform::kFindExecutableFileNotFound;
  const auto dot = file.find_last_of(L'.');
  const auto sep = file.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (sep != std::wstring::npos && dot < sep)) {
    return platform::kFindExecutableNoAssociation;
  }
  auto it = associations.find(text::toLower(file.substr(dot)));
  if (it == associations.end())
    return platform::kFindExecutableNoAssociation;
  program = it->second;
  return 0;
}

platform::FileCopyResult FakeShell::copyFile(const platform::FileCopy& copy) {
  copies.push_back(copy);
  platform::FileCopyResult result;
  if (!copyResults.empty()) {
    result = copyResults.front();
    copyResults.erase(copyResults.begin());
  }
  const bool fails = result.code != 0 || result.aborted;
  if (auto bytes = fs_.contents(copy.source)) {
    // The shell overwrites silently, the copy gets the source's attributes, read-only included,
    // and a copy that fails leaves what it wrote until then.
    fs_.addFile(copy.destination, fails ? bytes->substr(0, bytes->size() / 2) : *bytes,
                fs_.attributes(copy.source).value_or(0));
  } else if (!fails) {
    result.code = 0x402;  // the shell's "unknown error" for a source that is not there
  }
  return result;
}

}  // namespace fake
