#include "target/Registry.h"

#include <array>

#include "target/Settings.h"

#include "ui/Forms.h"
#include "util/Text.h"

namespace Registry {

namespace {

std::wstring normalisedSection(const std::wstring& section) {
  // Sections are stored without a trailing separator, so "Settings" and "Settings\" meet.
  std::wstring s = section;
  while (!s.empty() && s.back() == L'\\')
    s.pop_back();
  return s;
}

// The window's place: each row with the form's side of it.
struct Place {
  const Settings::Row* row;
  int (ui::Form::*get)() const;
  bool (ui::Form::*set)(int);
};
const std::array<Place, 4> kPlaces = {
    {{&Settings::kHeight, &ui::Form::height, &ui::Form::setHeight},
     {&Settings::kWidth, &ui::Form::width, &ui::Form::setWidth},
     {&Settings::kTop, &ui::Form::top, &ui::Form::setTop},
     {&Settings::kLeft, &ui::Form::left, &ui::Form::setLeft}}};

constexpr int kCorrectedPosition = 100;

}  // namespace

void EnsureProgramName(const platform::Platform& p, const std::wstring& title) {
  if (!text::trim(title).empty())
    return;
  p.dialogs.messageBox(
      L"Der Programm-Name wurde nicht festgelegt\r(Wird f\u00fcr Registry etc. ben\u00f6tigt)\r"
      L"Bitte die AppDefOps.Initialize - Funktion aufrufen!",
      platform::box::kOkOnly, L"");
  p.process.exit(platform::exitcode::kOther);
}

std::wstring GetSettingValue(const platform::Platform& p, const std::wstring& section,
                             const std::wstring& key, const std::wstring& defaultValue) {
  EnsureProgramName(p);
  std::wstring stored =
      p.settings.read(platform::kProgramTitle, normalisedSection(section), key).value_or(L"");
  if (stored.empty() && !defaultValue.empty())
    return defaultValue;
  return stored;
}

void SaveSettingValue(const platform::Platform& p, const std::wstring& section,
                      const std::wstring& key, const std::wstring& value) {
  EnsureProgramName(p);
  // A failed write keeps the old value; nothing to tell the user.
  (void)p.settings.write(platform::kProgramTitle, normalisedSection(section), key, value);
}

void SaveWindowPos(const platform::Platform& p, const std::wstring& formName) {
  ui::Form* form = ui::findLoadedForm(formName);
  EnsureProgramName(p);
  if (form == nullptr || form->windowState() == ui::WindowState::Minimized)
    return;
  for (const Place& place : kPlaces)
    Settings::write(p, *place.row, std::to_wstring((form->*place.get)()));
}

util::Status LoadWindowPos(const platform::Platform& p, const std::wstring& formName) {
  ui::Form* form = ui::findLoadedForm(formName);
  if (form == nullptr)
    return {util::Status::kNoCode, L"FormName not found\r(AppDefOps.LoadWindowPos)"};
  EnsureProgramName(p);
  for (const Place& place : kPlaces) {
    const std::wstring stored = Settings::read(p, *place.row);
    if (stored.empty())
      continue;
    if (auto value = text::toInt32(stored)) {
      const bool applied = (form->*place.set)(*value);
      (void)applied;  // a value the window refuses leaves it as it was
    }
  }
  // A window that would open out of sight comes back near the top left corner; below the
  // bottom of the screen counts as out of sight too.
  const int screenWidth = p.screen.primaryWidthTwips();
  const int screenHeight = p.screen.primaryHeightTwips();
  const long long left = form->left(), top = form->top();
  if (screenWidth < left || left + form->width() < 0 || top + form->height() < 0 ||
      top > screenHeight) {
    form->setLeft(kCorrectedPosition);
    form->show();
    form->setTop(kCorrectedPosition);
  }
  return {};
}

}  // namespace Registry

namespace Settings {

std::wstring read(const platform::Platform& p, const Row& row, const std::wstring& current) {
  return Registry::GetSettingValue(p, row.section, row.key,
                                   row.fallback != nullptr ? row.fallback : current);
}

void write(const platform::Platform& p, const Row& row, const std::wstring& value) {
  Registry::SaveSettingValue(p, row.section, row.key, value);
}

}  // namespace Settings
