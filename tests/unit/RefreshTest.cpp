#include <gtest/gtest.h>

#include "shell/Server.h"
#include "support/Session.h"
#include "util/Text.h"

namespace {

using platform::ClipFormat;
using platform::box::kInformation;
using platform::exitcode::kRefused;
using platform::exitcode::kSaved;
using std::nullopt;
const std::set<ClipFormat> kText{ClipFormat::Text}, kBitmap{ClipFormat::Bitmap},
    kFiles{ClipFormat::HDrop}, kRtf{ClipFormat::Text, ClipFormat::Rtf};

std::wstring refusal(const std::wstring& format) {
  return L"The current clipboard-Format:  '" + format + L"'  is not supported!";
}

TEST(RefreshTest, RefusalNamesTheFirstFormatFound) {
  using enum ClipFormat;
  const std::pair<std::set<ClipFormat>, std::wstring> cases[] = {
      {{Rtf}, L"RTF"},        {{}, L"Unknown"}, {{MetafilePict}, L"Metafile"},
      {{Link, Rtf}, L"Link"}, {{Dib}, L"DIB"},
  };
  for (const auto& [formats, name] : cases) {
    fake::Session s(formats);
    EXPECT_EQ(s.start(), kRefused);
    EXPECT_EQ(s.t.dialogs.shown,
              (fake::Boxes{{refusal(name), kInformation, L"Sorry - no supported format!"}}));
  }
  fake::Session s;  // the standard format 4 counts as entry 4
  s.t.clipboard.standardNumbers = {4};
  EXPECT_EQ(s.start(), kRefused);
  EXPECT_EQ(s.said(), std::vector{refusal(L"DIB")});
}

TEST(RefreshTest, PngIsTakenOnlyWhereTheContentWouldBeRefused) {
  const std::string png = "\x89PNG\r\n\x1a\n picture";
  struct Case {
    std::set<ClipFormat> formats;
    std::optional<std::string> pngBytes;  // nothing: offered but not delivered
    std::optional<int> status;            // of the run with -b Shot; nothing: the window stays
    std::wstring saved;      // file written, the refused format's name, or why not saved
    const wchar_t* encoded;  // the picture handed to the encoder; nothing: none
    bool heldByOther = false;
  };
  using enum ClipFormat;
  // A batch run encodes the clipboard's own bitmap (b17) or the decoded PNG (2222), no copy.
  const wchar_t* bitmap = L"createBitmap b17 0";
  const wchar_t* decoded = L"createBitmap 2222 0";
  const Case cases[] = {
      {{Bitmap, Png}, png, kSaved, L"Shot.JPG", bitmap},
      {{Text, Png}, png, kSaved, L"Shot.TXT", nullptr},
      {{HDrop, Png}, png, nullopt, L"", nullptr},
      {{Png}, png, kSaved, L"Shot.JPG", decoded},
      {{Rtf, Png}, png, kSaved, L"Shot.JPG", decoded},
      {{Png}, "GIF89a", kRefused, L"PNG", nullptr},  // not decoded
      {{Rtf, Png}, "", kRefused, L"RTF", nullptr},
      // Not read is not refused: the window stays in picture mode and F5 reads it again.
      {{Png}, png, nullopt, L"The clipboard could not be read", nullptr, true},
      {{Png}, nullopt, nullopt, L"The picture on the clipboard could not be read.", nullptr},
  };
  for (const Case& c : cases) {
    fake::Session s(c.formats, L"-b Shot");
    s.t.clipboard.pngContent = c.pngBytes;
    s.t.clipboard.heldByOther = c.heldByOther;
    const auto before = s.t.fileSystem.allPaths();
    EXPECT_EQ(s.start(), c.status) << text::toUtf8(c.saved);
    if (c.status == kRefused) {
      EXPECT_EQ(s.said(), std::vector{refusal(c.saved)});
      EXPECT_EQ(s.t.fileSystem.allPaths(), before);
    } else if (c.status) {
      EXPECT_TRUE(s.t.fileSystem.exists(L"C:\\Data\\Shots\\" + c.saved));
    } else {
      const auto said = s.said();
      EXPECT_EQ(said.size(), c.saved.empty() ? 0u : 1u);
      EXPECT_NE(said.empty() ? 0 : said[0].find(c.saved), std::wstring::npos);
    }
    const auto& calls = s.t.gdiplus.calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), c.encoded ? c.encoded : L""),
              c.encoded ? 1 : 0);
    EXPECT_EQ(s.t.clipboard.copies, 0);
    EXPECT_EQ(s.t.gdiplus.live, 0);
  }
}

