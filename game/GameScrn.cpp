// The play window: its construction, the layout of its controls, and its opening.
#include "game/GameScrn.h"

#include "framework/Application.h"
#include "game/GameScrnParts.h"
#include "shell/Menu.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/getCurPl.h"

namespace {

void Label(fw::StaticText& t, std::string_view text, int size, int align, fw::Color color = fw::RGB(0, 0, 0)) {
  t.SetText(text);
  t.SetTextSize(size);
  t.SetTextAlign(align);
  t.SetTextColor(color);
}

}  // namespace

using namespace game::scrn;

GameScrn::GameScrn() {
  Layout();
  AddMenuHandlers();
}

GameScrn::~GameScrn() = default;

void GameScrn::Layout() {
  SetMenuBar(&Menu::Instance());
  SetResizeable(false);
  SetSize(640, 520);
  SetTitle("Vivuz ide Zevezer");
  SetCloseButton(true);
  SetMaximizeButton(false);
  SetBackColor(game::kPanelBack, true);

  mySS.SetBackColor(game::kFieldBack);
  mySS.NextFrame = [this] { mySS_NextFrame(); };
  mySS.Collision = [this](fw::Sprite& a, fw::Sprite& b) { mySS_Collision(a, b); };
  roundTimer.Action = [this] { roundTimer_Action(); };
  ScoreCnv.SetBackdrop(ScoreBkg());
  ScoreCnv.Paint = [this](fw::Graphics& g) { ScoreCnv_Paint(g); };
  Label(StaticText1, "- Your Score -", 12, fw::StaticText::kCenter, fw::RGB(0xAC, 0x00, 0xE1));
  Label(StaticText2, "Bullets", 12, fw::StaticText::kCenter);
  Label(StaticText3, "<-20", 9, fw::StaticText::kLeft);
  Label(StaticText4, "<-0", 9, fw::StaticText::kLeft);
  Label(StaticText5, "<- 10", 9, fw::StaticText::kLeft);
  Label(StaticText6, "<- 15", 9, fw::StaticText::kLeft);
  Label(StaticText7, "<- 5", 9, fw::StaticText::kLeft);
  for (int i = 0; i < ballCnv.Count(); ++i) {
    fw::Canvas& c = ballCnv(i);
    c.Paint = [this, &c](fw::Graphics& g) { ballCnv_Paint(c, g); };
  }
  Label(StaticText9, "- Ball Count -", 12, fw::StaticText::kCenter);
  showTimer.Action = [this] { showTimer_Action(); };
  Label(StaticText8, "Round Time", 12, fw::StaticText::kLeft);
  Label(RndTxt, "Round #1", 12, fw::StaticText::kCenter, fw::RGB(0xAC, 0x00, 0xE1));
  Line1.SetBorderWidth(1);
  Line1.SetLineColor(fw::RGB(0, 0, 0));
  timeCnv.Paint = [this](fw::Graphics& g) { timeCnv_Paint(g); };
  BltCnv.Paint = [this](fw::Graphics& g) { BltCnv_Paint(g); };
  Label(pauseInfo, "Click to Start", 10, fw::StaticText::kCenter);
  pauseInfo.SetMultiline(true);
  BltCtCnv.Paint = [this](fw::Graphics& g) { BltCtCnv_Paint(g); };
  stlFocus.SetTextSize(12);
  // It only holds the focus during play, so that typed keys go nowhere.
  stlFocus.KeyDown = [](const std::string&) { return true; };
  dblCnv.Paint = [this](fw::Graphics& g) { dblCnv_Paint(g); };
  Label(StaticText10, "Bullets", 9, fw::StaticText::kLeft);
  runBtn.Open = [this] { runBtn_Open(); };
  runBtn.MouseUp = [this](int x, int y) { runBtn_MouseUp(x, y); };
}

bool GameScrn::Event_CancelClose() {
  if (fw::Application* a = CurApp()) a->Quit();
  return true;
}

void GameScrn::Event_Open() {
  media::Play(&pop);
  globals::gAddedLine = -1;
  setSpeedMenu(1);
  getCurPl::Instance().ShowModal();
}
