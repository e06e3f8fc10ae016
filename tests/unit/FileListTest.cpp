#include <gtest/gtest.h>

#include "save/Files.h"
#include "support/Session.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;
using platform::answer::kCancel;
using platform::answer::kNo;
using platform::answer::kYes;
using platform::exitcode::kOther;
using platform::exitcode::kSaved;
using Texts = std::vector<std::wstring>;

const Texts kThree{L"C:\\Src\\a.txt", L"C:\\Src\\b.txt", L"C:\\Src\\c.txt"};

// A window showing a list of files, all of them present, that go to C:\Target.
struct FileList : fake::Session {
  explicit FileList(const Texts& files = kThree, const Texts& inTarget = {},
                    const std::wstring& target = L"C:\\Target\\")
      : Session({ClipFormat::HDrop}) {
    t.fileSystem.addDirectory(L"C:\\Target");
    for (const auto& n : kThree)
      t.fileSystem.addFile(n, "new");
    for (const auto& n : inTarget)
      t.fileSystem.addFile(L"C:\\Target\\" + n, "old");
    t.clipboard.files = files;
    start();
    form.Path.setText(target);
  }
  Texts copiedSources() const {
    Texts out;
    for (const auto& c : t.shell.copies)
      out.push_back(c.source);
    return out;
  }
};

// A missing target directory is made, as the shell makes it.
TEST(FileListTest, CopiesFromTheLastEntryToTheFirstWithProgressCaptions) {
  FileList l(kThree, {}, L"C:\\Target\\New\\");
  Texts captions;
  l.t.process.onPendingMessages = [&] { captions.push_back(l.form.caption()); };
  EXPECT_EQ(l.save(), kSaved);
  EXPECT_EQ(l.copiedSources(), (Texts{kThree[2], kThree[1], kThree[0]}));
  const std::wstring base = std::wstring(Form1::kVersionTitle) + L" - Copy File(s):  ";
  // Each file: once before the shell call, once after the entry is removed.
  EXPECT_EQ(captions, (Texts{base + L"1/3", base + L"1/3", base + L"2/3", base + L"2/3",
                             base + L"3/3", base + L"3/3"}));
  EXPECT_EQ(l.form.ListBox.listCount(), 0);
  const platform::FileCopy& first = l.t.shell.copies[0];
  EXPECT_EQ(first.destination.rfind(L"C:\\Target\\New\\~brimlo-", 0), 0u);
  EXPECT_EQ(first.flags, 0x310u);
  EXPECT_EQ(first.progressTitle, L"Copy c.txt. to: C:\\Target\\New\\ ");
  EXPECT_EQ(l.t.fileSystem.contents(L"C:\\Target\\New\\a.txt"), "new");
}

TEST(FileListTest, OverwriteQuestionsAndTheAllowAllAnswer) {
  struct Case {
    std::deque<int> answers;
    Texts copied;
    std::optional<int> status;
    int left;
    Texts said;  // the start of each box's text
  };
  const std::wstring c = L"File already exists!\r\rC:\\Target\\c.txt\r Overwrit it?";
  const std::wstring b = L"File already exists!\r\rC:\\Target\\b.txt\r Overwrit it?";
  const std::wstring all = L"Allow for all files?";
  // b.txt and c.txt exist in the target; a.txt does not.
  const Case cases[] = {
      {{kYes, kYes}, {kThree[2], kThree[1], kThree[0]}, kSaved, 0, {c, all}},
      // Allow-all No: b.txt is asked about, allow-all is not asked again.
      {{kYes, kNo, kYes}, {kThree[2], kThree[1], kThree[0]}, kSaved, 0, {c, all, b}},
      {{kNo, kNo}, {kThree[0]}, kSaved, 0, {c, b}},   // No skips but removes the entry
      {{kNo, kCancel}, {}, std::nullopt, 2, {c, b}},  // Cancel keeps this and the earlier ones
  };
  for (const Case& k : cases) {
    FileList l(kThree, {L"b.txt", L"c.txt"});
    l.t.dialogs.answers = k.answers;
    EXPECT_EQ(l.save(), k.status);
    EXPECT_EQ(l.copiedSources(), k.copied);
    EXPECT_EQ(l.said(), k.said);
    EXPECT_EQ(l.form.ListBox.listCount(), k.left);
    EXPECT_EQ(l.t.dialogs.shown[0].style, platform::box::kYesNoCancelQuestion);
    EXPECT_EQ(l.t.dialogs.shown[0].title, L"Overwrite?");
    EXPECT_EQ(l.t.dialogs.shown[1].title, k.answers[0] == kYes ? L"Allow all?" : L"Overwrite?");
  }
}

