#include <gtest/gtest.h>

#include <cwchar>
#include <set>

#include "app/Failure.h"
#include "app/Form1.h"
#include "save/SafeSave.h"
#include "support/Fakes.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;

class SaveTest : public ::testing::Test {
 protected:
  SaveTest() {
    t.fileSystem.addDirectory(L"C:\\Data\\Shots");
    t.process.currentDir = L"C:\\Data\\Shots";
  }
  void startWithText(const std::wstring& text, bool rtf = false) {
    t.clipboard.formats = {ClipFormat::Text};
    if (rtf)
      t.clipboard.formats.insert(ClipFormat::Rtf);
    t.clipboard.textContent = text;
    form.load();
  }
  void startWithBitmap() {
    t.clipboard.formats = {ClipFormat::Bitmap};
    t.clipboard.picture = std::make_shared<fake::FakePicture>(64, 48, 0xB17);
    form.load();
  }
  template <class F>
  std::optional<int> run(F action) {
    return fake::exitStatusOf(action);
  }
  fake::TestPlatform t;
  Form1 form{t.platform};
};

TEST_F(SaveTest, TextFileBytes) {
  struct Case {
    const char* what;
    std::wstring text;
    std::string bytes;
  };
  const Case cases[] = {
      {"plain", L"abc", "abc\r\n"},
      {"ends in CR LF", L"abc\r\n", "abc\r\n\r\n"},
      {"Latin-1 and euro fit the code page", L"\u00e4\u20ac", "\xE4\x80\r\n"},
      {"Greek does not: UTF-8 with BOM", L"\u03b1\u03b2", "\xEF\xBB\xBF\xCE\xB1\xCE\xB2\r\n"},
      {"empty", L"", "\r\n"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = {ClipFormat::Text};
    tp.clipboard.textContent = c.text;
    Form1 f(tp.platform);
    f.load();
    const std::optional<int> status = fake::exitStatusOf([&] { f.SaveTxtBtn_Click(); });
    EXPECT_EQ(status, platform::exitcode::kSaved) << c.what;
    EXPECT_EQ(tp.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Text.TXT"), c.bytes) << c.what;
    EXPECT_EQ(tp.process.beeps, 1) << c.what;
  }
}

TEST_F(SaveTest, DeclinedOverwriteKeepsFileAndWindow) {
  t.fileSystem.addFile(L"C:\\Data\\Shots\\Shots_Text.TXT", "old");
  startWithText(L"new");
  t.dialogs.answers = {platform::answer::kNo};
  EXPECT_EQ(run([&] { form.SaveTxtBtn_Click(); }), std::nullopt);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text,
            L"File already exists:\r\rC:\\Data\\Shots\\Shots_Text.TXT\r\rOverwrite?");
  EXPECT_EQ(t.dialogs.shown[0].title, L"Overwrite file?");
  EXPECT_EQ(t.dialogs.shown[0].style, platform::box::kYesNoQuestion);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Text.TXT"), "old");
  EXPECT_TRUE(t.process.started.empty());
  EXPECT_EQ(form.FNText.text(), L"Shots_Text.TXT");
  EXPECT_EQ(form.ClipText.text(), L"new");
}

enum class Saver { Text, Rtf, Picture };

// Starts a window in the saver's mode over a fresh platform; the rich-text box gets a window
// side that writes a known document.
struct SaverRun {
  explicit SaverRun(Saver saver) : saver(saver) {
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    if (saver == Saver::Picture) {
      tp.clipboard.formats = {ClipFormat::Bitmap};
      tp.clipboard.picture = std::make_shared<fake::FakePicture>(64, 48, 0xB17);
    } else {
      tp.clipboard.formats = {ClipFormat::Text};
      if (saver == Saver::Rtf)
        tp.clipboard.formats.insert(ClipFormat::Rtf);
      tp.clipboard.textContent = L"new";
    }
    form.RichText.attachRichPeer(&rich);
    form.load();
  }
  std::wstring target() const { return form.Path.text() + form.FNText.text(); }
  std::optional<int> save() {
    return fake::exitStatusOf([&] {
      if (saver == Saver::Picture)
        form.SavePictureBtn_Click();
      else
        form.SaveTxtBtn_Click();
    });
  }
  std::string savedBytes() const {
    switch (saver) {
      case Saver::Text:
        return "new\r\n";
      case Saver::Rtf:
        return *rich.document;
      case Saver::Picture:
        return fake::FakeGdiplus::kJpeg;
    }
    return "";
  }
  Saver saver;
  fake::TestPlatform tp;
  fake::FakeRichPeer rich;
  Form1 form{tp.platform};
};

// Every saver takes one road: the new content goes to a file of its own next to the target
// (never over a file someone else has), is flushed, takes the old file's attributes and then
// replaces it. A hidden or system file is asked about like any other.
TEST(SafeSaveTest, EverySaverReplacesThroughAFlushedTemporaryOfItsOwn) {
  using platform::attr::kArchive;
  using platform::attr::kHidden;
  using platform::attr::kSystem;
  for (const Saver saver : {Saver::Text, Saver::Rtf, Saver::Picture}) {
    for (const std::uint32_t attributes : {kArchive, kHidden, kHidden | kSystem}) {
      SCOPED_TRACE(testing::Message() << "saver " << int(saver) << ", attributes " << attributes);
      SaverRun r(saver);
      const std::wstring target = r.target();
      r.tp.fileSystem.addFile(target, "old", attributes);
      // Files of the user that look like a save's temporary.
      r.tp.fileSystem.addFile(L"C:\\Data\\Shots\\~brimlo-0000.tmp", "mine");
      r.tp.fileSystem.addFile(target + L".brimlo~", "mine too");
      const auto before = r.tp.fileSystem.allPaths();
      r.tp.dialogs.answers = {platform::answer::kYes};
      EXPECT_EQ(r.save(), platform::exitcode::kSaved);
      ASSERT_EQ(r.tp.dialogs.shown.size(), 1u);
      EXPECT_EQ(r.tp.dialogs.shown[0].title, L"Overwrite file?");
      EXPECT_EQ(r.tp.fileSystem.contents(target), r.savedBytes());
      EXPECT_EQ(r.tp.fileSystem.attributes(target).value_or(0) & (kHidden | kSystem),
                attributes & (kHidden | kSystem));
      EXPECT_EQ(r.tp.fileSystem.contents(L"C:\\Data\\Shots\\~brimlo-0000.tmp"), "mine");
      EXPECT_EQ(r.tp.fileSystem.contents(target + L".brimlo~"), "mine too");
      EXPECT_EQ(r.tp.fileSystem.allPaths(), before);
      EXPECT_EQ(r.tp.fileSystem.unflushedReplaces, 0);
    }
  }
}

// The target's own length is the only limit: a name of 255 characters, and a short name at the
// end of the longest ordinary path, are saved.
TEST(SafeSaveTest, AnyNameTheDirectoryCanHoldIsSaved) {
  const std::wstring longName = std::wstring(251, L'n') + L".TXT";
  std::wstring deep = L"C:\\";
  while (deep.size() < 250)
    deep += L"deep\\";
  const std::wstring shortAtTheEnd = std::wstring(259 - deep.size() - 4, L's') + L".TXT";
  for (const auto& [directory, name] :
       {std::pair{std::wstring(L"C:\\"), longName}, std::pair{deep, shortAtTheEnd}}) {
    SaverRun r(Saver::Text);
    r.tp.fileSystem.addDirectory(directory);
    r.form.Path.setText(directory);
    r.form.FNText.setText(name);
    ASSERT_LE((directory + name).size(), 259u);
    EXPECT_EQ(r.save(), platform::exitcode::kSaved) << text::toUtf8(directory + name);
    EXPECT_EQ(r.tp.fileSystem.contents(directory + name), "new\r\n");
  }
}

TEST_F(SaveTest, FailedSaveIsReportedLosesNothingAndKeepsTheWindow) {
  struct Case {
    const char* what;
    Saver saver;
    std::wstring path, name;
    bool readOnlyOld, locked;
    std::uint32_t writeFault;
    std::wstring reason;  // part of the message
  };
  const std::wstring shots = L"C:\\Data\\Shots\\";
  const Case cases[] = {
      {"missing directory", Saver::Text, L"C:\\NoSuchDir\\", L"a.TXT", false, false, 0, L"error 3"},
      {"invalid name", Saver::Text, shots, L"a?b.TXT", false, false, 0, L"error 123"},
      {"target is a directory", Saver::Text, L"C:\\Data\\", L"Shots", false, false, 0, L"error 5"},
      {"empty name and directory", Saver::Text, L"", L"", false, false, 0, L"error 123"},
      {"read-only old file", Saver::Text, shots, L"old.TXT", true, false, 0, L"error 5"},
      {"old file held open", Saver::Text, shots, L"old.TXT", false, true, 0, L"error 32"},
      {"full disk, text", Saver::Text, shots, L"old.TXT", false, false, 112, L"error 112"},
      {"full disk, RTF", Saver::Rtf, shots, L"old.TXT", false, false, 112, L"error 112"},
      {"full disk, picture", Saver::Picture, shots, L"old.TXT", false, false, 112, L"error 112"},
      {"name too long, picture", Saver::Picture, shots, std::wstring(256, L'p'), false, false, 0,
       L"error 206"},
      {"read-only old file, picture", Saver::Picture, shots, L"old.TXT", true, false, 0,
       L"error 5"},
  };
  for (const Case& c : cases) {
    SaverRun r(c.saver);
    fake::TestPlatform& tp = r.tp;
    tp.fileSystem.addFile(L"C:\\Data\\Shots\\old.TXT", "old bytes",
                          c.readOnlyOld ? platform::attr::kReadOnly : platform::attr::kArchive);
    if (c.locked)
      tp.fileSystem.locked.insert(fake::FakeFileSystem::key(L"C:\\Data\\Shots\\old.TXT"));
    if (c.writeFault)
      tp.fileSystem.writeFault = [&](const std::wstring&) { return c.writeFault; };
    Form1& f = r.form;
    f.Path.setText(c.path);
    f.FNText.setText(c.name);
    f.OpenFileCheck.setValue(1);
    const auto before = tp.fileSystem.allPaths();
    tp.dialogs.answers = {platform::answer::kYes};  // overwrite, where asked
    EXPECT_EQ(r.save(), std::nullopt) << c.what;
    ASSERT_FALSE(tp.dialogs.shown.empty()) << c.what;
    EXPECT_EQ(tp.dialogs.shown.back().style, platform::box::kCritical) << c.what;
    EXPECT_EQ(tp.dialogs.shown.back().title, L"Brimlo") << c.what;
    EXPECT_EQ(tp.dialogs.shown.back().text.rfind(L"The file was not saved", 0), 0u) << c.what;
    EXPECT_NE(tp.dialogs.shown.back().text.find(c.reason), std::wstring::npos) << c.what;
    EXPECT_EQ(tp.fileSystem.allPaths(), before) << c.what;
    EXPECT_EQ(tp.fileSystem.contents(L"C:\\Data\\Shots\\old.TXT"), "old bytes") << c.what;
    EXPECT_EQ(tp.process.beeps, 0) << c.what;
    EXPECT_TRUE(tp.process.started.empty()) << c.what;
    EXPECT_TRUE(f.visible()) << c.what;
  }
}

// The rich-text box could not write its document whole: nothing is saved and the user is told.
TEST(SafeSaveTest, AnRtfDocumentThatCouldNotBeWrittenIsNotSaved) {
  SaverRun r(Saver::Rtf);
  r.rich.document.reset();
  const auto before = r.tp.fileSystem.allPaths();
  EXPECT_EQ(r.save(), std::nullopt);
  ASSERT_EQ(r.tp.dialogs.shown.size(), 1u);
  EXPECT_NE(r.tp.dialogs.shown[0].text.find(L"could not be written as RTF"), std::wstring::npos);
  EXPECT_EQ(r.tp.fileSystem.allPaths(), before);
}

// A write that throws (out of memory) leaves no temporary behind on its way out; where the
// window's code meets it, the user is told and the program ends with status 1.
TEST(SafeSaveTest, AnExceptionWhileWritingRemovesTheTemporaryAndEndsTheProgram) {
  SaverRun r(Saver::Text);
  const auto before = r.tp.fileSystem.allPaths();
  r.tp.fileSystem.writeFault = [](const std::wstring& path) -> std::uint32_t {
    if (path.find(L"~brimlo-") != std::wstring::npos)
      throw std::bad_alloc();
    return 0;
  };
  const auto status = fake::exitStatusOf([&] {
    try {
      r.form.SaveTxtBtn_Click();
    } catch (const std::bad_alloc&) {
      EndAfterFailure(r.tp.platform, std::current_exception());
    }
  });
  EXPECT_EQ(status, platform::exitcode::kOther);
  EXPECT_EQ(r.tp.fileSystem.allPaths(), before);
  ASSERT_EQ(r.tp.dialogs.shown.size(), 1u);
  EXPECT_EQ(r.tp.dialogs.shown[0].text, L"Brimlo has to stop: there is not enough memory.");
  EXPECT_EQ(r.tp.process.beeps, 0);
}

TEST_F(SaveTest, OpenStepCommandLines) {
  struct Case {
    const char* what;
    std::wstring name;
    std::wstring dir;
    bool rtf;
    std::wstring command;
  };
  const Case cases[] = {
      {"text with its program", L"a.txt", L"C:\\Data\\Shots\\", false,
       L"C:\\Windows\\notepad.exe C:\\Data\\Shots\\a.txt"},
      {"blank in the path is quoted", L"my notes.txt", L"C:\\Data\\Shots\\", false,
       L"C:\\Windows\\notepad.exe \"C:\\Data\\Shots\\my notes.txt\""},
      {"no associated program", L"a.log", L"C:\\Data\\Shots\\", false, L"C:\\Data\\Shots\\a.log"},
      {".URL goes to Explorer with two blanks", L"link.URL", L"C:\\Data\\Shots\\", false,
       L"Explorer.exe  C:\\Data\\Shots\\link.URL"},
      {".Rtf goes to Explorer", L"doc.Rtf", L"C:\\Data\\Shots\\", true,
       L"Explorer.exe  C:\\Data\\Shots\\doc.Rtf"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = {ClipFormat::Text};
    tp.clipboard.textContent = L"x";
    Form1 f(tp.platform);
    f.load();
    f.FNText.setText(c.name);
    f.OpenFileCheck.setValue(1);
    try {
      f.SaveTxtBtn_Click();
    } catch (const fake::ProgramEnded&) {
    }
    ASSERT_EQ(tp.process.started.size(), 1u) << c.what;
    EXPECT_EQ(tp.process.started[0].commandLine, c.command) << c.what;
    EXPECT_EQ(tp.process.started[0].showState, 1) << c.what;
  }
}

TEST_F(SaveTest, ShortcutFileHoldsTheTwoLines) {
  startWithText(L"https://example.org/a");
  form.FNText.setText(L"12-00-00_Text.TXT");
  ASSERT_TRUE(form.SaveURLBtn.visible());
  EXPECT_EQ(run([&] { form.SaveURLBtn.userClick(); }), platform::exitcode::kSaved);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\12-00-00_Text.url"),
            "[InternetShortcut]\r\nURL=https://example.org/a\r\n");
}

TEST_F(SaveTest, DeclinedShortcutOverwriteHidesTheButtonAndKeepsTheTexts) {
  t.fileSystem.addFile(L"C:\\Data\\Shots\\Shots_Text.url", "old");
  startWithText(L"www.example.org");
  t.dialogs.answers = {platform::answer::kNo};
  EXPECT_EQ(run([&] { form.SaveURLBtn_Click(); }), std::nullopt);
  EXPECT_FALSE(form.SaveURLBtn.visible());
  EXPECT_EQ(form.FNText.text(), L"Shots_Text.url");
  EXPECT_EQ(form.ClipText.text(), L"[InternetShortcut]\r\nURL=www.example.org");
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Text.url"), "old");
}

TEST_F(SaveTest, NeitherPreviewShownGivesError42AndEnds) {
  startWithText(L"x");
  form.ClipText.setVisible(false);
  EXPECT_EQ(run([&] { form.SaveTxtBtn_Click(); }), platform::exitcode::kOther);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, L"Error 42 - saving TXT-File");
  EXPECT_EQ(t.dialogs.shown[0].style, platform::box::kOkOnly);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Text.TXT"), std::nullopt);
}

