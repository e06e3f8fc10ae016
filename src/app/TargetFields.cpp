// The target directory field, the file name field and the naming options.
#include "app/Form1.h"
#include "save/Paths.h"
#include "util/Text.h"

namespace {
constexpr ui::Color kRed = 0x000000C0;
constexpr ui::Color kWhite = 0x00FFFFFF;
constexpr ui::Color kBlack = 0x00000000;
constexpr wchar_t kDesktop[] = L"\\desktop\\";
constexpr std::size_t kDesktopLength = 9;
constexpr int kExtensionLength = 4;
}  // namespace

void Form1::Path_Change() {
  const std::wstring path = Path.text();
  const std::optional<std::uint32_t> attributes = p_.fileSystem.attributes(path);
  const bool driveRoot = text::toLower(path) == L"c:\\";
  if (driveRoot || text::trim(path).empty()) {
    Path.setBackColor(kRed);
    Path.setForeColor(kWhite);
    AddDirBtn.setVisible(false);
    if (driveRoot) {
      Path.setToolTip(
          L"Warning: C:\\ is used by the TC if the Directory is not valid for this operation");
    }
    return;
  }
  // Only a plain directory passes: one that also carries read-only, hidden, system or archive
  // does not. A path ending in \Desktop\ always counts as valid.
  const bool valid = (attributes && *attributes == platform::attr::kDirectory) ||
                     (path.size() >= kDesktopLength &&
                      text::toLower(path.substr(path.size() - kDesktopLength)) == kDesktop);
  if (valid) {
    Path.setToolTip(L"Target directory");
    Path.setForeColor(kBlack);
    Path.setBackColor(Frame1.backColor());
    FNText.setForeColor(Path.foreColor());
    AddDirBtn.setVisible(false);
  } else {
    Path.setBackColor(kRed);
    Path.setForeColor(kWhite);
    AddDirBtn.setVisible(true);
    AddDirBtn.setBackColor(Frame1.backColor());
    Path.setToolTip(L"Path not found");
  }
}

void Form1::Path_GotFocus() {
  Path.setBackColor(kWhite);
  Path.setForeColor(kBlack);
}

void Form1::Path_LostFocus() {
  if (Path.backColor() == kWhite)
    Path.setBackColor(Frame1.backColor());
  Path.setText(AddTrailingSeparator(Path.text()));
  Path_Change();
}

void Form1::Path_KeyPress(int& keyAscii) {
  if (keyAscii != platform::key::kEnter)
    return;
  // Enter here saves a picture or a text, never starts the file copy.
  if (SavePictureBtn.visible()) {
    SavePictureBtn_Click();
  } else if (SaveTxtBtn.visible()) {
    SaveTxtBtn_Click();
  }
}

void Form1::AddDirBtn_Click() {
  EnsureDirectoryPath(p_.fileSystem, Path.text());
  AddDirBtn.setVisible(false);
  Path_Change();
}

void Form1::AddDirBtn_MouseMove(int, int, int, int) {
  AddDirBtn.setBackColor(kWhite);
}

void Form1::AddDatecheck_Click() {
  if (const OptionKeys* keys = optionKeys()) {
    Settings::write(p_, *keys->addDate, std::to_wstring(AddDatecheck.value()));
    Settings::write(p_, *keys->addTime, std::to_wstring(AddTimeCheck.value()));
  }
  // The prefixes are those of the last refresh; the clock is not read again.
  const auto togglePrefix = [this](const ui::CheckBox& box, const std::wstring& prefix) {
    const std::wstring name = FNText.text();
    const auto at = name.find(prefix);
    if (box.value() == 0 && at != std::wstring::npos) {
      FNText.setText(name.substr(0, at) + name.substr(at + prefix.size()));
    } else if (box.value() != 0 && at == std::wstring::npos) {
      FNText.setText(prefix + name);
    }
  };
  togglePrefix(AddDatecheck, DatePrefix);
  togglePrefix(AddTimeCheck, TimePrefix);
}

void Form1::AddTimeCheck_Click() {
  AddDatecheck_Click();
}

void Form1::OpenFileCheck_Click() {
  if (const OptionKeys* keys = optionKeys()) {
    Settings::write(p_, *keys->openFile, std::to_wstring(OpenFileCheck.value()));
  }
}

void Form1::FNText_GotFocus() {
  FNText.setSelStart(0);
  // Shorter than an extension: the length is refused and nothing is selected.
  const bool selected =
      FNText.setSelLength(static_cast<int>(FNText.text().size()) - kExtensionLength);
  (void)selected;
}

void Form1::FNText_KeyPress(int& keyAscii) {
  if (keyAscii != platform::key::kEnter)
    return;
  if (SaveTxtBtn.visible()) {
    SaveTxtBtn_Click();
  } else if (SavePictureBtn.visible()) {
    SavePictureBtn_Click();
  } else if (SaveFilesBtn.visible()) {
    SaveFilesBtn_Click();
  } else {
    p_.dialogs.messageBox(L"Error #2633", platform::box::kCritical, L"Button for Action not found");
  }
}
