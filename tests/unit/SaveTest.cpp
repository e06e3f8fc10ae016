#include <gtest/gtest.h>

#include <cwchar>

#include "app/Failure.h"
#include "save/SafeSave.h"
#include "support/Session.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;
using platform::answer::kNo;
using platform::answer::kYes;
using platform::exitcode::kOther;
using platform::exitcode::kSaved;

const std::wstring kShots = L"C:\\Data\\Shots\\";

// A text is saved in the code page where it fits, else in UTF-8 with a byte order mark; a line
// end follows.
TEST(SaveTest, TextBytes) {
  const std::pair<std::wstring, std::string> cases[] = {
      {L"abc", "abc\r\n"},
      {L"abc\r\n", "abc\r\n\r\n"},
      {L"\u00e4\u20ac", "\xE4\x80\r\n"},  // Latin-1 and the euro fit the code page
      {L"\u03b1\u03b2", "\xEF\xBB\xBF\xCE\xB1\xCE\xB2\r\n"},
      {L"", "\r\n"},
  };
  for (const auto& [text, bytes] : cases) {
    fake::Session s({ClipFormat::Text});
    s.t.clipboard.textContent = text;
    s.start();
    EXPECT_EQ(s.save(), kSaved) << text::toUtf8(text);
    EXPECT_EQ(s.t.fileSystem.contents(kShots + L"Shots_Text.TXT"), bytes);
  }
}

enum class Saver { Text, Rtf, Picture };

// A window in the saver's mode.
struct SaverRun : fake::Session {
  explicit SaverRun(Saver saver)
      : Session(saver == Saver::Picture ? std::set{ClipFormat::Bitmap}
                : saver == Saver::Rtf   ? std::set{ClipFormat::Text, ClipFormat::Rtf}
                                        : std::set{ClipFormat::Text}),
        saver(saver) {
    start();
  }
  std::wstring target() const { return form.Path.text() + form.FNText.text(); }
  std::string savedBytes() const {
    return saver == Saver::Text  ? "text\r\n"
           : saver == Saver::Rtf ? *rich.document
                                 : fake::FakeGdiplus::kJpeg;
  }
  Saver saver;
};

// Every saver takes one road: the new content goes to a file of its own next to the target
// (never over a file someone else has), is flushed, takes the old file's attributes and then
// replaces it. A hidden or system file is asked about like any other.
TEST(SafeSaveTest, EverySaverReplacesThroughAFlushedTemporaryOfItsOwn) {
  using platform::attr::kHidden;
  using platform::attr::kSystem;
  for (const Saver saver : {Saver::Text, Saver::Rtf, Saver::Picture}) {
    for (const std::uint32_t attributes : {platform::attr::kArchive, kHidden, kHidden | kSystem}) {
      SCOPED_TRACE(testing::Message() << "saver " << int(saver) << ", attributes " << attributes);
      SaverRun r(saver);
      fake::FakeFileSystem& fs = r.t.fileSystem;
      const std::wstring target = r.target();
      fs.addFile(target, "old", attributes);
      // Files of the user, or left by ended runs, that look like a save's temporary.
      for (unsigned n = 0; n <= 0x100; ++n)
        fs.addFile(SafeSave::TemporaryNameFor(target, n), "mine");
      fs.addFile(target + L".brimlo~", "mine too");
      const auto before = fs.allPaths();
      r.t.dialogs.answers = {kYes};
      EXPECT_EQ(r.save(), kSaved);
      EXPECT_EQ(r.t.dialogs.shown,
                (fake::Boxes{{L"File already exists:\r\r" + target + L"\r\rOverwrite?",
                              platform::box::kYesNoQuestion, L"Overwrite file?"}}));
      EXPECT_EQ(fs.contents(target), r.savedBytes());
      EXPECT_EQ(fs.attributes(target).value_or(0) & (kHidden | kSystem),
                attributes & (kHidden | kSystem));
      EXPECT_EQ(fs.contents(kShots + L"~brimlo-0000.tmp"), "mine");
      EXPECT_EQ(fs.contents(target + L".brimlo~"), "mine too");
      EXPECT_EQ(fs.allPaths(), before);
      EXPECT_EQ(fs.unflushedReplaces, 0);
    }
  }
}

