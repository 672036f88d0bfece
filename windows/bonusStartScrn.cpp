#include "windows/bonusStartScrn.h"

#include <string>

#include "game/BonusRd.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

// The counter's value for the page that announces the late-game rule.
constexpr int kRulePage = 3;

constexpr fw::Color kHeading = fw::RGB(172, 0, 225);
constexpr fw::Color kBlack = fw::RGB(0, 0, 0);

constexpr const char* kBonus1Rules =
    "> 10 purple bubbles will cross your screen from left to right at various speeds.\r"
    "> Shoot as many of them as you can: every bubble you burst is worth 100 pts.\r"
    "> Burst all 10 of them and you earn an extra life!";

constexpr const char* kBonus2Rules =
    "> In this round 'acid raindrops' will fall fast and furious.\r"
    "> Dodge them with your paddle for as long as you can.\r"
    "> Every 10 seconds without a drop hitting your paddle earns 100 pts.\r"
    "> Dodge them for 100 seconds and you earn an extra life!";

constexpr const char* kLateRule =
    "For Levels 11 - 15:\r"
    "\r"
    "Once you have fired a bullet, you cannot fire another one until THE BALL has burst at least one bubble.\r"
    "GOOD LUCK !!!";

void Page(fw::StaticText& t, const char* text, int align, int size) {
  t.SetText(text);
  t.SetMultiline(true);
  t.SetTextAlign(align);
  t.SetTextColor(kBlack);
  t.SetTextSize(size);
}

}  // namespace

bonusStartScrn::bonusStartScrn() { Layout(); }

void bonusStartScrn::Layout() {
  SetSize(400, 210);
  SetResizeable(false);
  SetTitle("Bonus Start");
  SetCloseButton(false);
  SetMaximizeButton(false);

  StaticText1.SetTextAlign(fw::StaticText::kCenter);
  StaticText1.SetTextColor(kHeading);
  StaticText1.SetTextSize(36);
  StaticText1.Open = [this] { StaticText1_Open(); };

  PagePanel1.SetPageCount(3);
  PagePanel1.SetValue(0);
  Page(StaticText2, kBonus1Rules, fw::StaticText::kLeft, 12);
  Page(StaticText3, kBonus2Rules, fw::StaticText::kLeft, 12);
  Page(StaticText4, kLateRule, fw::StaticText::kCenter, 0);  // the system's own size
  PagePanel1.AddToPage(0, StaticText2);
  PagePanel1.AddToPage(1, StaticText3);
  PagePanel1.AddToPage(2, StaticText4);

  noShowBtn.SetCaption("Don't show this screen next time.");
  noShowBtn.SetTextSize(10);
  noShowBtn.SetValue(false);

  startBtn.Open = [this] { startBtn_Open(); };
  startBtn.MouseUp = [this](int x, int y) { startBtn_MouseUp(x, y); };
}

void bonusStartScrn::Event_Open() {
  // The panel counts its pages from 0, the counter from 1.
  PagePanel1.SetValue(BonusRd::bonusRndCt - 1);
  if (BonusRd::bonusRndCt == kRulePage) SetTitle("Warning");
}

void bonusStartScrn::StaticText1_Open() {
  if (BonusRd::bonusRndCt < kRulePage)
    StaticText1.SetText("Bonus Round #" + std::to_string(BonusRd::bonusRndCt));
  else
    StaticText1.SetText("NEW RULE !!!");
}

void bonusStartScrn::startBtn_Open() {
  startBtn.setParams("Begin", picHolder::gAquaLg, fw::RGB(240, 240, 240), 14);
}

void bonusStartScrn::startBtn_MouseUp(int, int) {
  startBtn.Unpress();
  if (noShowBtn.Value()) globals::gNoShowBScrn = true;
  // The rule page is shown once per game: the later rounds find the counter at 0.
  if (BonusRd::bonusRndCt == kRulePage) BonusRd::bonusRndCt = 0;
  Close();
}
