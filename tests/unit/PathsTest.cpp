#include <gtest/gtest.h>

#include <functional>

#include "save/Paths.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using Cases = std::vector<std::pair<std::wstring, std::wstring>>;

void expectAll(const std::function<std::wstring(const std::wstring&)>& f, const Cases& cases) {
  for (const auto& [in, expected] : cases)
    EXPECT_EQ(f(in), expected) << "input: " << text::toUtf8(in);
}

TEST(PathsTest, NamePartsSeparatorAndQuotes) {
  expectAll(GetFileNamePart, {{L"C:\\Pics\\a.jpg", L"a.jpg"},
                              {L"C:\\Pics\\", L""},
                              {L"docs/a.txt", L"a.txt"},
                              {L"C:\\x/y.txt", L"x/y.txt"},  // a "\" makes "/" part of the name
                              {L"a.txt", L"a.txt"},
                              {L"", L""},
                              {L" C:\\a\\ b.txt ", L" b.txt "},
                              {L"/", L""}});

  expectAll(GetFolderName, {{L"C:\\Pics\\Holiday", L"Holiday"},
                            {L"  C:\\Pics\\Holiday\\  ", L"Holiday"},
                            {L"C:\\Pics\\img.jpg", L"Pics"},
                            {L"D:\\img.jpg", L"D:\\img.jpg"},
                            {L"C:\\", L""},
                            {L"C:\\Pics\\image.jpeg", L"image.jpeg"},
                            {L"C:\\Pics/x\\img", L"x\\img"},  // one "/" makes "/" the separator
                            {L"/home/me/notes.txt", L"me"},
                            {L"Holiday", L"Holiday"},
                            {L"   ", L""},
                            {L"\\\\", L""}});

  expectAll(AddTrailingSeparator, {{L"C:\\Pics", L"C:\\Pics\\"},
                                   {L"C:\\Pics\\", L"C:\\Pics\\"},
                                   {L"\"C:\\My Pics\"", L"\"C:\\My Pics\\\""},
                                   {L"\"C:\\My Pics\\\"", L"\"C:\\My Pics\\\""},
                                   {L"/home/me", L"/home/me/"},
                                   {L"C:\\a/b", L"C:\\a/b\\"},
                                   {L"word", L"word"},
                                   {L"\"", L"\""},
                                   {L"", L""}});

  expectAll(QuoteIfSpaced, {{L"  C:\\My Pics\\a.jpg  ", L"\"C:\\My Pics\\a.jpg\""},
                            {L" C:\\a.jpg ", L"C:\\a.jpg"},
                            {L"\"C:\\x y\" ", L"\"C:\\x y\""},
                            {L"   ", L"   "},
                            {L"C:\\a\tb", L"C:\\a\tb"}});  // only blanks count
}

TEST(PathsTest, ReplaceTextIgnoresLetterCase) {
  // Letter case is folded per character with towlower; the cases stay in ASCII so that they do
  // not depend on the process locale.
  struct R {
    std::wstring text, find, replacement, expected;
  };
  const R cases[] = {{L"name.rtf", L".RTF", L".TXT", L"name.TXT"},
                     {L"a.rtf.Rtf", L".rtf", L".TXT", L"a.TXT.TXT"},
                     {L"link.TXT", L".txt", L"", L"link"},
                     {L"aa", L"a", L"b", L"bb"},
                     {L"aaa", L"aa", L"a", L"aa"},
                     {L"ab", L"a", L"aa", L"aab"},  // the replacement is not searched again
                     {L"AbAbAbC", L"ababc", L"#", L"Ab#"},
                     {L"aabaaab", L"aab", L"-", L"-a-"},
                     // Near misses that a search losing its place after one gets wrong.
                     {L"aabaa", L"aaa", L"#", L"aabaa"},
                     {L"aAbAaabaaaa", L"aabaaaa", L"#", L"aAbA#"},
                     {L"abc", L"", L"x", L"abc"},
                     {L"ab", L"abc", L"x", L"ab"},
                     {L"", L"a", L"x", L""}};
  for (const R& c : cases) {
    EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement), c.expected)
        << text::toUtf8(c.text) << " / " << text::toUtf8(c.find);
  }
}

TEST(PathsTest, ReplaceTextOnLargeInputs) {
  std::wstring text, expected;
  for (int i = 0; i < 200000; ++i) {
    text += i % 2 ? L"x.Rtf" : L"y.rTF";
    expected += i % 2 ? L"x.txt" : L"y.txt";
  }
  EXPECT_EQ(ReplaceText(text, L".rtf", L".txt"), expected);
  // Near misses everywhere: a million letters that almost match.
  const std::wstring run(1000000, L'a');
  EXPECT_EQ(ReplaceText(run + L"b", std::wstring(999, L'A') + L"B", L"!"),
            std::wstring(1000000 - 999, L'a') + L"!");
}

