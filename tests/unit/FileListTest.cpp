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

TEST_F(FileListTest, ShellFailuresAreReportedAndTheLoopGoesOn) {
  start({three[0], three[1]});
  t.shell.copyResults = {platform::FileCopyResult{1223, false, 1223},
                         platform::FileCopyResult{0, true, 0}};
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(t.dialogs.shown[0].text, L"1223\rFile: C:\\Src\\b.txt");
  EXPECT_EQ(t.dialogs.shown[1].text, L"Operation Failed\rC:\\Src\\a.txt");
}

TEST_F(FileListTest, AnEntryTheFileSystemRejectsIsSkipped) {
  start({three[0], L"C:\\Src\\bad?name.txt"});
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  EXPECT_EQ(copiedSources(), (std::vector<std::wstring>{three[0]}));
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

TEST_F(FileListTest, AnEmptyListEndsOnTheFirstClick) {
  start({});
  EXPECT_EQ(copy(), platform::exitcode::kSaved);
  EXPECT_TRUE(t.shell.copies.empty());
}

}  // namespace