TEST_F(SaveTest, ConvertFileListToText) {
  t.clipboard.formats = {ClipFormat::HDrop};
  t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt"};
  t.settings.values[L"Brimlo\\Settings\\AddDateTxt"] = L"1";
  form.load();
  int changes = 0;
  form.ClipText.onChange = [&] { ++changes; };
  form.ConvertTxtBtn.userClick();
  EXPECT_EQ(form.ClipText.text(), L"C:\\a.txt\r\nC:\\b.txt\r\n");
  EXPECT_EQ(changes, 1);  // built in one pass
  EXPECT_TRUE(form.ClipText.visible());
  EXPECT_FALSE(form.ListBox.visible());
  EXPECT_FALSE(form.ConvertTxtBtn.visible());
  EXPECT_EQ(form.caption(), std::wstring(Form1::kVersionTitle) + L" - Save Clipboard Text (.txt)");
  EXPECT_EQ(form.Picture1.image(), ui::ImageId::ModeText);
  // The converted list gets a name and can be saved as text.
  EXPECT_TRUE(form.FNText.visible());
  EXPECT_EQ(form.FNText.text(), L"26.12.06_Shots_Text.TXT");
  EXPECT_TRUE(form.SaveTxtBtn.visible());
  EXPECT_FALSE(form.SaveFilesBtn.visible());
  EXPECT_EQ(run([&] { form.SaveTxtBtn_Click(); }), platform::exitcode::kSaved);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\26.12.06_Shots_Text.TXT"),
            "C:\\a.txt\r\nC:\\b.txt\r\n\r\n");
}

