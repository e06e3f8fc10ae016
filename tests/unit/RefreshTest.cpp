#include <gtest/gtest.h>

#include "app/Form1.h"
#include "support/Fakes.h"

namespace {

using platform::ClipFormat;

class RefreshTest : public ::testing::Test {
 protected:
  RefreshTest() {
    t.fileSystem.addDirectory(L"C:\\Data\\Shots");
    t.process.currentDir = L"C:\\Data\\Shots";
  }
  void putText(const std::wstring& text) {
    t.clipboard.formats.insert(ClipFormat::Text);
    t.clipboard.textContent = text;
  }
  void putBitmap() {
    t.clipboard.formats.insert(ClipFormat::Bitmap);
    t.clipboard.picture = std::make_shared<fake::FakePicture>(640, 480);
  }
  // Starts the window as the program does; returns the exit status if the program ended.
  std::optional<int> start() {
    return fake::exitStatusOf([&] { form.load(); });
  }
  fake::TestPlatform t;
  Form1 form{t.platform};
};

TEST_F(RefreshTest, ModeFollowsTheFirstFormatFoundAndRefusalNamesTheFormat) {
  struct Case {
    const char* what;
    std::set<ClipFormat> formats;
    std::set<unsigned> standard;
    std::wstring caption;  // empty: refused
    std::wstring refusedName;
  };
  const Case cases[] = {
      {"bitmap and text",
       {ClipFormat::Bitmap, ClipFormat::Text},
       {},
       L" - Save Graphic (.JPG)",
       L""},
      {"text and files",
       {ClipFormat::Text, ClipFormat::HDrop},
       {},
       L" - Save Clipboard Text (.txt)",
       L""},
      {"text and rtf",
       {ClipFormat::Text, ClipFormat::Rtf},
       {},
       L" - Save Formated Clipboard Text (.rtf)",
       L""},
      {"files", {ClipFormat::HDrop}, {}, L" - Copy Files..", L""},
      {"rtf alone", {ClipFormat::Rtf}, {}, L"", L"RTF"},
      {"empty", {}, {}, L"", L"Unknown"},
      {"metafile alone", {ClipFormat::MetafilePict}, {}, L"", L"Metafile"},
      {"link and rtf", {ClipFormat::Link, ClipFormat::Rtf}, {}, L"", L"Link"},
      {"dib alone", {ClipFormat::Dib}, {}, L"", L"DIB"},
      {"standard format 4 counts as entry 4", {}, {4}, L"", L"DIB"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.clipboard.formats = c.formats;
    tp.clipboard.standardNumbers = c.standard;
    tp.clipboard.textContent = L"hello";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(10, 10);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    Form1 f(tp.platform);
    const std::optional<int> ended = fake::exitStatusOf([&] { f.load(); });
    if (c.caption.empty()) {
      EXPECT_EQ(ended, platform::exitcode::kRefused) << c.what;
      ASSERT_EQ(tp.dialogs.shown.size(), 1u) << c.what;
      EXPECT_EQ(tp.dialogs.shown[0].text,
                L"The current clipboard-Format:  '" + c.refusedName + L"'  is not supported!")
          << c.what;
      EXPECT_EQ(tp.dialogs.shown[0].title, L"Sorry - no supported format!");
      EXPECT_EQ(tp.dialogs.shown[0].style, platform::box::kInformation);
    } else {
      EXPECT_FALSE(ended) << c.what;
      EXPECT_EQ(f.caption(), std::wstring(Form1::kVersionTitle) + c.caption) << c.what;
      EXPECT_TRUE(tp.dialogs.shown.empty()) << c.what;
    }
  }
}

TEST_F(RefreshTest, PngIsTakenOnlyWhereTheContentWouldBeRefused) {
  const std::string png = "\x89PNG\r\n\x1a\n picture";
  struct Case {
    const char* what;
    std::set<ClipFormat> formats;
    std::string pngBytes;
    bool heldByOther;
    std::optional<int> status;  // of the run with -b Shot; nothing: the window stays
    std::wstring saved;         // file written, or the refused format's name
    std::uintptr_t encoded;     // the picture handed to the encoder; 0: none
  };
  // The clipboard's bitmap is 0x1234, the decoded PNG 0x2222.
  const Case cases[] = {
      {"bitmap and png", {ClipFormat::Bitmap, ClipFormat::Png}, png, false, 0, L"Shot.JPG", 0x1234},
      {"text and png", {ClipFormat::Text, ClipFormat::Png}, png, false, 0, L"Shot.TXT", 0},
      {"files and png", {ClipFormat::HDrop, ClipFormat::Png}, png, false, std::nullopt, L"", 0},
      {"png alone", {ClipFormat::Png}, png, false, 0, L"Shot.JPG", 0x2222},
      {"rtf alone and png", {ClipFormat::Rtf, ClipFormat::Png}, png, false, 0, L"Shot.JPG", 0x2222},
      {"png not decoded", {ClipFormat::Png}, "GIF89a", false, 2, L"PNG", 0},
      {"rtf and png not decoded", {ClipFormat::Rtf, ClipFormat::Png}, "", false, 2, L"RTF", 0},
      // Not read is not refused: the window stays in picture mode and F5 reads it again.
      {"png, clipboard held open", {ClipFormat::Png}, png, true, std::nullopt, L"", 0},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.process.commandLineText = L"-b Shot";
    tp.clipboard.formats = c.formats;
    tp.clipboard.pngContent = c.pngBytes;
    tp.clipboard.heldByOther = c.heldByOther;
    tp.clipboard.textContent = L"hello";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(640, 480);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    Form1 f(tp.platform);
    EXPECT_EQ(fake::exitStatusOf([&] { f.load(); }), c.status) << c.what;
    if (c.status == platform::exitcode::kRefused) {
      ASSERT_EQ(tp.dialogs.shown.size(), 1u) << c.what;
      EXPECT_EQ(tp.dialogs.shown[0].text,
                L"The current clipboard-Format:  '" + c.saved + L"'  is not supported!")
          << c.what;
      EXPECT_EQ(tp.fileSystem.allPaths().size(), 3u) << c.what;  // C:, Data, Shots
    } else if (c.status) {
      EXPECT_TRUE(tp.fileSystem.exists(L"C:\\Data\\Shots\\" + c.saved)) << c.what;
    }
    EXPECT_EQ(tp.gdiplus.bitmapHandle, c.encoded) << c.what;
    EXPECT_EQ(tp.clipboard.copies, 0) << c.what;  // a batch run copies no bitmap
    EXPECT_EQ(tp.gdiplus.liveImages + tp.gdiplus.liveSessions, 0) << c.what;
  }
}

TEST_F(RefreshTest, EachModeShowsItsControlsColoursAndImage) {
  struct Case {
    const char* what;
    std::set<ClipFormat> formats;
    ui::Color panel;
    ui::ImageId image;
    ui::CommandButton* Form1::*saveButton;
    std::wstring saveCaption;
    bool clipText, richText, clipPic, list, convert, nameField;
  };
  const Case cases[] = {
      {"picture",
       {ClipFormat::Bitmap},
       0x00FFBFC0,
       ui::ImageId::ModePicture,
       nullptr,
       L"&Save as JPEG",
       false,
       false,
       true,
       false,
       false,
       true},
      {"text",
       {ClipFormat::Text},
       0x00E0E0E0,
       ui::ImageId::ModeText,
       nullptr,
       L"&Save as Text",
       true,
       false,
       false,
       false,
       false,
       true},
      {"rich text",
       {ClipFormat::Text, ClipFormat::Rtf},
       0x00E0E0E0,
       ui::ImageId::ModeRichText,
       nullptr,
       L"&Save as RTF",
       false,
       true,
       false,
       false,
       true,
       true},
      {"files",
       {ClipFormat::HDrop},
       0x00C9CEB8,
       ui::ImageId::ModeFiles,
       nullptr,
       L"&Copy File(s) ..",
       false,
       false,
       false,
       true,
       true,
       false},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.clipboard.formats = c.formats;
    tp.clipboard.textContent = L"hello";
    tp.clipboard.picture = std::make_shared<fake::FakePicture>(10, 10);
    tp.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt"};
    Form1 f(tp.platform);
    f.load();
    EXPECT_EQ(f.Frame1.backColor(), c.panel) << c.what;
    EXPECT_EQ(f.Path.backColor(), c.panel) << c.what;
    EXPECT_EQ(f.Picture1.image(), c.image) << c.what;
    const ui::CommandButton* shown = f.SavePictureBtn.visible() ? &f.SavePictureBtn
                                     : f.SaveTxtBtn.visible()   ? &f.SaveTxtBtn
                                                                : &f.SaveFilesBtn;
    EXPECT_EQ(shown->caption(), c.saveCaption) << c.what;
    EXPECT_EQ(f.SavePictureBtn.visible() + f.SaveTxtBtn.visible() + f.SaveFilesBtn.visible(), 1)
        << c.what;
    EXPECT_EQ(f.ClipText.visible(), c.clipText) << c.what;
    EXPECT_EQ(f.RichText.visible(), c.richText) << c.what;
    EXPECT_EQ(f.ClipPic.visible(), c.clipPic) << c.what;
    EXPECT_EQ(f.ListBox.visible(), c.list) << c.what;
    EXPECT_EQ(f.ConvertTxtBtn.visible(), c.convert) << c.what;
    EXPECT_EQ(f.FNText.visible(), c.nameField) << c.what;
    EXPECT_EQ(f.AddDatecheck.visible(), c.nameField) << c.what;
    EXPECT_TRUE(f.visible()) << c.what;
    // The focus ends in the name field, or on the copy button when that field is hidden.
    EXPECT_EQ(f.activeControl(), c.nameField ? static_cast<ui::Control*>(&f.FNText)
                                             : static_cast<ui::Control*>(&f.SaveFilesBtn))
        << c.what;
  }
}

TEST_F(RefreshTest, ProposedNameFollowsCommandLineDirectoryAndExtensionRules) {
  struct Case {
    const char* what;
    std::wstring commandLine;
    std::wstring currentDir;
    bool picture;  // else plain text
    std::wstring name;
    std::wstring path;
  };
  const Case cases[] = {
      {"default picture name", L"", L"C:\\Data\\Shots", true, L"Shots_Screenshot.JPG",
       L"C:\\Data\\Shots\\"},
      {"default text name", L"", L"C:\\Data\\Shots", false, L"Shots_Text.TXT",
       L"C:\\Data\\Shots\\"},
      {"drive root", L"", L"C:\\", true, L"_Screenshot.JPG", L"C:\\"},
      {"-b keeps .jpeg", L"-b Shot.jpeg", L"C:\\Data\\Shots", true, L"Shot.jpeg",
       L"C:\\Data\\Shots\\"},
      {"-b keeps .txt in any case", L"-b notes.txt", L"C:\\Data\\Shots", false, L"notes.txt",
       L"C:\\Data\\Shots\\"},
      {"-B adds .TXT", L"-B Notes", L"C:\\Data\\Shots", false, L"Notes.TXT", L"C:\\Data\\Shots\\"},
      {"-b alone uses the default", L"-b", L"C:\\Data\\Shots", true, L"Shots_Screenshot.JPG",
       L"C:\\Data\\Shots\\"},
      {"blanks around the batch name", L"-b  My Dumps ", L"C:\\Data\\Shots", false, L"My Dumps.TXT",
       L"C:\\Data\\Shots\\"},
      {"no blank after -b", L"-bMyDumps", L"C:\\Data\\Shots", false, L"MyDumps.TXT",
       L"C:\\Data\\Shots\\"},
      {"plain name, not batch", L"Report", L"C:\\Data\\Shots", false, L"Report.TXT",
       L"C:\\Data\\Shots\\"},
      {"-b not at the very start", L" -b x", L"C:\\Data\\Shots", false, L" -b x.TXT",
       L"C:\\Data\\Shots\\"},
      {"extension-like part of the directory counts", L"Report", L"C:\\Old.txt.d", false, L"Report",
       L"C:\\Old.txt.d\\"},
      {"name with a directory part", L"C:\\Other\\Report", L"C:\\Data\\Shots", false, L"Report.TXT",
       L"C:\\Other\\"},
      {"-b naming only a directory", L"-b C:\\Other\\", L"C:\\Data\\Shots", false,
       L"Shots_Text.TXT", L"C:\\Other\\"},
      {"directory only, forward slashes", L"-b D:/Dumps/", L"C:\\Data\\Shots", true,
       L"Shots_Screenshot.JPG", L"D:/Dumps/"},
      {"context-menu file path", L"C:\\Docs\\letter.doc", L"C:\\Data\\Shots", true,
       L"letter.doc.JPG", L"C:\\Docs\\"},
  };
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(c.currentDir);
    tp.process.currentDir = c.currentDir;
    tp.process.commandLineText = c.commandLine;
    if (c.picture) {
      tp.clipboard.formats = {ClipFormat::Bitmap};
      tp.clipboard.picture = std::make_shared<fake::FakePicture>(10, 10);
    } else {
      tp.clipboard.formats = {ClipFormat::Text};
      tp.clipboard.textContent = L"text";
    }
    Form1 f(tp.platform);
    try {
      f.load();
    } catch (const fake::ProgramEnded&) {
    }
    const std::wstring name = f.FNText.text();
    EXPECT_EQ(name, c.name) << c.what;
    EXPECT_EQ(f.Path.text(), c.path) << c.what;
  }
}

TEST_F(RefreshTest, PrefixesComeFromTheClockTimeFirst) {
  struct Case {
    platform::LocalTime time;
    std::wstring date, time_;
  };
  const Case cases[] = {{{2026, 12, 6, 5, 51, 52}, L"26.12.06_", L"05-51-52_"},
                        {{2027, 1, 9, 0, 0, 9}, L"27.01.09_", L"00-00-09_"},
                        {{2031, 10, 31, 23, 59, 0}, L"31.10.31_", L"23-59-00_"}};
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clock.time = c.time;
    tp.clipboard.formats = {ClipFormat::Bitmap};
    tp.settings.values[L"Brimlo\\Settings\\AddDateJPG"] = L"1";
    tp.settings.values[L"Brimlo\\Settings\\AddTimeJPG"] = L"1";
    Form1 f(tp.platform);
    f.load();
    EXPECT_EQ(f.DatePrefix, c.date);
    EXPECT_EQ(f.TimePrefix, c.time_);
    EXPECT_EQ(f.FNText.text(), c.time_ + c.date + L"Shots_Screenshot.JPG");
  }
}