TEST(PathsTest, EnsureDirectoryPathCreatesEachMissingLevel) {
  struct E {
    std::wstring path;
    std::vector<std::wstring> created, absent;
  };
  const E cases[] = {{L"C:\\New\\Sub\\", {L"C:\\New", L"C:\\New\\Sub"}, {}},
                     {L"C:\\New\\file.txt", {L"C:\\New"}, {L"C:\\New\\file.txt"}},
                     {L"C:\\Data\\Shots\\New\\a.png", {L"C:\\Data\\Shots\\New"}, {}},
                     {L"C:/New/Sub/x.jpg", {L"C:\\New", L"C:\\New\\Sub"}, {L"C:\\New\\Sub\\x.jpg"}},
                     {L"C:\\A/B\\C", {L"C:\\A", L"C:\\A\\B"}, {L"C:\\A\\B\\C"}}};
  for (const E& c : cases) {
    fake::FakeFileSystem fs;
    fs.addFile(L"C:\\Data\\Shots\\old.png", "x");
    EnsureDirectoryPath(fs, c.path);
    for (const auto& d : c.created) {
      EXPECT_EQ(fs.attributes(d).value_or(0), platform::attr::kDirectory) << text::toUtf8(c.path);
    }
    for (const auto& a : c.absent)
      EXPECT_FALSE(fs.exists(a)) << text::toUtf8(c.path);
    EXPECT_EQ(fs.contents(L"C:\\Data\\Shots\\old.png"), "x");  // existing levels stay as they are
  }
  for (const std::wstring path : {L"Sub", L"", L"C:", L"\\\\server\\share"}) {
    fake::FakeFileSystem fs;
    const auto before = fs.allPaths();
    EnsureDirectoryPath(fs, path);
    EXPECT_EQ(fs.allPaths(), before) << text::toUtf8(path);
  }
}

TEST(PathsTest, DirectoryPart) {
  fake::FakeFileSystem fs;
  fs.addFile(L"C:\\Pics\\a.jpg", "x");
  fs.addDirectory(L"C:\\Empty");
  fs.addFile(L"C:\\Hidden\\h.jpg", "x", platform::attr::kHidden);
  expectAll([&](const std::wstring& p) { return GetDirectoryPart(fs, p); },
            {{L"C:\\Pics\\a.jpg", L"C:\\Pics\\"},
             {L"C:\\Pics\\", L"C:\\Pics\\"},
             {L"C:\\Pics", L"C:\\"},
             {L"C:\\Pics/", L"C:\\Pics/"},  // both separators: only "/" counts
             {L"C:\\Pics/sub/a.jpg", L"C:\\Pics/sub/"},
             {L"C:\\a.b/c\\d", L"C:\\a.b/"},
             // An existing directory holding a plain file comes back whole, even where its own
             // separators would cut it shorter.
             {L"C:/Pics\\", L"C:/Pics\\"},
             {L"C:/Empty\\", L"C:/"},
             {L"C:/Hidden\\", L"C:/"},
             {L"C:/Pics\\a.jpg", L"C:/"},
             {L"C:/Pics*\\", L"C:/"},  // a name the file system rejects
             {L"C:\\Pics\\a?.jpg", L"C:\\Pics\\"},
             {L" C:\\x y\\a.jpg", L"C:\\x y\\"},
             {L"a.jpg", L"a.jpg"},
             {L"", L""}});
}

// Names Windows refuses, or opens a device for, whatever extension follows.
TEST(PathsTest, NameRules) {
  using Names = std::vector<std::wstring>;
  const Names devices = {L"C:\\Data\\CON.TXT",  L"C:\\Data\\con",      L"C:\\Data\\nul .txt",
                         L"C:\\Data\\COM1.JPG", L"C:\\Data\\lpt9.a.b", L"C:\\Data\\Aux",
                         L"D:/x/prn.rtf",       L"CONOUT$.TXT",        L"x:COM1"};
  const Names forbidden = {L"C:\\a:b.txt", L"C:\\a|b.txt", L"C:\\a\"b\\"};
  const Names neither = {L"C:\\Data\\CONsole.TXT", L"C:\\Data\\COM10.TXT", L"C:\\Data\\my CON.TXT",
                         L"C:\\CON\\notes.TXT",    L"C:\\Data\\COMX.TXT",  L"C:x.txt"};
  for (const Names* names : {&devices, &forbidden, &neither}) {
    for (const std::wstring& path : *names) {
      EXPECT_EQ(paths::namesDevice(path), names == &devices) << text::toUtf8(path);
      EXPECT_EQ(paths::hasForbiddenCharacter(path), names == &forbidden) << text::toUtf8(path);
    }
  }
  // Only a drive path with "\" alone takes the form without the length limit, and only when
  // the ordinary form cannot hold it.
  const std::wstring deep = L"C:\\" + std::wstring(250, L'd') + L"\\";
  expectAll(paths::longPathForm,
            {{deep + L"~brimlo-0000.tmp", L"\\\\?\\" + deep + L"~brimlo-0000.tmp"},
             {deep + L"a.txt", deep + L"a.txt"},
             {deep + L"x/~brimlo-0000.tmp", deep + L"x/~brimlo-0000.tmp"},
             {L"\\\\s\\" + deep + L"n.tmp", L"\\\\s\\" + deep + L"n.tmp"}});
}

}  // namespace