// One row per save mode, with the formats that choose it: what the window shows, how it follows
// a window of 12000 x 9000 (panel and preview stretch, links and symbols stay at the right edge,
// the button in the preview's corner at its right), the name it proposes and what its save
// writes. The picture goes to the encoder at quality 200 and its save ends without storing the
// window's place; the text saves store it. A formatted text is saved without a beep.
TEST(RefreshTest, EachModeRow) {
  struct Case {
    struct {
      std::set<ClipFormat> formats;
      std::wstring caption, saveCaption, name;
    } t;
    struct {
      ui::ImageId image;
      // ClipText, RichText, ClipPic, ListBox, ConvertTxtBtn, the name field and its options.
      std::array<bool, 6> shown;
      int previewWidth, previewHeight, cornerGap;
      std::string bytes;  // saved; empty: no save here
      int beeps;
    } v;
  };
  using enum ui::ImageId;
  using enum ClipFormat;
  const char* jpeg = fake::FakeGdiplus::kJpeg;
  const Case cases[] = {
      {{{Bitmap, Text}, L" - Save Graphic (.JPG)", L"&Save as JPEG", L"Shots_Screenshot.JPG"},
       {ModePicture, {0, 0, 1, 0, 0, 1}, 12000, 7185, 300, jpeg, 1}},
      {{{Text, HDrop}, L" - Save Clipboard Text (.txt)", L"&Save as Text", L"Shots_Text.TXT"},
       {ModeText, {1, 0, 0, 0, 0, 1}, 11500, 6380, 0, "text\r\n", 1}},
      {{kRtf, L" - Save Formated Clipboard Text (.rtf)", L"&Save as RTF", L"Shots_Text.RTF"},
       {ModeRichText, {0, 1, 0, 0, 1, 1}, 11500, 6380, 200, "{\\rtf1 fake}", 0}},
      // The list keeps its height.
      {{kFiles, L" - Copy Files..", L"&Copy File(s) ..", L""},
       {ModeFiles, {0, 0, 0, 1, 1, 0}, 11500, 1520, 200, "", 0}},
  };
  for (const Case& c : cases) {
    fake::Started s(c.t.formats);
    Form1& f = s.form;
    SCOPED_TRACE(text::toUtf8(c.t.caption));
    EXPECT_EQ(f.caption(), std::wstring(Form1::kVersionTitle) + c.t.caption);
    EXPECT_EQ(f.Path.backColor(), f.Frame1.backColor());
    EXPECT_EQ(f.Picture1.image(), c.v.image);
    const ui::CommandButton* save = f.SavePictureBtn.visible() ? &f.SavePictureBtn
                                    : f.SaveTxtBtn.visible()   ? &f.SaveTxtBtn
                                                               : &f.SaveFilesBtn;
    EXPECT_EQ(save->caption(), c.t.saveCaption);
    EXPECT_EQ(f.SavePictureBtn.visible() + f.SaveTxtBtn.visible() + f.SaveFilesBtn.visible(), 1);
    const std::array<bool, 6> shown = {f.ClipText.visible(),      f.RichText.visible(),
                                       f.ClipPic.visible(),       f.ListBox.visible(),
                                       f.ConvertTxtBtn.visible(), f.FNText.visible()};
    EXPECT_EQ(shown, c.v.shown);
    for (const ui::Control* option : {&f.AddDatecheck, &f.AddTimeCheck, &f.OpenFileCheck})
      EXPECT_EQ(option->visible(), c.v.shown[5]);
    EXPECT_TRUE(f.visible());
    // The focus ends in the name field, or on the copy button when that field is hidden.
    EXPECT_EQ(f.activeControl(), c.v.shown[5] ? static_cast<ui::Control*>(&f.FNText) : save);
    EXPECT_EQ(f.FNText.text(), c.t.name);

    f.setWidth(12000);
    f.setHeight(9000);
    EXPECT_EQ((std::array{f.Frame1.width(), f.Line1.x2(), f.Path.width(), f.UpdateBtn.left(),
                          f.wwwBtn.left(), f.Picture1.left(), f.AddDirBtn.left()}),
              (std::array{12000, 12000, 11500, 10400, 11200, 12000 - f.Picture1.width() - 300,
                          12000 - f.AddDirBtn.width() - 300}));
    const ui::Control* preview = &f.ClipText;
    for (const ui::Control* p :
         std::array<const ui::Control*, 3>{&f.ClipPic, &f.RichText, &f.ListBox})
      preview = p->visible() ? p : preview;
    EXPECT_EQ(preview->width(), c.v.previewWidth);
    EXPECT_EQ(preview->height(), c.v.previewHeight);
    const ui::Control& corner = f.ClipPic.visible() ? f.ResizeBtn : f.ConvertTxtBtn;
    if (c.v.cornerGap) {
      EXPECT_EQ(corner.left(), c.v.previewWidth - corner.width() - c.v.cornerGap);
    }
    if (c.v.bytes.empty())
      continue;
    EXPECT_EQ(s.save(), kSaved);
    EXPECT_EQ(s.t.fileSystem.contents(L"C:\\Data\\Shots\\" + c.t.name), c.v.bytes);
    EXPECT_EQ(s.t.process.beeps, c.v.beeps);
    const bool picture = c.v.image == ModePicture;
    const auto& calls = s.t.gdiplus.calls;
    EXPECT_EQ(calls.size() == 5 && calls[1] == L"createBitmap b17 0" && calls[2].ends_with(L" 200"),
              picture);
    EXPECT_EQ(s.t.settings.values.count(L"Brimlo\\Form1\\Pos\\Left"), picture ? 0u : 1u);
  }
}