TEST_F(RefreshTest, OptionRestoreTakesValidStoredValuesAndStoresNothing) {
  struct Case {
    std::optional<std::wstring> stored;
    int before, after;
  };
  const Case cases[] = {{L"1", 0, 1}, {L"0", 1, 0}, {std::nullopt, 1, 1},
                        {L"x", 1, 1}, {L"7", 0, 0}, {L"2", 0, 2}};
  for (const Case& c : cases) {
    fake::TestPlatform tp;
    tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
    tp.clipboard.formats = {ClipFormat::Text};
    tp.clipboard.textContent = L"abc";
    if (c.stored)
      tp.settings.values[L"Brimlo\\Settings\\OpenFileTxt"] = *c.stored;
    Form1 f(tp.platform);
    f.OpenFileCheck.setValue(c.before);
    const int writesBefore = tp.settings.writes;
    f.updateFromClipboard();
    EXPECT_EQ(f.OpenFileCheck.value(), c.after);
    // Only the always-on-top state is written by a refresh, never an option.
    EXPECT_EQ(tp.settings.writes - writesBefore, 1);
    EXPECT_EQ(tp.settings.values.count(L"Brimlo\\Settings\\OpenFileTxt"), c.stored ? 1u : 0u);
  }
}

TEST_F(RefreshTest, FileListThenTextRefreshKeepsContextMenuCheckHidden) {
  t.clipboard.formats = {ClipFormat::HDrop};
  t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"};
  start();
  EXPECT_EQ(form.ListBox.items(),
            (std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"}));
  EXPECT_FALSE(form.ContextMenuCheck.visible());
  EXPECT_TRUE(form.FNText.text().empty());
  // The list lies below the top panel, so the copy button stays reachable.
  EXPECT_GE(form.ListBox.top(), form.Frame1.top() + form.Frame1.height());

  t.clipboard.formats = {ClipFormat::Text};
  t.clipboard.textContent = L"now text";
  form.userKeyDown(116, 0);
  EXPECT_TRUE(form.OpenFileCheck.visible());
  EXPECT_TRUE(form.AddDatecheck.visible());
  EXPECT_TRUE(form.AddTimeCheck.visible());
  EXPECT_TRUE(form.FNText.visible());
  EXPECT_FALSE(form.ContextMenuCheck.visible());
  EXPECT_FALSE(form.ListBox.visible());
  EXPECT_EQ(form.ListBox.listCount(), 0);
  EXPECT_EQ(form.ClipText.text(), L"now text");
}

TEST_F(RefreshTest, AnEmptyFileListShowsAnEmptyList) {
  t.clipboard.formats = {ClipFormat::HDrop};
  t.clipboard.files = std::vector<std::wstring>{};
  start();
  EXPECT_TRUE(form.ListBox.visible());
  EXPECT_EQ(form.ListBox.listCount(), 0);
}

TEST_F(RefreshTest, UrlButtonFollowsTheTextOnEveryChange) {
  struct Case {
    std::wstring text;
    bool url;
  };
  const Case cases[] = {{L"https://example.org/page", true},
                        {L"WWW.EXAMPLE.ORG", true},
                        {L"see www.example.org", true},
                        {L"https://example.org/page\r\n", false},
                        {L"line one\nhttps://x.org", true},  // a line feed alone is no line break
                        {L"just words", false},
                        {L"wWw.x", true},  // any case, letter by letter
                        {L"ww.w.example", false},
                        {L"www", false},
                        {L"x/y/z", false},
                        {L"/", false},
                        {L"ends in //", true},
                        {L"", false}};
  putText(L"start");
  start();
  for (const Case& c : cases) {
    form.ClipText.setText(c.text);
    EXPECT_EQ(form.SaveURLBtn.visible(), c.url) << std::string(c.text.begin(), c.text.end());
  }
  // F5 with the same address still on the clipboard: the text does not change, the button stays.
  putText(L"https://example.org/page");
  form.userKeyDown(116, 0);
  form.userKeyDown(116, 0);
  EXPECT_TRUE(form.SaveURLBtn.visible());
}

TEST_F(RefreshTest, PictureRefreshHoldsTheBitmapAndAlternatesTheView) {
  putBitmap();
  start();
  ASSERT_NE(form.picture(), nullptr);
  EXPECT_EQ(form.picture()->widthPixels(), 640);
  EXPECT_TRUE(form.PictureFitted);  // the first picture is shown stretched
  EXPECT_NE(form.ClipPic.drawing().picture, nullptr);
  EXPECT_EQ(t.clipboard.opens, t.clipboard.closes);
  form.userKeyDown(116, 0);
  EXPECT_FALSE(form.PictureFitted);
  // An unreadable bitmap leaves no held picture but keeps the picture mode.
  t.clipboard.picture.reset();
  form.userKeyDown(116, 0);
  EXPECT_EQ(form.picture(), nullptr);
  EXPECT_TRUE(form.SavePictureBtn.visible());
}

TEST_F(RefreshTest, InteractiveRefreshPutsTheWindowOnTop) {
  putText(L"x");
  start();
  ASSERT_FALSE(t.window.calls.empty());
  EXPECT_EQ(t.window.calls.back().insertAfter, platform::kTopmost);
  EXPECT_EQ(t.settings.values[L"Brimlo\\AlwaysOnTop\\OnTop"], L"True");
  EXPECT_TRUE(form.AlwaysOnTop1.AOT_Enabled.visible());
}

TEST_F(RefreshTest, QuestionMarkShowsTheHelpBoxBeforeTheWindow) {
  putText(L"x");
  t.process.commandLineText = L"?";
  t.process.programBaseName = L"Grab";
  start();
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  const fake::Box box = t.dialogs.shown[0];
  EXPECT_EQ(box.text,
            L"Press F5 to Update from Clipboard\r\rCommand Line Parameter:\r\r"
            L"-b = Batch-Mode (silent)\r[Name] = Filename (without extension)\r\rExample:\r\r"
            L"Grab.exe -b  MyDumps\r"
            L"-> creates '\\MyDumps.Jpg' or '\\MyDumps.txt' in the current directory");
  EXPECT_EQ(box.title, L"Brimlo -> brimlo.example/BrimloSite");
  EXPECT_EQ(box.style, platform::box::kInformation);
  // The mode image shows the same box.
  form.Picture1.userClick();
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(t.dialogs.shown[1].text, box.text);
}

TEST_F(RefreshTest, PreviewFieldHoverAndFocusColours) {
  putBitmap();
  start();
  form.Picture1.userMouseMove(0, 0, 10, 10);
  EXPECT_EQ(form.Picture1.backColor(), 0x00E0E0E0u);
  form.Frame1.userMouseMove(0, 0, 10, 10);
  EXPECT_EQ(form.Picture1.backColor(), form.Frame1.backColor());
  form.ClipText.setVisible(true);
  ASSERT_TRUE(form.setFocus(form.ClipText));
  EXPECT_EQ(form.ClipText.backColor(), 0x00FFFFFFu);
  EXPECT_EQ(form.SaveURLBtn.backColor(), 0x00FFFFFFu);
}

// A batch run encodes the clipboard's bitmap without a copy; when it cannot save, the window it
// turns into shows the picture after all, and F5's save finds the picture held.
TEST(BatchPictureTest, AFailedBatchSaveShowsThePicture) {
  fake::TestPlatform tp;
  tp.fileSystem.addDirectory(L"C:\\Data\\Shots");
  tp.process.commandLineText = L"-b C:\\Gone\\Shot";
  tp.clipboard.formats = {ClipFormat::Bitmap};
  tp.clipboard.picture = std::make_shared<fake::FakePicture>(640, 480);
  Form1 f(tp.platform);
  EXPECT_EQ(fake::exitStatusOf([&] { f.load(); }), std::nullopt);
  EXPECT_TRUE(f.visible());
  ASSERT_NE(f.picture(), nullptr);
  EXPECT_EQ(f.ClipPic.picture(), f.picture());
  EXPECT_EQ(tp.clipboard.copies, 1);
  f.Path.setText(L"C:\\Data\\Shots\\");
  EXPECT_EQ(fake::exitStatusOf([&] { f.SavePictureBtn_Click(); }), platform::exitcode::kSaved);
  EXPECT_TRUE(tp.fileSystem.exists(L"C:\\Data\\Shots\\Shot.JPG"));
}

}  // namespace
