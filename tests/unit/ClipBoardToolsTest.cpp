#include <gtest/gtest.h>

#include <set>

#include "app/ClipBoard_Tools.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(ClipBoardToolsTest, FileListFromTheClipboard) {
  const std::wstring longName = L"C:\\" + std::wstring(300, L'n') + L".txt";
  const Names three{L"C:\\b.txt", L"C:\\a b.jpg", L"D:\\c"}, old{L"old"};
  struct Case {
    bool dropFormat;
    std::optional<Names> files;
    Names expected;  // the names that came, else the old ones stay
    int opens;
    bool heldByOther = false;
    std::set<std::uint32_t> unreadable = {};
  };
  const Case cases[] = {
      {true, three, three, 1},
      {true, Names{}, Names{}, 1},
      {true, Names{L"C:\\a.txt"}, old, 0, true},    // held by another program
      {false, std::nullopt, old, 0},                // no dropped files offered
      {true, std::nullopt, old, 1},                 // offered, but the list cannot be read
      {true, Names{longName}, Names{longName}, 1},  // longer than the ordinary path limit
      // A name that cannot be read whole is left out.
      {true, three, Names{three[0], three[2]}, 1, false, {1}},
  };
  for (const Case& c : cases) {
    fake::FakeClipboard clipboard;
    if (c.dropFormat)
      clipboard.formats.insert(platform::ClipFormat::HDrop);
    clipboard.files = c.files;
    clipboard.heldByOther = c.heldByOther;
    clipboard.unreadableNames = c.unreadable;
    Names names = old;
    std::uint32_t unreadable = 99;
    const int count = ClipBoard_Tools::GetClipboardFiles(clipboard, names, unreadable);
    EXPECT_EQ(count, c.expected == old ? 0 : static_cast<int>(c.expected.size()));
    EXPECT_EQ(unreadable, c.unreadable.size());
    EXPECT_EQ(names, c.expected);
    EXPECT_EQ(clipboard.opens, c.opens);
    EXPECT_EQ(clipboard.closes, clipboard.opens);
  }
}

TEST(ClipBoardToolsTest, TrimAtNul) {
  std::wstring buffer(260, L' ');
  buffer.replace(0, 9, std::wstring(L"C:\\a.txt\0", 9));
  const std::pair<std::wstring, std::wstring> cases[] = {
      {buffer, L"C:\\a.txt"},
      {std::wstring(L"\0abc", 4), L""},
      {L"  abc  ", L"abc"},
      {std::wstring(L" a \0b", 5), L" a "},  // before a NUL nothing is trimmed
      {std::wstring(L"x\0\0", 3), L"x"},
      {L"", L""}};
  for (const auto& [in, expected] : cases)
    EXPECT_EQ(ClipBoard_Tools::TrimAtNul(in), expected) << text::toUtf8(in);
}

}  // namespace