// 0 only when at least one file was copied and every file that was to be copied arrived.
TEST(FileListTest, ExitStatusSaysWhetherEveryFileArrived) {
  enum Fault { kNone, kSourceHeldOpen, kDiskFull };  // held open by another program
  struct Case {
    Texts files;
    int status;
    Texts said;  // the start of each box's text
    std::deque<int> answers = {};
    std::vector<platform::FileCopyResult> shell = {};
    Fault fault = kNone;
    std::wstring target = L"C:\\Target\\";
  };
  const Texts a = {kThree[0]}, ac = {kThree[0], kThree[2]}, asked = {L"File", L"Allow"};
  const std::wstring in = L"\rFile: C:\\Src\\a.txt", bad = L"C:\\Src\\bad?name.txt";
  const std::wstring same = L"The source and destination files are the same file.";
  const std::wstring folder = L"\r\rThis is a folder";
  // b.txt exists in the target.
  const Case cases[] = {
      {kThree, kSaved, asked, {kYes, kNo}},
      {{}, kOther, {}},
      {{kThree[1]}, kOther, {L"File"}, {kNo}},  // the only file answered No
      {kThree, kSaved, {L"File"}, {kNo}},       // one answered No, the rest copied
      {ac, kOther, {L"error 1223\rFile: C:\\Src\\c.txt"}, {}, {{1223, false}}},
      {ac, kOther, {L"The path of the source or the destination is invalid.\rFile"}, {}, {{0x7C}}},
      {a, kOther, {L"Operation Failed\rC:\\Src\\a.txt"}, {}, {{0, true}}},  // cancelled
      // The shell says "cancelled" where the source cannot be read, or does not fit, or the
      // target directory is a file: the real reason is told.
      {{L"C:\\Src\\gone.txt", kThree[0]}, kOther, {L"error 2\rFile: C:\\Src\\gone.txt"}},
      {a, kOther, {L"error 32" + in}, {}, {{0, true}}, kSourceHeldOpen},
      {a, kOther, {L"error 112" + in}, {}, {{0, true}}, kDiskFull},
      {a, kOther, {L"error 267" + in}, {}, {}, kNone, L"C:\\Src\\b.txt"},
      {{kThree[0], bad}, kOther, {L"The file was not copied:\r\rC:\\Target\\bad?name.txt"}},
      // Copied onto itself.
      {{L"C:\\Target\\b.txt"}, kOther, {L"File", L"Allow", same}, {kYes, kNo}},
      // A folder over a file of its name, a file over a folder: neither asked nor copied.
      {{L"C:\\Src\\Photos", kThree[0]}, kOther, {L"Not copied:\r\rC:\\Src\\Photos" + folder}},
      {{L"C:\\Target"}, kOther, {L"Not copied:\r\rC:\\Target" + folder}},
      {{L"C:\\Src\\d.txt"}, kOther, {L"Not copied:\r\rC:\\Src\\d.txt\r\rA folder of that name"}},
  };
  for (const Case& c : cases) {
    FileList l(c.files, {L"b.txt"}, c.target);
    if (c.fault == kSourceHeldOpen)
      l.t.fileSystem.locked.insert(fake::FakeFileSystem::key(kThree[0]));
    if (c.fault == kDiskFull)
      l.t.fileSystem.freeBytes = 2;
    l.t.fileSystem.addFile(L"C:\\Src\\Photos\\p.jpg", "new");
    l.t.fileSystem.addFile(L"C:\\Target\\Photos", "old");
    l.t.fileSystem.addFile(L"C:\\Src\\d.txt", "new");
    l.t.fileSystem.addDirectory(L"C:\\Target\\d.txt");
    l.t.shell.copyResults = c.shell;
    l.t.dialogs.answers = c.answers;
    EXPECT_EQ(l.save(), c.status);
    const Texts said = l.said();
    ASSERT_EQ(said.size(), c.said.size());
    for (std::size_t i = 0; i < c.said.size(); ++i)
      EXPECT_EQ(said[i].rfind(c.said[i], 0), 0u) << text::toUtf8(said[i]);
    EXPECT_EQ(l.form.ListBox.listCount(), 0);
    // Nothing in the target lost; a file that did not arrive whole is not there at all, nor is a
    // temporary.
    for (const std::wstring& path : l.t.fileSystem.allPaths()) {
      const auto bytes = l.t.fileSystem.contents(path);
      EXPECT_TRUE(!bytes || *bytes == "new" || *bytes == "old") << text::toUtf8(path);
    }
    EXPECT_EQ(l.t.fileSystem.contents(L"C:\\Target\\Photos"), "old");
  }
}

