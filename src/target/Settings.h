#pragma once
#include <array>
#include <string>

#include "platform/Platform.h"

// Every value the program keeps between runs, one row each: where it is stored and what it reads
// as when nothing (or an empty text) is stored. Reading and writing go through these rows only.
namespace Settings {

struct Row {
  const wchar_t* section;
  const wchar_t* key;
  // nullptr: the value the control shows at the moment it is read.
  const wchar_t* fallback;
};

// The three naming options, once per mode that saves a file.
inline constexpr Row kOpenFileJPG{L"Settings", L"OpenFileJPG", nullptr};
inline constexpr Row kAddDateJPG{L"Settings", L"AddDateJPG", nullptr};
inline constexpr Row kAddTimeJPG{L"Settings", L"AddTimeJPG", nullptr};
inline constexpr Row kOpenFileTxt{L"Settings", L"OpenFileTxt", nullptr};
inline constexpr Row kAddDateTxt{L"Settings", L"AddDateTxt", nullptr};
inline constexpr Row kAddTimeTxt{L"Settings", L"AddTimeTxt", nullptr};
// "True" or "False".
inline constexpr Row kOnTop{L"AlwaysOnTop", L"OnTop", L"True"};
// The window's place in twips, in the order it is restored; nothing stored leaves it as it is.
inline constexpr Row kHeight{L"Form1\\Pos", L"Height", L""};
inline constexpr Row kWidth{L"Form1\\Pos", L"Width", L""};
inline constexpr Row kTop{L"Form1\\Pos", L"Top", L""};
inline constexpr Row kLeft{L"Form1\\Pos", L"Left", L""};

inline constexpr std::array<const Row*, 11> kAll = {
    &kOpenFileJPG, &kAddDateJPG, &kAddTimeJPG, &kOpenFileTxt, &kAddDateTxt, &kAddTimeTxt,
    &kOnTop,       &kHeight,     &kWidth,      &kTop,         &kLeft};

// The stored text, or the row's fallback (`current` for a row without one).
std::wstring read(const platform::Platform& p, const Row& row, const std::wstring& current = L"");
// Stores one value; a failed write keeps the old value and is not reported.
void write(const platform::Platform& p, const Row& row, const std::wstring& value);

}  // namespace Settings