TEST_F(SaveTest, ConvertRichTextRenamesTheExtension) {
  startWithText(L"x", true);
  EXPECT_EQ(form.FNText.text(), L"Shots_Text.RTF");
  form.ConvertTxtBtn_Click();
  EXPECT_EQ(form.FNText.text(), L"Shots_Text.TXT");
  EXPECT_TRUE(form.ClipText.visible());
  EXPECT_FALSE(form.RichText.visible());
  EXPECT_EQ(form.SaveTxtBtn.caption(), L"&Save as Text");
}

TEST_F(SaveTest, PictureIsEncodedToATemporaryFileAndSwappedIn) {
  t.fileSystem.addFile(L"C:\\Data\\Shots\\Shots_Screenshot.JPG", "old jpeg");
  startWithBitmap();
  t.dialogs.answers = {platform::answer::kYes};
  form.OpenFileCheck.setValue(1);
  EXPECT_EQ(run([&] { form.SavePictureBtn_Click(); }), platform::exitcode::kSaved);
  EXPECT_EQ(t.gdiplus.bitmapHandle, 0xB17u);
  EXPECT_EQ(t.gdiplus.quality, 200u);
  EXPECT_NE(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Screenshot.JPG"), "old jpeg");
  EXPECT_EQ(t.process.beeps, 1);
  ASSERT_EQ(t.process.started.size(), 1u);
  EXPECT_EQ(t.process.started[0].commandLine,
            L"explorer.exe C:\\Data\\Shots\\Shots_Screenshot.JPG");
  // The picture saver does not store the window position.
  EXPECT_EQ(t.settings.values.count(L"Brimlo\\Form1\\Pos\\Left"), 0u);
}

TEST_F(SaveTest, FailedPictureSaveKeepsTheOldFileAndSaysWhy) {
  t.fileSystem.addFile(L"C:\\Data\\Shots\\Shots_Screenshot.JPG", "old jpeg");
  startWithBitmap();
  t.gdiplus.saveStatus = 7;
  t.dialogs.answers = {platform::answer::kYes};
  const auto before = t.fileSystem.allPaths();
  EXPECT_EQ(run([&] { form.SavePictureBtn_Click(); }), std::nullopt);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Screenshot.JPG"), "old jpeg");
  EXPECT_EQ(t.fileSystem.allPaths(), before);
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_NE(t.dialogs.shown[1].text.find(L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:7"),
            std::wstring::npos);
  EXPECT_EQ(t.process.beeps, 0);
}

// Another program holds the clipboard open while the refresh reads it: whatever the preview held
// before must not be saved as the clipboard's content, in a batch run or from the window.
TEST_F(SaveTest, ContentThatCouldNotBeReadIsNeverSaved) {
  struct Case {
    const char* what;
    std::set<ClipFormat> formats;
    const wchar_t* commandLine;
    const wchar_t* heading;
    void (Form1::*save)();
  };
  const Case cases[] = {
      {"text, batch", {ClipFormat::Text}, L"-b Held", L"The file was not saved:", nullptr},
      {"RTF, batch",
       {ClipFormat::Text, ClipFormat::Rtf},
       L"-b Held",
       L"The file was not saved:",
       nullptr},
      {"picture, batch", {ClipFormat::Bitmap}, L"-b Held", L"The file was not saved:", nullptr},
      {"text, window",
       {ClipFormat::Text},
       L"",
       L"The file was not saved:",
       &Form1::SaveTxtBtn_Click},
      {"picture, window",
       {ClipFormat::Bitmap},
       L"",
       L"The file was not saved:",
       &Form1::SavePictureBtn_Click},
      {"file list, window",
       {ClipFormat::HDrop},
       L"",
       L"No file was copied to:",
       &Form1::SaveFilesBtn_Click},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.process.currentDir = L"C:\\Data\\Shots";
    tp.process.commandLineText = c.commandLine;
    tp.clipboard.formats = c.formats;
    tp.clipboard.textContent = L"precious";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(8, 8);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\a.txt"};
    tp.clipboard.heldByOther = true;
    Form1 f(tp.platform);
    const auto before = tp.fileSystem.allPaths();
    EXPECT_EQ(fake::exitStatusOf([&] { f.load(); }), std::nullopt) << c.what;
    if (c.save) {
      EXPECT_EQ(fake::exitStatusOf([&] { (f.*c.save)(); }), std::nullopt) << c.what;
    }
    EXPECT_TRUE(f.visible()) << c.what;
    ASSERT_EQ(tp.dialogs.shown.size(), 1u) << c.what;
    const std::wstring& said = tp.dialogs.shown[0].text;
    EXPECT_EQ(said.rfind(c.heading, 0), 0u) << c.what;
    EXPECT_NE(said.find(L"The clipboard could not be read"), std::wstring::npos) << c.what;
    EXPECT_EQ(tp.fileSystem.allPaths(), before) << c.what;
    EXPECT_EQ(tp.process.beeps, 0) << c.what;
  }
}

TEST_F(SaveTest, TheClipboardReadAgainOnF5IsSaved) {
  t.clipboard.heldByOther = true;
  startWithText(L"precious");
  EXPECT_EQ(run([&] { form.SaveTxtBtn_Click(); }), std::nullopt);
  t.clipboard.heldByOther = false;
  int f5 = 116;
  form.Form_KeyDown(f5, 0);
  EXPECT_EQ(run([&] { form.SaveTxtBtn_Click(); }), platform::exitcode::kSaved);
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Shots_Text.TXT"), "precious\r\n");
}

TEST(CheckTargetTest, DeviceNamesAreRefusedWhateverFollows) {
  struct Case {
    const wchar_t* target;
    bool refused;
  };
  const Case cases[] = {
      {L"C:\\Data\\CON.TXT", true},      {L"C:\\Data\\con", true},
      {L"C:\\Data\\nul .txt", true},     {L"C:\\Data\\COM1.JPG", true},
      {L"C:\\Data\\lpt9.a.b", true},     {L"C:\\Data\\Aux", true},
      {L"D:/x/prn.rtf", true},           {L"CONOUT$.TXT", true},
      {L"C:\\Data\\CONsole.TXT", false}, {L"C:\\Data\\COM10.TXT", false},
      {L"C:\\Data\\my CON.TXT", false},  {L"C:\\CON\\notes.TXT", false},
      {L"C:\\Data\\COMX.TXT", false},
  };
  for (const Case& c : cases) {
    fake::FakeFileSystem fs;
    const std::uint32_t error = SafeSave::CheckTarget(fs, c.target);
    EXPECT_EQ(error != 0, c.refused) << std::string(c.target, c.target + std::wcslen(c.target));
  }
}

TEST_F(SaveTest, BatchRunSavesWithoutShowingTheWindow) {
  t.process.commandLineText = L"-B Notes";
  t.clipboard.formats = {ClipFormat::Text};
  t.clipboard.textContent = L"abc";
  EXPECT_EQ(run([&] { form.load(); }), platform::exitcode::kSaved);
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(t.fileSystem.contents(L"C:\\Data\\Shots\\Notes.TXT"), "abc\r\n");
  EXPECT_EQ(t.clipboard.copies, 0);     // saved from the clipboard's own text
  EXPECT_TRUE(t.window.calls.empty());  // batch mode never touches the always-on-top state
}

TEST_F(SaveTest, BatchRunThatCannotSaveTurnsInteractive) {
  t.process.commandLineText = L"-b C:\\NoSuchDir\\x";
  t.clipboard.formats = {ClipFormat::Text};
  t.clipboard.textContent = L"abc";
  EXPECT_EQ(run([&] { form.load(); }), std::nullopt);
  EXPECT_TRUE(form.visible());
  EXPECT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(form.ClipText.text(), L"abc");  // the window shows the text that was not saved
}

// A clipboard that opens but whose picture or text cannot be read is not blamed on another
// program: the message says what is known.
TEST(UnreadContentTest, TheMessageSaysWhatCouldNotBeRead) {
  struct Case {
    ClipFormat format;
    const wchar_t* reason;
  };
  const Case cases[] = {
      {ClipFormat::Bitmap, L"The picture on the clipboard could not be read."},
      {ClipFormat::Text, L"The text on the clipboard could not be read."},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.process.commandLineText = L"-b Held";
    tp.clipboard.formats = {c.format};  // offered, but nothing behind it
    Form1 f(tp.platform);
    EXPECT_EQ(fake::exitStatusOf([&] { f.load(); }), std::nullopt);
    ASSERT_EQ(tp.dialogs.shown.size(), 1u);
    EXPECT_NE(tp.dialogs.shown[0].text.find(c.reason), std::wstring::npos)
        << text::toUtf8(tp.dialogs.shown[0].text);
  }
}

}  // namespace
