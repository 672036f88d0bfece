#include "windows/Instr2Scrn.h"

#include "shell/media.h"

namespace {

constexpr fw::Color kBackColor = fw::RGB(171, 181, 196);
constexpr fw::Color kPageColor = fw::RGB(250, 255, 39);
constexpr fw::Color kPage2Color = fw::RGB(255, 252, 115);
constexpr fw::Color kDirColor = fw::RGB(255, 254, 3);
constexpr int kTextSize = 12;     // points
constexpr int kHeadingSize = 14;  // points

constexpr const char* kPage1 =
    "Object: To burst all of the blue bubbles thus finishing a round. Total rounds = 15\n"
    "\n"
    "Method:\n"
    "1) Bounce the red ball off the paddle: every bubble the ball hits bursts. The mouse moves the paddle, "
    "and where the ball meets the paddle sets its new direction. The edges of the paddle speed the ball up; "
    "its middle slows it down. Press P to pause; the button beside the field goes on.\n"
    "2) Shoot the bubbles: the space bar fires a bullet from the middle of the paddle, and the \"c\" key fires "
    "a ricochet bullet. A bullet that hits the paddle costs a life. No other bullet can be fired until the "
    "first has left the screen.\n"
    "\n"
    "Bad Things: A dropped ball costs a life (a ball). A bubble touching the paddle costs a life, and so does "
    "an acid raindrop hitting it. When the balls run out, the game is over.\n"
    "\n"
    "From time to time, and more often in the later rounds, a bonus square drops from the top. Rest the mouse "
    "over a square below to see what it does if it hits the paddle.";

constexpr const char* kPage2 =
    "Scoring: Each bubble you burst is worth 100 points, and each further bubble burst before the ball "
    "touches the paddle again is worth 100 more than the one before, bubbles burst by a bullet included: "
    "the first 100, the second 200, the third 300 and so on. Catching the \"2\" drop doubles these points. "
    "Finish a round in under 60 seconds to earn a time bonus.\n"
    "\n"
    "Game Speed: Set the speed from the Difficulty menu. Hitting the ball with the edge of the paddle "
    "speeds it up.\n"
    "\n"
    "A life lost to a bubble touching the paddle, to acid rain or to the \"Badee\" drop is marked by a sound, "
    "but play goes on. After a dropped ball, a new ball enters from the top of the screen after about a "
    "second.\n"
    "\n"
    "Catch the \"ball\" drop, or finish a bonus round perfectly, to win an extra life.\n"
    "\n"
    "A bonus round follows round 5 and round 10. Its own instructions are shown before it starts.";

constexpr const char* kPage3 =
    "Saving a Game: Click 'End Game' at the end of a round to be offered to save the unfinished game, or "
    "choose 'Save Game' from the File menu. When you start the game again you may resume the saved game. "
    "A resumed game is erased, and there is no saved game until you save another. Only one game can be "
    "saved at a time.\n"
    "\n"
    "Rule Change...\n"
    "For levels 11 to 15, once a bullet is fired no other can be fired until the ball has burst at least "
    "one bubble.";

struct ShownPicture {
  fw::Ref<fw::Picture> (*picture)();
  const char* helpTag;
};
constexpr std::array<ShownPicture, 7> kShown = {{
    {&bullet, "A bullet"},
    {&Drop, "Acid Rain"},
    {&BadDrop, "Badee!!!! You lose a life."},
    {&BltDrop, "Gives you 5 extra bullets"},
    {&PadDrop, "Makes the paddle larger for the duration of that round."},
    {&BallDrop, "Gives you an extra life (ball)"},
    {&DblDrop, "Doubles your points for the duration of that round."},
}};

void PageText(fw::StaticText& t, const char* text, fw::Color color) {
  t.SetMultiline(true);
  t.SetText(text);
  t.SetTextFont("System");
  t.SetTextColor(color);
  t.SetTextSize(kTextSize);
  t.SetTextAlign(fw::StaticText::kLeft);
}

void DirLabel(fw::StaticText& t, const char* text) {
  t.SetText(text);
  t.SetTextFont("System");
  t.SetTextColor(kDirColor);
  t.SetTextSize(kTextSize);
  t.SetTextAlign(fw::StaticText::kLeft);
}

}  // namespace