// The target's own length is the only limit: a name of 255 characters, and a short name at the
// end of the longest ordinary path, are saved.
TEST(SafeSaveTest, AnyNameTheDirectoryCanHoldIsSaved) {
  std::wstring deep = L"C:\\";
  while (deep.size() < 250)
    deep += L"deep\\";
  for (const auto& [directory, name] :
       {std::pair{std::wstring(L"C:\\"), std::wstring(251, L'n') + L".TXT"},
        std::pair{deep, std::wstring(259 - deep.size() - 4, L's') + L".TXT"}}) {
    SaverRun r(Saver::Text);
    r.t.fileSystem.addDirectory(directory);
    r.form.Path.setText(directory);
    r.form.FNText.setText(name);
    ASSERT_LE((directory + name).size(), 259u);
    EXPECT_EQ(r.save(), kSaved) << text::toUtf8(directory + name);
    EXPECT_EQ(r.t.fileSystem.contents(directory + name), "text\r\n");
  }
}

TEST(SafeSaveTest, FailedSaveIsReportedLosesNothingAndKeepsTheWindow) {
  enum Fault { kNone, kReadOnly, kLocked, kFull, kNoRtf, kNoRichWindow, kEncoder, kNoTmpName };
  struct Case {
    Saver saver;
    std::wstring path, name;
    Fault fault;
    std::wstring reason;  // part of the message
  };
  const std::wstring old = L"old.TXT";
  const Case cases[] = {
      {Saver::Text, L"C:\\NoSuchDir\\", L"a.TXT", kNone, L"error 3"},
      {Saver::Text, kShots, L"a?b.TXT", kNone, L"error 123"},
      {Saver::Text, L"C:\\Data\\", L"Shots", kNone, L"error 5"},  // a directory
      {Saver::Text, L"", L"", kNone, L"error 123"},
      {Saver::Text, kShots, old, kReadOnly, L"error 5"},
      {Saver::Text, kShots, old, kLocked, L"error 32"},
      {Saver::Text, kShots, old, kFull, L"error 112"},
      {Saver::Rtf, kShots, old, kFull, L"error 112"},
      {Saver::Rtf, kShots, old, kNoRtf, L"The formatted text could not be written as RTF."},
      {Saver::Rtf, kShots, old, kNoRichWindow, L"The formatted text could not be written as RTF."},
      {Saver::Picture, kShots, old, kFull, L"error 112"},
      {Saver::Picture, kShots, std::wstring(256, L'p'), kNone, L"error 206"},
      {Saver::Picture, kShots, old, kReadOnly, L"error 5"},
      {Saver::Picture, kShots, old, kEncoder,
       L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:7"},
      {Saver::Text, kShots, old, kNoTmpName, L"(~brimlo-0000.tmp to ~brimlo-ffff.tmp) is taken"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::toUtf8(c.path + c.name + L": " + c.reason));
    SaverRun r(c.saver);
    fake::TestPlatform& t = r.t;
    t.fileSystem.addFile(
        kShots + old, "old bytes",
        c.fault == kReadOnly ? platform::attr::kReadOnly : platform::attr::kArchive);
    if (c.fault == kLocked)
      t.fileSystem.locked.insert(fake::FakeFileSystem::key(kShots + old));
    if (c.fault == kFull)
      t.fileSystem.writeFault = [](const std::wstring&) { return 112u; };
    if (c.fault == kNoRtf)
      r.rich.document.reset();
    if (c.fault == kNoRichWindow) {  // its window could not be made: nothing was pasted
      r.form.RichText.attachRichPeer(nullptr);
      r.form.RichText.clear();
    }
    for (unsigned n = 0; c.fault == kNoTmpName && n <= 0xFFFF; ++n)
      t.fileSystem.addFile(SafeSave::TemporaryNameFor(kShots + old, n), "");
    t.gdiplus.saveStatus = c.fault == kEncoder ? 7 : 0;
    r.form.Path.setText(c.path);
    r.form.FNText.setText(c.name);
    r.form.OpenFileCheck.setValue(1);
    const auto before = t.fileSystem.allPaths();
    t.dialogs.answers = {kYes};  // overwrite, where asked
    EXPECT_EQ(r.save(), std::nullopt);
    ASSERT_FALSE(t.dialogs.shown.empty());
    const fake::Box& box = t.dialogs.shown.back();
    EXPECT_EQ(box.style, platform::box::kCritical);
    EXPECT_EQ(box.title, L"Brimlo");
    const std::wstring target = c.path.empty() ? L"(no file name)" : c.path + c.name;
    EXPECT_EQ(box.text.rfind(L"The file was not saved:\r\r" + target + L"\r\r", 0), 0u);
    EXPECT_NE(box.text.find(c.reason), std::wstring::npos);
    EXPECT_EQ(t.fileSystem.allPaths(), before);
    EXPECT_EQ(t.fileSystem.contents(kShots + old), "old bytes");
    EXPECT_EQ(t.process.beeps, 0);
    EXPECT_TRUE(t.process.started.empty());
    EXPECT_TRUE(r.form.visible());
  }
}

// A write that throws (out of memory) leaves no temporary behind on its way out; where the
// window's code meets it, the user is told and the program ends with status 1.
TEST(SafeSaveTest, AnExceptionWhileWritingRemovesTheTemporaryAndEndsTheProgram) {
  SaverRun r(Saver::Text);
  const auto before = r.t.fileSystem.allPaths();
  r.t.fileSystem.writeFault = [](const std::wstring& path) -> std::uint32_t {
    if (path.find(L"~brimlo-") != std::wstring::npos)
      throw std::bad_alloc();
    return 0;
  };
  EXPECT_EQ(r.run([&] {
    try {
      r.form.SaveTxtBtn_Click();
    } catch (const std::bad_alloc&) {
      EndAfterFailure(r.t.platform, std::current_exception());
    }
  }),
            kOther);
  EXPECT_EQ(r.t.fileSystem.allPaths(), before);
  EXPECT_EQ(r.said(),
            std::vector<std::wstring>{L"Brimlo has to stop: there is not enough memory."});
  EXPECT_EQ(r.t.process.beeps, 0);
}

TEST(SaveTest, OpenStepCommandLines) {
  struct Case {
    std::wstring name;
    std::set<ClipFormat> formats;
    std::wstring command;
    std::wstring application = L"";  // the program handed to the system, so it never guesses
  };
  const std::set<ClipFormat> text{ClipFormat::Text}, rtf{ClipFormat::Text, ClipFormat::Rtf};
  const std::wstring notepad = L"C:\\Windows\\notepad.exe";
  const std::wstring viewer = L"C:\\Program Files\\List View\\view.exe";
  const Case cases[] = {
      {L"a.txt", text, notepad + L" C:\\Data\\Shots\\a.txt", notepad},
      {L"my notes.txt", text, notepad + L" \"C:\\Data\\Shots\\my notes.txt\"", notepad},
      {L"my list.lst", text, L"\"" + viewer + L"\" \"C:\\Data\\Shots\\my list.lst\"", viewer},
      {L"a.log", text, L"C:\\Data\\Shots\\a.log"},  // no associated program
      {L"link.URL", text, L"Explorer.exe  C:\\Data\\Shots\\link.URL"},
      {L"doc.Rtf", rtf, L"Explorer.exe  C:\\Data\\Shots\\doc.Rtf"},
      {L"Shot.JPG", {ClipFormat::Bitmap}, L"explorer.exe C:\\Data\\Shots\\Shot.JPG"},
  };
  for (const Case& c : cases) {
    fake::Started s(c.formats);
    s.t.shell.associations[L".lst"] = viewer;
    s.form.FNText.setText(c.name);
    s.form.OpenFileCheck.setValue(1);
    s.save();
    EXPECT_EQ(s.t.process.started, (fake::FakeProcess::Starts{{c.command, 1, c.application}}));
  }
}

// "Save as --> .URL" writes an Internet shortcut; a declined overwrite hides the button and
// leaves the texts as the shortcut made them.
TEST(SaveTest, ShortcutFile) {
  for (const bool exists : {false, true}) {
    fake::Session s({ClipFormat::Text});
    if (exists)
      s.t.fileSystem.addFile(kShots + L"Shots_Text.url", "old");
    s.t.clipboard.textContent = L"www.example.org";
    s.start();
    ASSERT_TRUE(s.form.SaveURLBtn.visible());
    s.t.dialogs.answers = {kNo};
    EXPECT_EQ(s.run([&] { s.form.SaveURLBtn.userClick(); }),
              exists ? std::nullopt : std::optional(kSaved));
    EXPECT_EQ(s.t.fileSystem.contents(kShots + L"Shots_Text.url"),
              exists ? "old" : "[InternetShortcut]\r\nURL=www.example.org\r\n");
    if (exists) {
      EXPECT_FALSE(s.form.SaveURLBtn.visible());
      EXPECT_EQ(s.form.FNText.text(), L"Shots_Text.url");
      EXPECT_EQ(s.form.ClipText.text(), L"[InternetShortcut]\r\nURL=www.example.org");
    }
  }
}

TEST(SaveTest, NeitherPreviewShownGivesError42AndEnds) {
  fake::Started s({ClipFormat::Text});
  s.form.ClipText.setVisible(false);
  EXPECT_EQ(s.save(), kOther);
  EXPECT_EQ(s.t.dialogs.shown,
            (fake::Boxes{{L"Error 42 - saving TXT-File", platform::box::kOkOnly}}));
  EXPECT_EQ(s.t.fileSystem.contents(kShots + L"Shots_Text.TXT"), std::nullopt);
}

// "-> TXT" turns a file list or formatted text into plain text, named and saved as text.
TEST(SaveTest, ConvertToPlainText) {
  struct Case {
    std::set<ClipFormat> formats;
    std::wstring text;
  };
  const Case cases[] = {{{ClipFormat::HDrop}, L"C:\\a.txt\r\nC:\\b.txt\r\n"},
                        {{ClipFormat::Text, ClipFormat::Rtf}, L"plain text"}};
  for (const Case& c : cases) {
    fake::Session s(c.formats);
    s.t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt"};
    s.t.settings.values[L"Brimlo\\Settings\\AddDateTxt"] = L"1";
    s.rich.plain = L"plain text";
    s.start();
    int changes = 0;
    s.form.ClipText.onChange = [&] { ++changes; };
    s.form.ConvertTxtBtn.userClick();
    EXPECT_EQ(s.form.ClipText.text(), c.text);
    EXPECT_EQ(changes, 1);  // built in one pass
    const Form1& f = s.form;
    EXPECT_EQ((std::array{f.ListBox.visible(), f.RichText.visible(), f.ConvertTxtBtn.visible(),
                          f.SaveFilesBtn.visible(), f.ClipText.visible(), f.FNText.visible()}),
              (std::array{false, false, false, false, true, true}));
    EXPECT_EQ(s.form.caption(),
              std::wstring(Form1::kVersionTitle) + L" - Save Clipboard Text (.txt)");
    EXPECT_EQ(s.form.Picture1.image(), ui::ImageId::ModeText);
    EXPECT_EQ(s.form.SaveTxtBtn.caption(), L"&Save as Text");
    EXPECT_EQ(s.form.FNText.text(), L"26.12.06_Shots_Text.TXT");  // .RTF becomes .TXT
    EXPECT_EQ(s.run([&] { s.form.SaveTxtBtn.userClick(); }), kSaved);
    EXPECT_EQ(s.t.fileSystem.contents(kShots + L"26.12.06_Shots_Text.TXT"),
              text::toUtf8(c.text) + "\r\n");
  }
}

// Another program holds the clipboard open while the refresh reads it: whatever the preview held
// before must not be saved as the clipboard's content, in a batch run or from the window; once
// F5 reads it, it is saved.
TEST(SaveTest, ContentThatCouldNotBeReadIsNeverSaved) {
  struct Case {
    std::set<ClipFormat> formats;
    const wchar_t* commandLine;  // a batch run saves by itself, a window when told
    const wchar_t* heading = L"The file was not saved:";
    // Offered, the clipboard opens, but the content never comes.
    const wchar_t* notDelivered = nullptr;
  };
  const wchar_t* files = L"No file was copied to:";
  const Case cases[] = {
      {{ClipFormat::Text}, L"-b Held"},
      {{ClipFormat::Text, ClipFormat::Rtf}, L"-b Held"},
      {{ClipFormat::Bitmap}, L"-b Held"},
      {{ClipFormat::Text}, L""},
      {{ClipFormat::Bitmap}, L""},
      {{ClipFormat::HDrop}, L"", files},
      {{ClipFormat::HDrop}, L"", files, L"The file list on the clipboard could not be read."},
  };
  for (const Case& c : cases) {
    fake::Session s(c.formats, c.commandLine);
    s.t.clipboard.heldByOther = !c.notDelivered;
    if (c.notDelivered)
      s.t.clipboard.files.reset();
    const auto before = s.t.fileSystem.allPaths();
    EXPECT_EQ(s.start(), std::nullopt);
    if (!*c.commandLine) {
      EXPECT_EQ(s.save(), std::nullopt);
    }
    EXPECT_TRUE(s.form.visible());
    ASSERT_EQ(s.t.dialogs.shown.size(), 1u);
    const std::wstring& said = s.t.dialogs.shown[0].text;
    EXPECT_EQ(said.rfind(c.heading, 0), 0u) << text::toUtf8(said);
    EXPECT_NE(said.find(c.notDelivered ? c.notDelivered : L"The clipboard could not be read"),
              std::wstring::npos);
    EXPECT_EQ(s.t.fileSystem.allPaths(), before);
    EXPECT_EQ(s.t.process.beeps, 0);
    if (!*c.commandLine && !c.formats.count(ClipFormat::HDrop)) {  // F5 reads it again
      s.t.clipboard.heldByOther = false;
      s.refresh();
      EXPECT_EQ(s.save(), kSaved);
    }
  }
}

// A formatted text is saved whole at any size. The rich edit control fails inside itself on tens
// of megabytes: it is given a document only up to its limit, and a batch run never gives it one;
// what it is not given is saved as the clipboard holds it.
TEST(SaveTest, FormattedTextOfAnySizeIsSavedWholeTheLargeOutsideTheControl) {
  constexpr std::size_t kMB = std::size_t{1} << 20;
  const std::size_t limit = Form1::kRichPreviewBytes;
  const std::pair<const wchar_t*, std::size_t> cases[] = {
      {L"-b Big", 1000}, {L"-b Big", 100 * kMB}, {L"", limit},
      {L"", limit + 1},  {L"", 10 * kMB},        {L"", 50 * kMB},
  };
  for (const auto& [commandLine, bytes] : cases) {
    SCOPED_TRACE(text::toUtf8(commandLine) + std::to_string(bytes));
    fake::Session s({ClipFormat::Text, ClipFormat::Rtf}, commandLine);
    s.t.clipboard.rtfContent = "{\\rtf1 " + std::string(bytes - 8, 'x') + "}";
    const auto status = s.start();
    const bool inControl = !*commandLine && bytes <= limit;
    EXPECT_EQ(s.rich.pastes, inControl ? 1 : 0);
    if (!*commandLine) {  // what the control is not given cannot be edited or converted there
      EXPECT_EQ(s.form.ConvertTxtBtn.visible() && s.form.RichText.enabled(), inControl);
    }
    EXPECT_EQ(*commandLine ? status : s.save(), kSaved);
    const auto saved =
        s.t.fileSystem.contents(kShots + (*commandLine ? L"Big.RTF" : L"Shots_Text.RTF"));
    EXPECT_TRUE(saved == (inControl ? s.rich.document : s.t.clipboard.rtfContent));
  }
}

// A batch run saves from the clipboard's own content (no copy) without showing the window. One
// that cannot save turns into a window that shows the content (its copy taken then) and says
// why: the file system's reason, or what could not be read. Neither touches the always-on-top
// state.
TEST(SaveTest, BatchRun) {
  struct Case {
    ClipFormat format;
    const wchar_t* commandLine;
    bool contentThere;
    std::optional<int> status;
    std::wstring file;  // saved, or nothing
    int copies;
    std::wstring said;  // part of the one message; empty: none
  };
  using enum ClipFormat;
  const std::wstring unread = L" on the clipboard could not be read.";
  const Case cases[] = {
      {Text, L"-B Notes", true, kSaved, L"Notes.TXT", 0, L""},
      {Bitmap, L"-b Shot", true, kSaved, L"Shot.JPG", 0, L""},
      {Text, L"-b C:\\NoSuchDir\\Notes", true, std::nullopt, L"", 1, L"error 3"},
      {Bitmap, L"-b C:\\NoSuchDir\\Shot", true, std::nullopt, L"", 1, L"error 3"},
      {Text, L"-b Held", false, std::nullopt, L"", 0, L"The text" + unread},
      {Bitmap, L"-b Held", false, std::nullopt, L"", 0, L"The picture" + unread},
      {Rtf, L"-b Held", false, std::nullopt, L"", 0, L"The formatted text" + unread},
  };
  for (const Case& c : cases) {
    fake::Session s(c.format == Rtf ? std::set{Text, Rtf} : std::set{c.format}, c.commandLine);
    if (!c.contentThere) {
      s.t.clipboard.textContent.reset();
      s.t.clipboard.picture.reset();
      s.t.clipboard.rtfContent.reset();
    }
    EXPECT_EQ(s.start(), c.status) << text::toUtf8(c.commandLine);
    EXPECT_EQ(s.form.visible(), !c.status);
    EXPECT_EQ(s.t.clipboard.copies, c.copies) << text::toUtf8(c.commandLine);
    EXPECT_EQ(c.file.empty() || s.t.fileSystem.exists(kShots + c.file), true);
    ASSERT_EQ(s.t.dialogs.shown.size(), c.said.empty() ? 0u : 1u);
    EXPECT_NE(c.said.empty() ? 0 : s.t.dialogs.shown[0].text.find(c.said), std::wstring::npos);
    if (c.copies > 0) {  // the window shows what was not saved
      EXPECT_TRUE(c.format == Text ? s.form.ClipText.text() == L"text"
                                   : s.form.ClipPic.picture() != nullptr);
    }
    EXPECT_TRUE(s.t.window.calls.empty());
  }
  // After a failed batch save the window's own save finds the picture it shows.
  fake::Session s({ClipFormat::Bitmap}, L"-b C:\\NoSuchDir\\Shot");
  s.start();
  s.form.Path.setText(kShots);
  EXPECT_EQ(s.save(), kSaved);
  EXPECT_TRUE(s.t.fileSystem.exists(kShots + L"Shot.JPG"));
}

}  // namespace
