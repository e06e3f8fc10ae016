// The help box and the small handlers of the preview fields.
#include "app/Form1.h"
#include "shell/Server.h"

namespace {
constexpr ui::Color kHoverGrey = 0x00E0E0E0;
constexpr ui::Color kWhite = 0x00FFFFFF;
}  // namespace

void Form1::Helpbtn_Click() {
  const std::wstring text =
      std::wstring(L"Press F5 to Update from Clipboard\r") + L"\r" + L"Command Line Parameter:\r" +
      L"\r" + L"-b = Batch-Mode (silent)\r" + L"[Name] = Filename (without extension)\r" + L"\r" +
      L"Example:\r" + L"\r" + p_.process.programName() + L".exe -b  MyDumps\r" +
      L"-> creates '\\MyDumps.Jpg' or '\\MyDumps.txt' in the current directory";
  p_.dialogs.messageBox(text, platform::box::kInformation,
                        L"Brimlo -> " + server::HostName() + L"/BrimloSite");
}

void Form1::Picture1_Click() {
  Helpbtn_Click();
}

void Form1::Picture1_MouseMove(int, int, int, int) {
  if (Picture1.backColor() != kHoverGrey)
    Picture1.setBackColor(kHoverGrey);
}

void Form1::ClipText_Change() {
  SaveURLBtn.setVisible(IsWebAddress(ClipText.text()));
}

void Form1::ClipText_GotFocus() {
  ClipText.setBackColor(kWhite);
  SaveURLBtn.setBackColor(ClipText.backColor());
}

void Form1::ClipPic_Click() {
  ResizeBtn_Click();
}
