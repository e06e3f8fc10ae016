#include <gtest/gtest.h>

#include "app/Form1.h"
#include "save/Files.h"
#include "support/Fakes.h"

namespace {

using platform::ClipFormat;
using platform::answer::kCancel;
using platform::answer::kNo;
using platform::answer::kYes;

class FileListTest : public ::testing::Test {
 protected:
  FileListTest() {
    t.fileSystem.addDirectory(L"C:\\Data\\Shots");
    t.fileSystem.addDirectory(L"C:\\Target");
    for (const wchar_t* n : {L"C:\\Src\\a.txt", L"C:\\Src\\b.txt", L"C:\\Src\\c.txt"}) {
      t.fileSystem.addFile(n, "new");
    }
  }
  void start(std::vector<std::wstring> files) {
    t.clipboard.formats = {ClipFormat::HDrop};
    t.clipboard.files = std::move(files);
    form.load();
    form.Path.setText(L"C:\\Target\\");
  }
  std::optional<int> copy() {
    return fake::exitStatusOf([&] { form.SaveFilesBtn.userClick(); });
  }
  std::vector<std::wstring> copiedSources() const {
    std::vector<std::wstring> out;
    for (const auto& c : t.shell.copies)
      out.push_back(c.source);
    return out;
  }
  fake::TestPlatform t;
  Form1 form{t.platform};
  const std::vector<std::wstring> three{L"C:\\Src\\a.txt", L"C:\\Src\\b.txt", L"C:\\Src\\c.txt"};
};

TEST_F(FileListTest, CopiesFromTheLastEntryToTheFirstWithProgressCaptions) {
  start(three);
  std::vector<std::wstring> captions;
  t.process.onPendingMessages = [&] { captions.push_back(form.caption()); };
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  EXPECT_EQ(copiedSources(), (std::vector<std::wstring>{three[2], three[1], three[0]}));
  const std::wstring base = std::wstring(Form1::kVersionTitle) + L" - Copy File(s):  ";
  // Each file: once before the shell call, once after the entry is removed.
  EXPECT_EQ(captions, (std::vector<std::wstring>{base + L"1/3", base + L"1/3", base + L"2/3",
                                                 base + L"2/3", base + L"3/3", base + L"3/3"}));
  EXPECT_EQ(form.ListBox.listCount(), 0);
  const platform::FileCopy& first = t.shell.copies[0];
  EXPECT_EQ(first.destination, L"C:\\Target\\c.txt");
  EXPECT_EQ(first.flags, 0x310u);
  EXPECT_EQ(first.progressTitle, L"Copy c.txt. to: C:\\Target\\ ");
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Target\\a.txt"), "new");
}

TEST_F(FileListTest, OverwriteQuestionsAndTheAllowAllAnswer) {
  struct Case {
    const char* what;
    std::deque<int> answers;
    std::vector<std::wstring> copied;
    int boxes;
    std::optional<int> status;
    int left;
  };
  // b.txt and c.txt exist in the target; a.txt does not.
  const Case cases[] = {
      {"yes, allow all yes",
       {kYes, kYes},
       {L"C:\\Src\\c.txt", L"C:\\Src\\b.txt", L"C:\\Src\\a.txt"},
       2,
       platform::exitcode::kSaved,
       0},
      {"yes, allow all no: asked again, allow-all not again",
       {kYes, kNo, kYes},
       {L"C:\\Src\\c.txt", L"C:\\Src\\b.txt", L"C:\\Src\\a.txt"},
       3,
       platform::exitcode::kSaved,
       0},
      {"no skips but removes the entry",
       {kNo, kNo},
       {L"C:\\Src\\a.txt"},
       2,
       platform::exitcode::kSaved,
       0},
      {"cancel at the second keeps two entries", {kNo, kCancel}, {}, 2, std::nullopt, 2},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.fileSystem.addFile(L"C:\\Target\\b.txt", "old");
    tp.fileSystem.addFile(L"C:\\Target\\c.txt", "old");
    for (const auto& n : three)
      tp.fileSystem.addFile(n, "new");
    tp.clipboard.formats = {ClipFormat::HDrop};
    tp.clipboard.files = three;
    Form1 f(tp.platform);
    f.load();
    f.Path.setText(L"C:\\Target\\");
    tp.dialogs.answers = c.answers;
    const std::optional<int> status = fake::exitStatusOf([&] { f.SaveFilesBtn_Click(); });
    std::vector<std::wstring> copied;
    for (const auto& cp : tp.shell.copies)
      copied.push_back(cp.source);
    EXPECT_EQ(copied, c.copied) << c.what;
    EXPECT_EQ(static_cast<int>(tp.dialogs.shown.size()), c.boxes) << c.what;
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_EQ(f.ListBox.listCount(), c.left) << c.what;
    ASSERT_FALSE(tp.dialogs.shown.empty());
    EXPECT_EQ(tp.dialogs.shown[0].text,
              L"File already exists!\r\rC:\\Target\\c.txt\r Overwrit it?");
    EXPECT_EQ(tp.dialogs.shown[0].style, platform::box::kYesNoCancelQuestion);
    if (c.boxes > 1 && c.answers[0] == kYes) {
      EXPECT_EQ(tp.dialogs.shown[1].text, L"Allow for all files?") << c.what;
      EXPECT_EQ(tp.dialogs.shown[1].title, L"Allow all?") << c.what;
    }
  }
}

// 0 only when at least one file was copied and every file that was to be copied arrived.
TEST_F(FileListTest, ExitStatusSaysWhetherEveryFileArrived) {
  struct Case {
    const char* what;
    std::vector<std::wstring> files;
    std::deque<int> answers;
    std::vector<platform::FileCopyResult> shell;
    int status;
    std::vector<std::wstring> said;  // the start of each box's text
  };
  // b.txt exists in the target.
  const Case cases[] = {
      {"all copied", three, {kYes, kNo}, {}, platform::exitcode::kSaved, {L"File", L"Allow"}},
      {"empty list", {}, {}, {}, platform::exitcode::kOther, {}},
      {"the only file answered No", {three[1]}, {kNo}, {}, platform::exitcode::kOther, {L"File"}},
      {"one answered No, the rest copied", three, {kNo}, {}, platform::exitcode::kSaved, {L"File"}},
      {"the shell fails on one",
       {three[0], three[2]},
       {},
       {{1223, false}},
       platform::exitcode::kOther,
       {L"error 1223\rFile: C:\\Src\\c.txt"}},
      {"the shell reports its own result",
       {three[0], three[2]},
       {},
       {{0x7C, false}},
       platform::exitcode::kOther,
       {L"The path of the source or the destination is invalid.\rFile: C:\\Src\\c.txt"}},
      {"cancelled in the progress window",
       {three[0]},
       {},
       {{0, true}},
       platform::exitcode::kOther,
       {L"Operation Failed\rC:\\Src\\a.txt"}},
      {"a source that is gone",
       {L"C:\\Src\\gone.txt", three[0]},
       {},
       {},
       platform::exitcode::kOther,
       {L"An unknown error occurred"}},
      {"a name the file system rejects",
       {three[0], L"C:\\Src\\bad?name.txt"},
       {},
       {},
       platform::exitcode::kOther,
       {L"The file was not copied:\r\rC:\\Target\\bad?name.txt"}},
      {"a file copied onto itself",
       {L"C:\\Target\\b.txt"},
       {kYes, kNo},
       {},
       platform::exitcode::kOther,
       {L"File", L"Allow", L"The source and destination files are the same file."}},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.fileSystem.addFile(L"C:\\Target\\b.txt", "old");
    for (const auto& n : three)
      tp.fileSystem.addFile(n, "new");
    tp.clipboard.formats = {ClipFormat::HDrop};
    tp.clipboard.files = c.files;
    tp.shell.copyResults = c.shell;
    Form1 f(tp.platform);
    f.load();
    f.Path.setText(L"C:\\Target\\");
    tp.dialogs.answers = c.answers;
    EXPECT_EQ(fake::exitStatusOf([&] { f.SaveFilesBtn_Click(); }), c.status) << c.what;
    ASSERT_EQ(tp.dialogs.shown.size(), c.said.size()) << c.what;
    for (std::size_t i = 0; i < c.said.size(); ++i)
      EXPECT_EQ(tp.dialogs.shown[i].text.rfind(c.said[i], 0), 0u) << c.what << ": box " << i;
    EXPECT_EQ(f.ListBox.listCount(), 0) << c.what;
  }
}

// An existing file is replaced only by a complete, flushed copy: a copy that fails or is
// cancelled, or a file that cannot be replaced, leaves the old file as it was and no temporary.
TEST_F(FileListTest, AnExistingFileIsReplacedOnlyByACompleteCopy) {
  struct Case {
    const char* what;
    std::vector<platform::FileCopyResult> shell;
    std::uint32_t oldAttributes;
    const char* expected;
  };
  using platform::attr::kArchive;
  using platform::attr::kHidden;
  const Case cases[] = {
      {"copied", {}, kArchive, "new"},
      {"a hidden file is asked about and replaced", {}, kHidden, "new"},
      {"the shell fails (a full disk)", {{112, false}}, kArchive, "old"},
      {"cancelled", {{0, true}}, kArchive, "old"},
      {"read-only", {}, platform::attr::kReadOnly, "old"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.fileSystem.addFile(L"C:\\Target\\a.txt", "old", c.oldAttributes);
    tp.fileSystem.addFile(three[0], "new");
    tp.clipboard.formats = {ClipFormat::HDrop};
    tp.clipboard.files = std::vector<std::wstring>{three[0]};
    tp.shell.copyResults = c.shell;
    Form1 f(tp.platform);
    f.load();
    f.Path.setText(L"C:\\Target");
    const auto before = tp.fileSystem.allPaths();
    tp.dialogs.answers = {kYes, kNo};
    const auto status = fake::exitStatusOf([&] { f.SaveFilesBtn_Click(); });
    EXPECT_EQ(status, std::string(c.expected) == "new" ? platform::exitcode::kSaved
                                                       : platform::exitcode::kOther)
        << c.what;
    ASSERT_FALSE(tp.dialogs.shown.empty()) << c.what;
    EXPECT_EQ(tp.dialogs.shown[0].title, L"Overwrite?") << c.what;
    ASSERT_EQ(tp.shell.copies.size(), 1u) << c.what;
    EXPECT_NE(tp.shell.copies[0].destination, L"C:\\Target\\a.txt") << c.what;
    EXPECT_EQ(tp.shell.copies[0].progressTitle, L"Copy a.txt. to: C:\\Target\\ ") << c.what;
    EXPECT_EQ(tp.fileSystem.contents(L"C:\\Target\\a.txt"), c.expected) << c.what;
    EXPECT_EQ(tp.fileSystem.allPaths(), before) << c.what;
    EXPECT_EQ(tp.fileSystem.unflushedReplaces, 0) << c.what;
  }
}

// Explorer's "Copy as path" puts the directory in quotes: the files are still looked up and
// asked about in that directory, not skipped.
TEST_F(FileListTest, ADirectoryInQuotesIsWhereTheFilesAreLookedUp) {
  t.fileSystem.addFile(L"C:\\Target\\b.txt", "old");
  start({three[1]});
  form.Path.setText(L"\"C:\\Target\"");
  form.Path_LostFocus();
  t.dialogs.answers = {kYes, kNo};
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  ASSERT_FALSE(t.dialogs.shown.empty());
  EXPECT_EQ(t.dialogs.shown[0].text, L"File already exists!\r\rC:\\Target\\b.txt\r Overwrit it?");
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Target\\b.txt"), "new");
}

// The window takes input between two files. Whatever the user does then, the list the loop
// works through stays as it is, and every file is copied once.
TEST_F(FileListTest, TheListStaysAsItIsWhileTheCopyRuns) {
  start(three);
  bool once = false;
  t.process.onPendingMessages = [&] {
    if (once)
      return;
    once = true;
    form.ListBox.userSelect(0);
    form.ListBox.userDblClick();
    t.clipboard.files = std::vector<std::wstring>{L"C:\\Src\\other.txt"};
    int f5 = 116;
    form.Form_KeyDown(f5, 0);
    form.ConvertTxtBtn.userClick();
    form.SaveFilesBtn.userClick();
    form.Path.setText(L"C:\\Data\\Shots\\");
  };
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  EXPECT_EQ(copiedSources(), (std::vector<std::wstring>{three[2], three[1], three[0]}));
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
    EXPECT_EQ(t.fileSystem.contents(std::wstring(L"C:\\Target\\") + name), "new");
}

// Esc or the exit button during a copy asks whether to stop; Yes stops it after the file being
// copied, keeps what was copied, says how far it got and leaves the rest in the list.
TEST_F(FileListTest, EscStopsALongCopyBetweenTwoFiles) {
  for (const int answer : {kYes, kNo}) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    for (const auto& n : three)
      tp.fileSystem.addFile(n, "new");
    tp.clipboard.formats = {ClipFormat::HDrop};
    tp.clipboard.files = three;
    Form1 f(tp.platform);
    f.load();
    f.Path.setText(L"C:\\Target\\");
    tp.dialogs.answers = {answer};
    bool pressed = false;
    tp.process.onPendingMessages = [&] {
      if (pressed)
        return;
      pressed = true;
      int esc = 27;
      f.Form_KeyPress(esc);
    };
    const auto status = fake::exitStatusOf([&] { f.SaveFilesBtn_Click(); });
    ASSERT_GE(tp.dialogs.shown.size(), 1u);
    EXPECT_EQ(tp.dialogs.shown[0].text, L"Stop copying after this file?");
    if (answer == kNo) {
      EXPECT_EQ(status, platform::exitcode::kSaved);
      EXPECT_EQ(tp.shell.copies.size(), 3u);
      continue;
    }
    EXPECT_EQ(status, std::nullopt);
    EXPECT_EQ(tp.shell.copies.size(), 1u);
    EXPECT_EQ(tp.fileSystem.contents(L"C:\\Target\\c.txt"), "new");
    ASSERT_EQ(tp.dialogs.shown.size(), 2u);
    EXPECT_EQ(tp.dialogs.shown[1].text.rfind(L"Copying stopped: 1 of 3 files copied.", 0), 0u);
    EXPECT_EQ(f.ListBox.items(), (std::vector<std::wstring>{three[0], three[1]}));
    EXPECT_TRUE(f.visible());
  }
}

TEST_F(FileListTest, PreparedDirectoryDropsQuotesAndAddsTheSeparator) {
  struct Case {
    std::wstring in, out;
  };
  const Case cases[] = {{L"C:\\T", L"C:\\T\\"},
                        {L"\"C:\\My T\"", L"C:\\My T\\"},
                        {L"C:\\T\\", L"C:\\T\\"},
                        {L"C:/T/", L"C:/T/\\"},
                        {L"", L"\\"}};
  for (const Case& c : cases)
    EXPECT_EQ(Files::PrepareDirectory(c.in), c.out);
}

TEST_F(FileListTest, DoubleClickRemovesTheSelectedEntryAndTheLastOneEnds) {
  start({three[0], three[1]});
  form.ListBox.userSelect(-1);
  form.ListBox.userDblClick();
  EXPECT_EQ(form.ListBox.listCount(), 2);
  form.ListBox.userSelect(0);
  form.ListBox.userDblClick();
  EXPECT_EQ(form.ListBox.items(), (std::vector<std::wstring>{three[1]}));
  form.ListBox.userSelect(0);
  try {
    form.ListBox.userDblClick();
    FAIL() << "removing the last entry ends the program";
  } catch (const fake::ProgramEnded& e) {
    EXPECT_EQ(e.status, platform::exitcode::kOther);
  }
  EXPECT_EQ(t.settings.values.count(L"Brimlo\\Form1\\Pos\\Left"), 1u);
}

TEST_F(FileListTest, RightClickPutsTheListOnTheClipboard) {
  struct Case {
    int button, shift;
    std::deque<int> answers;
    bool asked;
    std::optional<std::wstring> clipboard;
  };
  const Case cases[] = {
      {ui::mouse::kRight, 0, {kYes}, true, L"C:\\Src\\a.txt\r\nC:\\Src\\b.txt\r\n"},
      {ui::mouse::kRight, 0, {kNo}, true, std::nullopt},
      {ui::mouse::kRight, ui::shift::kCtrl, {kYes}, false, std::nullopt},
      {ui::mouse::kRight, ui::shift::kShift, {kYes}, false, std::nullopt},
      {ui::mouse::kLeft, 0, {kYes}, false, std::nullopt},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = {ClipFormat::HDrop};
    tp.clipboard.files = std::vector<std::wstring>{three[0], three[1]};
    Form1 f(tp.platform);
    f.load();
    tp.dialogs.answers = c.answers;
    f.ListBox.userMouseDown(c.button, c.shift, 10, 10);
    EXPECT_EQ(!tp.dialogs.shown.empty(), c.asked);
    if (c.clipboard) {
      EXPECT_EQ(tp.clipboard.textContent, c.clipboard);
      EXPECT_FALSE(tp.clipboard.files.has_value());  // cleared first
    } else {
      EXPECT_TRUE(tp.clipboard.files.has_value());
    }
    EXPECT_EQ(tp.clipboard.opens, tp.clipboard.closes);
  }
}

TEST_F(FileListTest, RightClickOnAnEmptyListPutsAnEmptyText) {
  start({});
  t.dialogs.answers = {kYes};
  form.ListBox.userMouseDown(ui::mouse::kRight, 0, 1, 1);
  EXPECT_EQ(t.clipboard.textContent, L"");
}

}  // namespace
