#include "windows/aboutScrn.h"

#include <cstdio>

#include "framework/Application.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/maker.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kBlack = fw::RGB(0, 0, 0);
constexpr fw::Color kCaptionColor = fw::RGB(240, 240, 240);
constexpr int kCaptionSize = 14;  // points

void Label(fw::StaticText& t, std::string_view text, fw::Color color, int size, int align) {
  t.SetText(text);
  t.SetTextFont("System");
  t.SetTextColor(color);
  t.SetTextSize(size);
  t.SetTextAlign(align);
}

}  // namespace

aboutScrn::aboutScrn() {
  Layout();
  CreateControls();
  acceptBtn.setParams("Close", picHolder::gAquaLg, kCaptionColor, kCaptionSize);
}

void aboutScrn::Layout() {
  SetBackdrop(MetalBkg());
  SetSize(500, 400);
  SetTitle("About Zembo");
  SetCloseButton(false);
  SetMaximizeButton(false);
  SetResizeable(false);
}

void aboutScrn::CreateControls() {
  using fw::StaticText;
  Label(StaticText2, "presents", kBlack, 10, StaticText::kCenter);
  // The name line follows the running version rather than a number written here.
  Label(StaticText3, "**  Zembo " + fw::CurrentApp()->ShortVersion() + "  **", fw::RGB(194, 0, 255), 24,
        StaticText::kCenter);
  StaticText4.SetMultiline(true);
  Label(StaticText4, "Copyright Tarrow Software. All rights reserved.\nFree to share; please do not sell it.", kBlack,
        9, StaticText::kCenter);
  StaticText5.SetMultiline(true);
  Label(StaticText5,
        "We hope you enjoy Zembo. To see our other titles for learning and for fun, visit our web site at:",
        kBlack, 12, StaticText::kLeft);
  Label(URLTxt, maker::kSiteAddress, fw::RGB(0, 0, 255), 12, StaticText::kCenter);
  URLTxt.MouseEnter = [this] { URLTxt_MouseEnter(); };
  URLTxt.MouseExit = [this] { URLTxt_MouseExit(); };
  URLTxt.MouseDown = [this](int x, int y) { return URLTxt_MouseDown(x, y); };
  URLTxt.MouseUp = [this](int x, int y) { URLTxt_MouseUp(x, y); };
  Label(StaticText10, "version info", kBlack, 12, StaticText::kCenter);
  StaticText10.Open = [this] { StaticText10_Open(); };
  Label(StaticText1, "Tarrow Software - Shareware for Education", kBlack, 12, StaticText::kCenter);
  StaticText1.SetBold(true);
  StaticText11.SetMultiline(true);
  Label(StaticText11,
        "There you will find our shareware for home and school: games and drills for spelling, arithmetic "
        "and typing, with new titles and updates to the ones you know.",
        kBlack, 0, StaticText::kLeft);
  acceptBtn.MouseUp = [this](int x, int y) { acceptBtn_MouseUp(x, y); };
  Label(buildTxt, "", kBlack, 9, StaticText::kRight);
  buildTxt.Open = [this] { buildTxt_Open(); };
}

void aboutScrn::StaticText10_Open() { StaticText10.SetText("Zembo version: " + fw::CurrentApp()->ShortVersion()); }

void aboutScrn::buildTxt_Open() { buildTxt.SetText("Build # " + fw::Str(fw::CurrentApp()->BugVersion())); }

void aboutScrn::URLTxt_MouseEnter() { SetMouseCursor(fw::Cursors::FingerPointer()); }
void aboutScrn::URLTxt_MouseExit() { SetMouseCursor(fw::Cursors::StandardPointer()); }
bool aboutScrn::URLTxt_MouseDown(int, int) { return true; }
void aboutScrn::URLTxt_MouseUp(int, int) { fw::ShowURL(URLTxt.Text()); }

// Released anywhere after a press on the button: the button goes back, then acts.
void aboutScrn::acceptBtn_MouseUp(int, int) {
  acceptBtn.Unpress();
  if (fw::AsyncOptionKey()) resetData();
  Close();
}

// The new contents replace the old file in one step, so there is no moment without
// a data file; when that write fails the old file stays, and so do the values in memory
// that it holds.
void aboutScrn::resetData() {
  const std::string player = globals::gCurPlayer;
  const auto fame = globals::FameList;
  if (App().initVars()) return;
  globals::gCurPlayer = player;
  globals::FameList = fame;
  std::fprintf(stderr, "zembo: the saved data could not be reset; it is kept as it was\n");
}

bool aboutScrn::Event_KeyDown(const std::string& key) {
  if (key == fw::Chr(3) || key == fw::Chr(13)) {
    Close();
    return true;
  }
  return false;
}
