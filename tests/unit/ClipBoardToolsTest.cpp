#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "app/ClipBoard_Tools.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(ClipBoardToolsTest, FileListFromTheClipboard) {
  const std::wstring longName = L"C:\\" + std::wstring(300, L'n') + L".txt";
  struct Case {
    const char* what;
    bool dropFormat;
    std::optional<Names> files;
    bool heldByOther;
    int expectedCount;
    Names expectedNames;
    int expectedOpens;
    std::set<std::uint32_t> unreadable = {};
    std::uint32_t expectedUnreadable = 0;
  };
  const Names old{L"old"};
  const Case cases[] = {
      {"three names", true, Names{L"C:\\b.txt", L"C:\\a b.jpg", L"D:\\c"}, false, 3,
       Names{L"C:\\b.txt", L"C:\\a b.jpg", L"D:\\c"}, 1},
      {"empty list", true, Names{}, false, 0, Names{}, 1},
      {"held by another program", true, Names{L"C:\\a.txt"}, true, 0, old, 0},
      {"no dropped files offered", false, std::nullopt, false, 0, old, 0},
      {"format offered, list unreadable", true, std::nullopt, false, 0, old, 1},
      {"a name longer than the ordinary path limit comes whole", true, Names{longName}, false, 1,
       Names{longName}, 1},
      {"a name that cannot be read whole is left out",
       true,
       Names{L"C:\\a", L"C:\\b", L"C:\\c"},
       false,
       2,
       Names{L"C:\\a", L"C:\\c"},
       1,
       {1},
       1},
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
    EXPECT_EQ(ClipBoard_Tools::GetClipboardFiles(clipboard, names, unreadable), c.expectedCount)
        << c.what;
    EXPECT_EQ(unreadable, c.expectedUnreadable) << c.what;
    EXPECT_EQ(names, c.expectedNames) << c.what;
    EXPECT_EQ(clipboard.opens, c.expectedOpens) << c.what;
    EXPECT_EQ(clipboard.closes, clipboard.opens) << c.what;
    EXPECT_FALSE(clipboard.isOpen) << c.what;
  }
}

TEST(ClipBoardToolsTest, TrimAtNul) {
  struct Case {
    std::wstring in, expected;
  };
  std::wstring buffer(260, L' ');
  buffer.replace(0, 9, std::wstring(L"C:\\a.txt\0", 9));
  const Case cases[] = {{buffer, L"C:\\a.txt"},
                        {std::wstring(L"\0abc", 4), L""},
                        {L"  abc  ", L"abc"},
                        {std::wstring(L" a \0b", 5), L" a "},  // before a NUL nothing is trimmed
                        {std::wstring(L"x\0\0", 3), L"x"},
                        {L"", L""}};
  for (const Case& c : cases) {
    EXPECT_EQ(ClipBoard_Tools::TrimAtNul(c.in), c.expected) << text::toUtf8(c.in);
  }
}

TEST(ClipBoardToolsTest, PasteReachesTheRichTextBox) {
  ui::RichTextBox box(L"RichText", nullptr);
  fake::FakeRichPeer peer;
  box.attachRichPeer(&peer);
  EXPECT_EQ(ClipBoard_Tools::PasteToControl(box), 0);
  EXPECT_EQ(peer.pastes, 1);
}

}  // namespace