TEST(RefreshTest, ProposedNameFollowsCommandLineDirectoryAndExtensionRules) {
  struct Case {
    std::wstring commandLine;
    std::set<ClipFormat> formats;
    std::wstring name;
    std::wstring path = L"C:\\Data\\Shots\\";
    std::wstring currentDir = L"C:\\Data\\Shots";
  };
  const Case cases[] = {
      {L"", kBitmap, L"_Screenshot.JPG", L"C:\\", L"C:\\"},  // the drive's root
      {L"-b Shot.jpeg", kBitmap, L"Shot.jpeg"},
      {L"-b notes.txt", kText, L"notes.txt"},  // any letter case
      {L"-b Shot.JPG", kBitmap, L"Shot.JPG"},
      {L"-b Notes.TXT", kText, L"Notes.TXT"},
      {L"C:\\Pics\\Photo.JpG", kBitmap, L"Photo.JpG", L"C:\\Pics\\"},  // from the menu
      {L"-B Notes", kText, L"Notes.TXT"},
      {L"-b", kBitmap, L"Shots_Screenshot.JPG"},
      {L"-b  My Dumps ", kText, L"My Dumps.TXT"},
      {L"-bMyDumps", kText, L"MyDumps.TXT"},
      {L"Report", kText, L"Report.TXT"},  // a name, no batch run
      {L" -b x", kText, L" -b x.TXT"},    // -b only at the very start
      // An extension-like part of the directory counts.
      {L"Report", kText, L"Report", L"C:\\Old.txt.d\\", L"C:\\Old.txt.d"},
      {L"C:\\Other\\Report", kText, L"Report.TXT", L"C:\\Other\\"},
      {L"-b C:\\Other\\", kText, L"Shots_Text.TXT", L"C:\\Other\\"},  // only a directory
      {L"-b D:/Dumps/", kBitmap, L"Shots_Screenshot.JPG", L"D:/Dumps/"},
      {L"C:\\Docs\\letter.doc", kBitmap, L"letter.doc.JPG", L"C:\\Docs\\"},  // from the menu
  };
  for (const Case& c : cases) {
    fake::Session s(c.formats, c.commandLine);
    s.t.fileSystem.addDirectory(c.currentDir);
    s.t.process.currentDir = c.currentDir;
    s.start();
    EXPECT_EQ(s.form.FNText.text(), c.name) << text::toUtf8(c.commandLine);
    EXPECT_EQ(s.form.Path.text(), c.path) << text::toUtf8(c.commandLine);
  }
}