// An existing file is replaced only by a complete, flushed copy: a copy that fails or is
// cancelled, or a file that cannot be replaced, leaves the old file as it was and no temporary.
TEST(FileListTest, AnExistingFileIsReplacedOnlyByACompleteCopy) {
  struct Case {
    std::vector<platform::FileCopyResult> shell;
    std::uint32_t oldAttributes;
    const char* expected;
    std::uint32_t sourceAttributes = platform::attr::kArchive;  // the copy takes them over
  };
  using namespace platform::attr;
  const Case cases[] = {
      {{}, kArchive, "new"},
      {{}, kHidden, "new"},               // a hidden file is asked about and replaced
      {{{112, false}}, kArchive, "old"},  // the shell fails (a full disk)
      {{{0, true}}, kArchive, "old"},     // cancelled
      {{}, kReadOnly, "old"},
      {{}, kArchive, "new", kReadOnly},  // a read-only source gives a read-only copy
  };
  for (const Case& c : cases) {
    // In quotes, as Explorer's "Copy as path" gives it: still the directory the file is asked
    // about and replaced in.
    FileList l({kThree[0]}, {}, L"\"C:\\Target\"");
    l.form.Path_LostFocus();
    l.t.fileSystem.addFile(L"C:\\Target\\a.txt", "old", c.oldAttributes);
    ASSERT_EQ(l.t.fileSystem.setAttributes(kThree[0], c.sourceAttributes), 0u);
    l.t.shell.copyResults = c.shell;
    const auto before = l.t.fileSystem.allPaths();
    l.t.dialogs.answers = {kYes, kNo};
    EXPECT_EQ(l.save(), std::string(c.expected) == "new" ? kSaved : kOther);
    ASSERT_FALSE(l.t.dialogs.shown.empty());
    EXPECT_EQ(l.t.dialogs.shown[0].title, L"Overwrite?");
    ASSERT_EQ(l.t.shell.copies.size(), 1u);
    EXPECT_NE(l.t.shell.copies[0].destination, L"C:\\Target\\a.txt");
    EXPECT_EQ(l.t.shell.copies[0].progressTitle, L"Copy a.txt. to: C:\\Target\\ ");
    EXPECT_EQ(l.t.fileSystem.contents(L"C:\\Target\\a.txt"), c.expected);
    EXPECT_EQ(
        *l.t.fileSystem.attributes(L"C:\\Target\\a.txt") & kReadOnly,
        (std::string(c.expected) == "new" ? c.sourceAttributes : c.oldAttributes) & kReadOnly);
    EXPECT_EQ(l.t.fileSystem.allPaths(), before);
    EXPECT_EQ(l.t.fileSystem.unflushedReplaces, 0);
  }
}

// The window takes input between two files. Whatever the user does then, the list the loop
// works through stays as it is, and every file is copied once.
TEST(FileListTest, TheListStaysAsItIsWhileTheCopyRuns) {
  FileList l;
  bool once = false;
  l.t.process.onPendingMessages = [&] {
    if (std::exchange(once, true))
      return;
    l.form.ListBox.userSelect(0);
    l.form.ListBox.userDblClick();
    l.t.clipboard.files = Texts{L"C:\\Src\\other.txt"};
    l.refresh();
    l.form.ConvertTxtBtn.userClick();
    l.form.SaveFilesBtn.userClick();
    l.form.Path.setText(L"C:\\Data\\Shots\\");
  };
  EXPECT_EQ(l.save(), kSaved);
  EXPECT_EQ(l.copiedSources(), (Texts{kThree[2], kThree[1], kThree[0]}));
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
    EXPECT_EQ(l.t.fileSystem.contents(std::wstring(L"C:\\Target\\") + name), "new");
}