Instr2Scrn::Instr2Scrn() {
  Layout();
  CreateControls();
}

void Instr2Scrn::Layout() {
  SetSize(640, 440);
  SetTitle("Instructions");
  SetCloseButton(true);
  SetResizeable(true);
  SetBackColor(kBackColor, true);
}

void Instr2Scrn::CreateControls() {
  PagePanel1.SetPageCount(kLastPage + 1);
  PagePanel1.SetValue(0);

  PageText(StaticText2, kPage1, kPageColor);
  PagePanel1.AddToPage(0, StaticText2);
  for (int i = 0; i < showCnv.Count(); ++i) {
    const ShownPicture& shown = kShown.at(static_cast<std::size_t>(i));
    showCnv(i).SetBackdrop(shown.picture());
    showCnv(i).SetHelpTag(shown.helpTag);
    PagePanel1.AddToPage(0, showCnv(i));
  }
  PageText(StaticText3, kPage2, kPage2Color);
  PagePanel1.AddToPage(1, StaticText3);
  PageText(StaticText4, kPage3, kPageColor);
  StaticText4.SetLockBottom(true);
  PagePanel1.AddToPage(2, StaticText4);

  StaticText1.SetText("** Zembo Instructions **");
  StaticText1.SetTextFont("System");
  StaticText1.SetTextColor(fw::RGB(0, 0, 0));
  StaticText1.SetTextSize(kHeadingSize);
  StaticText1.SetTextAlign(fw::StaticText::kCenter);

  PrevCnv.SetBackdrop(PrevBtn());
  PrevCnv.SetVisible(false);
  PrevCnv.MouseDown = [this](int x, int y) { return PrevCnv_MouseDown(x, y); };
  PrevCnv.MouseUp = [this](int x, int y) { PrevCnv_MouseUp(x, y); };
  ExitCnv.SetBackdrop(ExitBtn());
  ExitCnv.MouseDown = [this](int x, int y) { return ExitCnv_MouseDown(x, y); };
  ExitCnv.MouseUp = [this](int x, int y) { ExitCnv_MouseUp(x, y); };
  nextCnv.SetBackdrop(NextBtn());
  nextCnv.MouseDown = [this](int x, int y) { return nextCnv_MouseDown(x, y); };
  nextCnv.MouseUp = [this](int x, int y) { nextCnv_MouseUp(x, y); };

  DirLabel(DirTxt(0), "Next");
  DirLabel(DirTxt(1), "Prev.");
  DirTxt(1).SetVisible(false);
}

void Instr2Scrn::Event_Open() { curPage = 0; }

bool Instr2Scrn::Event_KeyDown(const std::string& key) {
  // The platform reports Return as a carriage return.
  if (key == fw::EndOfLine || key == "\r") Close();
  return false;
}

// A press on an arrow takes the release too, wherever it happens: the page turns then.
bool Instr2Scrn::PrevCnv_MouseDown(int, int) { return true; }
bool Instr2Scrn::ExitCnv_MouseDown(int, int) { return true; }
bool Instr2Scrn::nextCnv_MouseDown(int, int) { return true; }

// The arrow that would leave the pages is hidden at either end, so curPage needs no check.
void Instr2Scrn::nextCnv_MouseUp(int, int) {
  curPage = curPage + 1;
  PagePanel1.SetValue(curPage);
  PrevCnv.SetVisible(true);
  DirTxt(1).SetVisible(true);
  if (curPage == kLastPage) {
    nextCnv.SetVisible(false);
    DirTxt(0).SetVisible(false);
  }
}

void Instr2Scrn::PrevCnv_MouseUp(int, int) {
  curPage = curPage - 1;
  PagePanel1.SetValue(curPage);
  nextCnv.SetVisible(true);
  DirTxt(0).SetVisible(true);
  if (curPage == 0) {
    PrevCnv.SetVisible(false);
    DirTxt(1).SetVisible(false);
  }
}

void Instr2Scrn::ExitCnv_MouseUp(int, int) { Close(); }