TEST(RefreshTest, PrefixesComeFromTheClockTimeFirst) {
  struct Case {
    platform::LocalTime time;
    std::wstring date, time_;
  };
  const Case cases[] = {{{2007, 1, 9, 0, 0, 9}, L"07.01.09_", L"00-00-09_"},
                        {{2031, 10, 31, 23, 59, 0}, L"31.10.31_", L"23-59-00_"}};
  for (const Case& c : cases) {
    fake::Session s(kBitmap);
    s.t.clock.time = c.time;
    s.t.settings.values[L"Brimlo\\Settings\\AddDateJPG"] = L"1";
    s.t.settings.values[L"Brimlo\\Settings\\AddTimeJPG"] = L"1";
    s.start();
    EXPECT_EQ(s.form.FNText.text(), c.time_ + c.date + L"Shots_Screenshot.JPG");
  }
}

TEST(RefreshTest, OptionRestoreTakesValidStoredValuesAndStoresNothing) {
  struct Case {
    std::optional<std::wstring> stored;
    int before, after;
  };
  const Case cases[] = {{L"1", 0, 1}, {L"0", 1, 0}, {nullopt, 1, 1},
                        {L"x", 1, 1}, {L"7", 0, 0}, {L"2", 0, 2}};
  for (const Case& c : cases) {
    fake::Session s(kText);
    if (c.stored)
      s.t.settings.values[L"Brimlo\\Settings\\OpenFileTxt"] = *c.stored;
    s.form.OpenFileCheck.setValue(c.before);
    const int writes = s.t.settings.writes;
    s.form.updateFromClipboard();
    EXPECT_EQ(s.form.OpenFileCheck.value(), c.after);
    // Only the always-on-top state is written by a refresh, never an option.
    EXPECT_EQ(s.t.settings.writes - writes, 1);
    EXPECT_EQ(s.t.settings.values.count(L"Brimlo\\Settings\\OpenFileTxt"), c.stored ? 1u : 0u);
  }
}

TEST(RefreshTest, FileListThenTextThenAnEmptyList) {
  fake::Session s(kFiles);
  const std::vector<std::wstring> three{L"C:\\a.txt", L"C:\\b.txt", L"C:\\c.txt"};
  s.t.clipboard.files = three;
  s.start();
  EXPECT_EQ(s.form.ListBox.items(), three);
  EXPECT_FALSE(s.form.ContextMenuCheck.visible());
  EXPECT_TRUE(s.form.FNText.text().empty());
  // The list lies below the top panel, so the copy button stays reachable.
  EXPECT_GE(s.form.ListBox.top(), s.form.Frame1.top() + s.form.Frame1.height());

  s.t.clipboard.formats = kText;
  s.refresh();
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &s.form.OpenFileCheck, &s.form.AddDatecheck, &s.form.AddTimeCheck, &s.form.FNText})
    EXPECT_TRUE(c->visible());
  EXPECT_FALSE(s.form.ContextMenuCheck.visible());
  EXPECT_FALSE(s.form.ListBox.visible());
  EXPECT_EQ(s.form.ListBox.listCount(), 0);
  EXPECT_EQ(s.form.ClipText.text(), L"text");
  // An empty file list is shown as an empty list.
  s.t.clipboard.formats = kFiles;
  s.t.clipboard.files = std::vector<std::wstring>{};
  s.refresh();
  EXPECT_TRUE(s.form.ListBox.visible());
  EXPECT_EQ(s.form.ListBox.listCount(), 0);
}