// Esc or the exit button during a copy asks whether to stop; Yes stops it after the file being
// copied, keeps what was copied, says how far it got and leaves the rest in the list.
TEST(FileListTest, EscStopsALongCopyBetweenTwoFiles) {
  for (const int answer : {kYes, kNo}) {
    FileList l;
    l.t.dialogs.answers = {answer};
    bool pressed = false;
    l.t.process.onPendingMessages = [&] {
      if (!std::exchange(pressed, true))
        l.form.userKeyPress(27);
    };
    const auto status = l.save();
    ASSERT_GE(l.t.dialogs.shown.size(), 1u);
    EXPECT_EQ(l.t.dialogs.shown[0].text, L"Stop copying after this file?");
    if (answer == kNo) {
      EXPECT_EQ(status, kSaved);
      EXPECT_EQ(l.t.shell.copies.size(), 3u);
      continue;
    }
    EXPECT_EQ(status, std::nullopt);
    EXPECT_EQ(l.t.shell.copies.size(), 1u);
    EXPECT_EQ(l.t.fileSystem.contents(L"C:\\Target\\c.txt"), "new");
    ASSERT_EQ(l.t.dialogs.shown.size(), 2u);
    EXPECT_EQ(l.t.dialogs.shown[1].text.rfind(L"Copying stopped: 1 of 3 files copied.", 0), 0u);
    EXPECT_EQ(l.form.ListBox.items(), (Texts{kThree[0], kThree[1]}));
    EXPECT_TRUE(l.form.visible());
  }
}

TEST(FileListTest, PreparedDirectoryDropsQuotesAndAddsTheSeparator) {
  const std::pair<std::wstring, std::wstring> cases[] = {{L"C:\\T", L"C:\\T\\"},
                                                         {L"\"C:\\My T\"", L"C:\\My T\\"},
                                                         {L"C:\\T\\", L"C:\\T\\"},
                                                         {L"C:/T/", L"C:/T/\\"},
                                                         {L"", L"\\"}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(Files::PrepareDirectory(in), out);
}

TEST(FileListTest, DoubleClickRemovesTheSelectedEntryAndTheLastOneEnds) {
  FileList l({kThree[0], kThree[1]});
  l.form.ListBox.userSelect(-1);
  l.form.ListBox.userDblClick();
  EXPECT_EQ(l.form.ListBox.listCount(), 2);
  l.form.ListBox.userSelect(0);
  l.form.ListBox.userDblClick();
  EXPECT_EQ(l.form.ListBox.items(), (Texts{kThree[1]}));
  l.form.ListBox.userSelect(0);
  EXPECT_EQ(l.run([&] { l.form.ListBox.userDblClick(); }), kOther);
  EXPECT_EQ(l.t.settings.values.count(L"Brimlo\\Form1\\Pos\\Left"), 1u);
}

TEST(FileListTest, RightClickPutsTheListOnTheClipboard) {
  struct Case {
    Texts files;
    int button, shift;
    int answer;
    bool asked;
    std::optional<std::wstring> clipboard;  // nothing: the file list stays there
  };
  const Texts two{kThree[0], kThree[1]};
  const Case cases[] = {
      {two, ui::mouse::kRight, 0, kYes, true, L"C:\\Src\\a.txt\r\nC:\\Src\\b.txt\r\n"},
      {{}, ui::mouse::kRight, 0, kYes, true, L""},
      {two, ui::mouse::kRight, 0, kNo, true, std::nullopt},
      {two, ui::mouse::kRight, ui::shift::kCtrl, kYes, false, std::nullopt},
      {two, ui::mouse::kRight, ui::shift::kShift, kYes, false, std::nullopt},
      {two, ui::mouse::kLeft, 0, kYes, false, std::nullopt},
  };
  for (const Case& c : cases) {
    FileList l(c.files);
    l.t.dialogs.answers = {c.answer};
    l.form.ListBox.userMouseDown(c.button, c.shift, 10, 10);
    EXPECT_EQ(!l.t.dialogs.shown.empty(), c.asked);
    if (c.clipboard) {
      EXPECT_EQ(l.t.clipboard.textContent, c.clipboard);
      EXPECT_FALSE(l.t.clipboard.files.has_value());  // cleared first
    } else {
      EXPECT_TRUE(l.t.clipboard.files.has_value());
    }
    EXPECT_EQ(l.t.clipboard.opens, l.t.clipboard.closes);
  }
}

}  // namespace
