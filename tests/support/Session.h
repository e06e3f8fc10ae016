#pragma once
#include <set>

#include "app/Form1.h"
#include "support/Fakes.h"

namespace fake {

// The program over fresh fakes, as a user in C:\Data\Shots starts it. The clipboard offers the
// given formats, each with content: the text "text", a 64 x 48 picture, the file C:\a.txt, an RTF
// document; a test changes what it needs before it starts the window. The rich-text box has a
// window side that writes a known document.
struct Session {
  explicit Session(std::set<platform::ClipFormat> formats = {}, std::wstring commandLine = L"") {
    t.fileSystem.addDirectory(L"C:\\Data\\Shots");
    t.process.commandLineText = std::move(commandLine);
    t.clipboard.formats = std::move(formats);
    t.clipboard.textContent = L"text";
    t.clipboard.rtfContent = "{\\rtf1 clipboard}";
    t.clipboard.picture = std::make_shared<FakePicture>(64, 48, 0xB17);
    t.clipboard.files = std::vector<std::wstring>{L"C:\\a.txt"};
    form.RichText.attachRichPeer(&rich);
  }
  // Runs an action of the program: its exit status, or nothing while it keeps running.
  template <class F>
  std::optional<int> run(F&& action) {
    return exitStatusOf(action);
  }
  std::optional<int> start() {
    return run([&] { form.load(); });
  }
  // The save button of the mode shown.
  std::optional<int> save() {
    return run([&] {
      if (form.SavePictureBtn.visible())
        form.SavePictureBtn_Click();
      else if (form.SaveFilesBtn.visible())
        form.SaveFilesBtn_Click();
      else
        form.SaveTxtBtn_Click();
    });
  }
  // The F5 key.
  void refresh() { form.userKeyDown(116, 0); }
  // The texts of the boxes shown so far.
  std::vector<std::wstring> said() const {
    std::vector<std::wstring> texts;
    for (const Box& b : t.dialogs.shown)
      texts.push_back(b.text);
    return texts;
  }
  TestPlatform t;
  FakeRichPeer rich;
  Form1 form{t.platform};
};

// A session whose window has started.
struct Started : Session {
  explicit Started(std::set<platform::ClipFormat> formats = {}, std::wstring commandLine = L"")
      : Session(std::move(formats), std::move(commandLine)) {
    start();
  }
};

}  // namespace fake