TEST(RefreshTest, UrlButtonFollowsTheTextOnEveryChange) {
  // LF is no line break; CR LF is.
  const std::vector<std::wstring> urls = {L"https://example.org/page", L"WWW.EXAMPLE.ORG",
                                          L"see www.example.org",      L"wWw.x",
                                          L"line one\nhttps://x.org",  L"ends in //"};
  const std::vector<std::wstring> others = {
      L"https://example.org/page\r\n", L"just words", L"ww.w.example", L"www", L"x/y/z", L"/", L""};
  fake::Started s(kText);
  for (const auto* texts : {&urls, &others}) {
    for (const std::wstring& text : *texts) {
      s.form.ClipText.setText(text);
      EXPECT_EQ(s.form.SaveURLBtn.visible(), texts == &urls) << text::toUtf8(text);
    }
  }
  // F5 with the same address still on the clipboard: the text does not change, the button stays.
  s.t.clipboard.textContent = L"https://example.org/page";
  s.refresh();
  s.refresh();
  EXPECT_TRUE(s.form.SaveURLBtn.visible());
}

TEST(RefreshTest, PictureRefreshHoldsTheBitmapAlternatesTheViewAndLightsUpFields) {
  fake::Started s(kBitmap);
  ASSERT_NE(s.form.picture(), nullptr);
  EXPECT_EQ(s.form.picture()->widthPixels(), 64);
  EXPECT_TRUE(s.form.PictureFitted);  // the first picture is shown stretched
  EXPECT_NE(s.form.ClipPic.drawing().picture, nullptr);
  EXPECT_EQ(s.t.clipboard.opens, s.t.clipboard.closes);
  s.refresh();
  EXPECT_FALSE(s.form.PictureFitted);
  // An unreadable bitmap leaves no held picture but keeps the picture mode.
  s.t.clipboard.picture.reset();
  s.refresh();
  EXPECT_EQ(s.form.picture(), nullptr);
  EXPECT_TRUE(s.form.SavePictureBtn.visible());
  // The mode image lights up under the mouse, and the preview's text field when it has the focus.
  s.form.Picture1.userMouseMove(0, 0, 10, 10);
  EXPECT_NE(s.form.Picture1.backColor(), s.form.Frame1.backColor());
  s.form.Frame1.userMouseMove(0, 0, 10, 10);
  EXPECT_EQ(s.form.Picture1.backColor(), s.form.Frame1.backColor());
  s.form.ClipText.setVisible(true);
  ASSERT_TRUE(s.form.setFocus(s.form.ClipText));
  EXPECT_EQ(s.form.SaveURLBtn.backColor(), s.form.ClipText.backColor());
}

TEST(RefreshTest, QuestionMarkShowsTheHelpBoxBeforeTheWindow) {
  fake::Session s(kText, L"?");
  s.t.process.programBaseName = L"Grab";
  s.start();
  // The help names the program as it was started.
  ASSERT_EQ(s.said().size(), 1u);
  EXPECT_NE(s.said()[0].find(L"\rGrab.exe -b  MyDumps\r"), std::wstring::npos);
  EXPECT_EQ(s.t.dialogs.shown[0].title, L"Brimlo -> " + server::HostName() + L"/BrimloSite");
  // The mode image shows the same box.
  s.form.Picture1.userClick();
  EXPECT_EQ(s.t.dialogs.shown, (fake::Boxes{s.t.dialogs.shown[0], s.t.dialogs.shown[0]}));
}

}  // namespace
