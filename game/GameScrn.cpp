#include "game/GameScrn.h"

#include <algorithm>
#include <utility>

#include "framework/Application.h"
#include "framework/Clock.h"
#include "framework/Menu.h"
#include "framework/MessageDialog.h"
#include "game/BonusRd.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/HallOfFame.h"
#include "windows/Instr2Scrn.h"
#include "windows/RoundScrn.h"
#include "windows/aboutScrn.h"
#include "windows/bonusStartScrn.h"
#include "windows/checkVersScrn.h"
#include "windows/getCurPl.h"

namespace {

constexpr int kStartPadWidth = 64;    // pixels
constexpr int kWidestPadWidth = 90;   // pixels
constexpr int kPadAboveBottom = 10;   // pixels between the paddle's top and the field's bottom
constexpr int kPadGroup = -2;
constexpr int kDrawRange = 1000;      // a normal frame's draw is 1..1000
constexpr int kRainDraw = 460;        // raindrops come just above this draw
constexpr int kBonus2Draw = 104;      // a Bonus #2 frame's draw is 1..104
constexpr int kBulletsPerDrop = 5;
constexpr int kPointsPerChain = 100;  // times the chain length
constexpr int kGaugeRowsPerBullet = 10;
constexpr int kGaugeHeight = 200;     // pixels
constexpr int kBonusSeconds = 61;     // tells the status window: no time bonus
constexpr int kGameOverRound = 18;    // the internal round after the last one
constexpr int kStartBullets = 10;
constexpr int kStartBalls = 2;        // spare balls besides the one in play
constexpr int kLateRulePage = 3;      // the bonus counter's value that announces the late-game rule
constexpr int kHardest = 2;           // difficulty 0 Easy .. 2 Hard
constexpr std::string_view kPlayingPrompt = "<p> to pause game";

fw::Application* CurApp() { return fw::CurrentApp(); }

// The game's application object, when it is the one running (tests may run a bare one).
app* TheApp() { return dynamic_cast<app*>(CurApp()); }

void MarkDirty() {
  if (app* a = TheApp()) a->isDirty = true;
}

void SetPointer(const fw::MouseCursor* c) {
  if (fw::Application* a = CurApp()) a->SetMouseCursor(c);
}

int Channel(double v) { return std::clamp(static_cast<int>(v), 0, 255); }

void Label(fw::StaticText& t, std::string_view text, int size, int align, fw::Color color = fw::RGB(0, 0, 0)) {
  t.SetText(text);
  t.SetTextSize(size);
  t.SetTextAlign(align);
  t.SetTextColor(color);
}

}  // namespace

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

// ---- Game flow ----

void GameScrn::Event_Open() {
  media::Play(&pop);
  globals::gAddedLine = -1;
  setSpeedMenu(1);
  getCurPl::Instance().ShowModal();
}

void GameScrn::gameStart(bool allowResume) {
  ++gameNumber_;
  if (savedInfo::isSavedGame && allowResume) {
    askResume();
  } else {
    initStartVars();
  }
  reinit();
  if (globals::gIsNewPlayer && !savedInfo::isSavedGame) {
    globals::gIsNewPlayer = false;
    Instr2Scrn::Instance().ShowModal();
  }
}

void GameScrn::initStartVars() {
  round = 0;
  globals::gTotScore = 0;
  bltCt = kStartBullets;
  ballCt = kStartBalls;
  rainCt = 0;
  gameOver = false;
}

void GameScrn::reinit() {
  ++round;
  if (round == kGameOverRound) {
    hndlClosingGame();
  } else {
    RndTxt.SetText(setRound());
    bool lateRuleDue = !isBonusRnd && BonusRd::bonusRndCt == kLateRulePage;
    if (!globals::gNoShowBScrn && (isBonusRnd || lateRuleDue)) bonusStartScrn::Instance().ShowModal();
    prohibitShot = false;
  }
  scoreMult = 0;
  curScore = 0;
  ScoreCnv.Refresh(true);
  lastTime = 0;
  timeCnv.Refresh(true);
  BltCtCnv.Refresh(true);
  BltCnv.Refresh(true);
  doDbl = false;
  dblCnv.Refresh(true);
  for (int i = 0; i < game::kBallCanvases; ++i) ballCnv(i).Refresh(true);
  globals::gPadWidth = kStartPadWidth;
  runBtn.chgCaption(round == 1 ? "New Game" : "Continue");
  runBtn.Refresh(true);
  runBtn.SetVisible(true);
  pauseInfo.SetText("Click to Start");
  phase_ = Phase::Ready;
}

std::string GameScrn::setRound() {
  int offset = round > 12 ? 2 : round > 5 ? 1 : 0;
  if (round == 6) {
    isBonusRnd = true;
    BonusRd::bonusRndCt = 1;
    return "Bonus #1";
  }
  if (round == 12) {
    isBonusRnd = true;
    BonusRd::bonusRndCt = 2;
    return "Bonus #2";
  }
  if (round == 13) BonusRd::bonusRndCt = kLateRulePage;
  isBonusRnd = false;
  return "Round #" + fw::Str(round - offset);
}

bool GameScrn::checkProhibit() const { return round > 12; }

void GameScrn::gameCleanup() {
  if (myPAD) myPAD->Close();
  if (redBall) redBall->Close();
  if (theBlt) theBlt->Close();
  if (theDrop) theDrop->Close();
  for (int i = 0; i < totBubbles; ++i)
    if (blBubble[static_cast<std::size_t>(i)]) blBubble[static_cast<std::size_t>(i)]->Close();
  closeRain();
  mySS.Refresh();
}

void GameScrn::closeRain() {
  for (int i = rainCt - 1; i >= 0; --i) theRain[static_cast<std::size_t>(i)]->Close();
  theRain.clear();
  rainCt = 0;
}

void GameScrn::roundTimer_Action() {
  gameCleanup();
  roundTimer.SetMode(fw::Timer::kOff);
  SetPointer(fw::Cursors::StandardPointer());
  openStatusWindow({curScore, lastTime, round, isWinner, isPractice == 1});
  if (isPractice == 1) hndlAbort();
}

void GameScrn::openStatusWindow(const RoundResult& result) {
  lastResult = result;
  fw::Open<RoundScrn>(result.points, result.seconds, result.level, result.won, result.practice);
}

void GameScrn::showTimer_Action() {
  HallOfFame::Instance().Show();
  showTimer.SetMode(fw::Timer::kOff);
}

void GameScrn::hndlClosingGame() {
  if (checkScore()) showTimer.SetMode(fw::Timer::kSingle);
  gameStart(false);
}

void GameScrn::abandonRound() {
  mySS.Stop();
  roundTimer.SetMode(fw::Timer::kOff);
  isPause = false;
  gameRunning = false;
  isBonusRnd = false;
  SetPointer(fw::Cursors::StandardPointer());
  gameCleanup();
  ctDown = 0;
  needBall = false;
  hold_.reset();
  BonusRd::abandon();
  runBtn.SetVisible(false);
  phase_ = Phase::Idle;
}

void GameScrn::hndlAbort() {
  abandonRound();
  if (isPractice > 0) {
    isPractice = 0;
    gameStart(false);
  } else if (checkScore()) {
    // The hall-of-fame window starts the next game when it closes.
    showTimer.SetMode(fw::Timer::kSingle);
  } else {
    gameStart(false);
  }
}

void GameScrn::confirmAbort() {
  fw::MessageDialog d;
  d.Icon = 1;
  d.Message = "Are you sure you want to quit the current game?";
  d.Explanation = "The game will NOT be saved.";
  d.ActionButton.Caption = "Abort Game";
  d.CancelButton.Visible = true;
  if (d.ShowModal() == fw::MessageDialog::Pressed::Action) hndlAbort();
}

void GameScrn::askSave() {
  fw::MessageDialog d;
  d.Icon = 1;
  d.Message = "Save the current game before quitting?";
  d.Explanation = "Click 'Cancel' to continue playing.";
  d.ActionButton.Caption = "Save Game";
  d.AlternateActionButton = {"Don't Save", true, false};
  d.CancelButton.Visible = true;
  switch (d.ShowModal()) {
    case fw::MessageDialog::Pressed::Action:
      saveInfo(false);
      gameStart(false);
      break;
    case fw::MessageDialog::Pressed::Alternate:
      gameStart(false);
      break;
    default:
      // Dismissed any other way, the question was not answered: play on.
      reinit();
      break;
  }
}

void GameScrn::endRound() {
  // P may have been pressed in the very frame that ended the round.
  if (isPause) pauseInfo.SetText(kPlayingPrompt);
  isPause = false;
  runBtn.SetVisible(false);
}

// ---- The hold ----

void GameScrn::Event_Held(bool held) {
  if (held) {
    if (phase_ != Phase::InPlay || hold_) return;
    hold_ = Hold{fw::Ticks(), mySS.IsRunning()};
    roundTimer.Hold(true);
    if (hold_->frames) {
      mySS.Stop();
      SetPointer(fw::Cursors::StandardPointer());
    }
    return;
  }
  if (!hold_) return;
  Hold h = *std::exchange(hold_, std::nullopt);
  // Time held is not the round's: its clock goes on from where it stood.
  startTicks += static_cast<double>(fw::Ticks() - h.since);
  roundTimer.Hold(false);
  if (h.frames) playOn();
}

// ---- Saved game and hall-of-fame entry ----

void GameScrn::saveInfo(bool fromMenu) {
  savedInfo::isSavedGame = true;
  savedInfo::svRound = fromMenu ? round - 1 : round;
  savedInfo::svTotScore = globals::gTotScore;
  savedInfo::svBltCt = bltCt;
  savedInfo::svBallCt = ballCt;
  savedInfo::svDiffLev = globals::gDiffFactor;
  app* a = TheApp();
  if (a && a->writeFile()) {
    fw::MsgBox("The current game has been saved.");
    return;
  }
  // Kept in memory: the next save, or the write at quit, tries again.
  if (a) a->isDirty = true;
  fw::MsgBox("The current game could not be saved.");
}

void GameScrn::askResume() {
  fw::MessageDialog d;
  d.Icon = 1;
  d.Message = "Resume the saved game?";
  d.Explanation = "Click 'Cancel' to play a NEW game";
  d.ActionButton.Caption = "Resume";
  d.CancelButton.Visible = true;
  if (d.ShowModal() != fw::MessageDialog::Pressed::Action) {
    // Dismissed any other way too: a game needs its values.
    initStartVars();
    return;
  }
  // A damaged data file must still give a round that can be prepared and played.
  round = std::clamp(savedInfo::svRound, 0, kGameOverRound - 2);
  globals::gTotScore = std::clamp(savedInfo::svTotScore, 0, globals::kMaxTotScore);
  bltCt = std::clamp(savedInfo::svBltCt, 0, game::kMaxBullets);
  ballCt = std::clamp(savedInfo::svBallCt, 0, game::kBallCanvases);
  setSpeedMenu(std::clamp(savedInfo::svDiffLev, 0, kHardest));
  savedInfo::isSavedGame = false;
  MarkDirty();
}

bool GameScrn::checkScore() {
  std::optional<int> place = globals::famePlace(globals::gTotScore, false);
  if (!place) return false;
  // One pass from the bottom, with nothing else running, so no one sees the table half shifted.
  auto& rows = globals::FameList;
  std::shift_right(rows.begin() + *place, rows.end(), 1);
  rows[static_cast<std::size_t>(*place)] =
      FameRow::For(globals::gCurPlayer, globals::gTotScore, fw::Date::Today().ShortDate()).Text();
  globals::gAddedLine = *place;
  MarkDirty();
  return true;
}

void GameScrn::resetScores() {
  fw::MessageDialog d;
  d.Icon = 1;
  d.Message = "Are you sure you want to clear all of the High Scores?";
  d.Explanation = "All scores will be set to 0";
  d.ActionButton.Caption = "Clear";
  d.CancelButton.Visible = true;
  if (d.ShowModal() != fw::MessageDialog::Pressed::Action) return;
  std::string today = fw::Date::Today().ShortDate();
  for (std::string& row : globals::FameList) row = "Nobody,000," + today;
  // The cleared table reaches the data file at quit.
  MarkDirty();
}

// ---- Menus ----

void GameScrn::AddMenuHandlers() {
  AddMenuHandler("FileNewPlayer", [this] { return _FileNewPlayer_Action(); });
  AddMenuHandler("InformationInstructions", [this] { return _InformationInstructions_Action(); });
  AddMenuHandler("FileAbortGame", [this] { return _FileAbortGame_Action(); });
  AddMenuHandler("InformationShow", [this] { return _InformationShow_Action(); });
  AddMenuHandler("InformationClear", [this] { return _InformationClear_Action(); });
  AddMenuHandler("AppleAboutZembo", [this] { return _AppleAboutZembo_Action(); });
  AddMenuHandler("PracticeBonus1", [this] { return _PracticeBonus1_Action(); });
  AddMenuHandler("PracticeBonus2", [this] { return _PracticeBonus2_Action(); });
  AddMenuHandler("PracticeRound7", [this] { return _PracticeRound7_Action(); });
  AddMenuHandler("GameSpeedFast", [this] { return _GameSpeedFast_Action(); });
  AddMenuHandler("GameSpeedMedium", [this] { return _GameSpeedMedium_Action(); });
  AddMenuHandler("GameSpeedSlow", [this] { return _GameSpeedSlow_Action(); });
  AddMenuHandler("InformationCheckVersion", [this] { return _InformationCheckVersion_Action(); });
  AddMenuHandler("FileSaveGame", [this] { return _FileSaveGame_Action(); });
}

void GameScrn::enableItem(std::string_view name, bool enabled) {
  fw::MenuBar* bar = GetMenuBar();
  if (!bar) return;
  fw::ForEachItem(*bar, [&](fw::MenuItem& item) {
    if (item.Name() == name) item.SetEnabled(enabled);
  });
}

void GameScrn::Event_EnableMenuItems() {
  if (round != 1) {
    enableItem("InformationShow", false);
    enableItem("FileNewPlayer", false);
    enableItem("InformationPractice", false);
  }
  if (!gameRunning) {
    enableItem("FileAbortGame", false);
    // Only while a round of a real game waits for its start: from a round's end until
    // its status window is answered the total already holds the round that round - 1
    // would name as not yet played, and a practice round is no game to keep.
    enableItem("FileSaveGame", round > 1 && phase_ == Phase::Ready && isPractice == 0);
  } else {
    enableItem("FileAbortGame", true);
    enableItem("InformationPractice", false);
    enableItem("FileSaveGame", false);
  }
  // From a round's end until its status window is answered the game is neither new nor
  // running: another game or a practice round under that window would inherit its buttons.
  if (phase_ == Phase::InPlay && !gameRunning) {
    enableItem("FileNewPlayer", false);
    enableItem("InformationPractice", false);
  }
}

void GameScrn::setSpeedMenu(int level) {
  globals::gDiffFactor = level;
  globals::gSpeed = level;
  if (level < 0 || level > 2) return;
  static constexpr std::array<std::string_view, 3> kItems = {"GameSpeedSlow", "GameSpeedMedium", "GameSpeedFast"};
  fw::MenuBar* bar = GetMenuBar();
  if (!bar) return;
  fw::ForEachItem(*bar, [&](fw::MenuItem& item) {
    for (int i = 0; i < 3; ++i)
      if (item.Name() == kItems[static_cast<std::size_t>(i)]) item.SetChecked(i == level);
  });
}

bool GameScrn::_FileNewPlayer_Action() {
  // The game about to be replaced must not keep running under the new one.
  if (phase_ == Phase::InPlay) abandonRound();
  getCurPl::Instance().ShowModal();
  return false;
}

bool GameScrn::_InformationInstructions_Action() {
  Instr2Scrn::Instance().Show();
  return false;
}

bool GameScrn::_FileAbortGame_Action() {
  confirmAbort();
  return false;
}

bool GameScrn::_InformationShow_Action() {
  HallOfFame::Instance().Show();
  return false;
}

bool GameScrn::_InformationClear_Action() {
  resetScores();
  return false;
}

bool GameScrn::_AppleAboutZembo_Action() {
  fw::Open<aboutScrn>().ShowModal();
  return false;
}

bool GameScrn::_PracticeBonus1_Action() {
  isPractice = 1;
  round = 5;
  reinit();
  runBtn.SetVisible(true);
  return false;
}

bool GameScrn::_PracticeBonus2_Action() {
  isPractice = 1;
  round = 11;
  reinit();
  runBtn.SetVisible(true);
  return false;
}

bool GameScrn::_PracticeRound7_Action() {
  isPractice = 1;
  round = 7;
  reinit();
  return false;
}

bool GameScrn::_GameSpeedFast_Action() {
  setSpeedMenu(2);
  return false;
}

bool GameScrn::_GameSpeedMedium_Action() {
  setSpeedMenu(1);
  return false;
}

bool GameScrn::_GameSpeedSlow_Action() {
  setSpeedMenu(0);
  return false;
}

bool GameScrn::_InformationCheckVersion_Action() {
  checkVersScrn::Instance().Show();
  return false;
}

bool GameScrn::_FileSaveGame_Action() {
  saveInfo(true);
  return false;
}

// ---- Round start and frame loop ----

void GameScrn::hndlRunAction() {
  // Only a prepared round starts, and only a paused one resumes.
  if (roundEnded() || phase_ == Phase::Idle) return;
  if (!isPause) {
    // Nothing of an earlier round's countdown carries into this one.
    needBall = false;
    ctDown = 0;
    if (!isBonusRnd) {
      int shown = round > 12 ? round - 2 : round > 5 ? round - 1 : round;
      totBubbles = (globals::gDiffFactor == 0 && round >= 3) ? round / 2 + 3 : shown + 3;
      setPAD();
      theBlt = fw::New<myBullet>();
      mySS.Attach(theBlt);
      theDrop = fw::New<myDrop>();
      mySS.Attach(theDrop);
      initBall();
      initBubble();
      startTicks = static_cast<double>(fw::Ticks());
    } else if (BonusRd::bonusRndCt == 1) {
      BonusRd::initBonusBub();
      theBlt = fw::New<myBullet>();
      mySS.Attach(theBlt);
      setPAD();
    } else {
      startTicks = static_cast<double>(fw::Ticks());
      setPAD();
    }
    gameRunning = true;
    phase_ = Phase::InPlay;
  }
  // A resume keeps gameRunning as it was: a won round paused in its run-on still ends.
  isPause = false;
  pauseInfo.SetText(kPlayingPrompt);
  runBtn.SetVisible(false);
  playOn();
}

void GameScrn::playOn() {
  SetPointer(HidCurs());
  stlFocus.SetFocus();
  // The paddle follows the mouse from where it is now, not from where it was.
  lastX = MouseX();
  mySS.Run();
}

void GameScrn::setPAD() {
  globals::gPadWidth = kStartPadWidth;
  int x = MouseX();
  if (x > mySS.Width() - globals::gPadWidth) {
    x = mySS.Width() - globals::gPadWidth;
  } else if (x < 0) {
    x = 0;
  }
  myPAD = mySS.NewSprite(picHolder::pPaddle, x, mySS.Height() - kPadAboveBottom);
  myPAD->SetGroup(kPadGroup);
}

void GameScrn::initBall() {
  redBall = fw::New<ball>();
  mySS.Attach(redBall);
}

void GameScrn::initBubble() {
  if (totBubbles <= 0) return;
  for (int i = 0; i < totBubbles && i <= game::kMaxBubbles; ++i) {
    auto b = fw::New<Bubble>();
    blBubble[static_cast<std::size_t>(i)] = b;
    mySS.Attach(b);
  }
  bubbleCt = totBubbles;
}

void GameScrn::movePaddle() {
  // One read of the pointer per frame, so no movement falls between two reads.
  int mouseX = MouseX();
  int nx = myPAD->X() + (mouseX - lastX);
  int right = mySS.Width() - globals::gPadWidth;
  myPAD->SetX(nx < 0 ? 0 : nx > right ? right : nx);
  lastX = mouseX;
}

void GameScrn::shootBlt() {
  bool ricochet;
  if (fw::AsyncKeyDown(game::kKeySpace) && ctDown == 0) {
    ricochet = false;
  } else if (fw::AsyncKeyDown(game::kKeyC) && ctDown == 0) {
    ricochet = true;
  } else {
    return;
  }
  if (!((bltCt > 0 || isBonusRnd) && !prohibitShot)) {
    media::Play(&dud);
    return;
  }
  theBlt->init(myPAD->X(), ricochet);
  if (!isBonusRnd) --bltCt;
  BltCtCnv.Refresh(true);
  BltCnv.Refresh(true);
  media::Play(&shot);
  if (!isBonusRnd) prohibitShot = checkProhibit();
}

void GameScrn::addRain() {
  ++rainCt;
  theRain.push_back(fw::New<myRain>());
  mySS.Attach(theRain[static_cast<std::size_t>(rainCt - 1)]);
}

void GameScrn::moveRain() {
  for (int i = 0; i < rainCt; ++i) {
    myRain& r = *theRain[static_cast<std::size_t>(i)];
    if (!r.dead) r.rainMove();
  }
}

void GameScrn::mySS_NextFrame() {
  if (isBonusRnd) {
    bonusFrame();
  } else {
    normalFrame();
  }
}

void GameScrn::bonusFrame() {
  movePaddle();
  if (BonusRd::bonusRndCt == 1) {
    if (theBlt->isFiring) {
      theBlt->move();
    } else {
      shootBlt();
    }
    BonusRd::bonusNextEv();
    return;
  }
  int draw = globals::gR->InRange(1, kBonus2Draw);
  if (draw > 100 - lastTime / 10) addRain();
  moveRain();
  int secs = static_cast<int>((static_cast<double>(fw::Ticks()) - startTicks) / fw::kTicksPerSecond);
  if (lastTime < secs) {
    // A frame more than a second late may skip the last second; it counts as the last.
    lastTime = std::min(secs, game::kBonus2Seconds);
    timeCnv.Refresh(true);
    if (lastTime % 10 == 0) {
      curScore = (lastTime / 10) * 100;
      ScoreCnv.Refresh(true);
    }
  }
  if (lastTime >= game::kBonus2Seconds) hndlBonusDone(0);
}

void GameScrn::normalFrame() {
  if (ctDown >= game::kCountdownEnd) {
    ctDown = 0;
    if (!gameRunning) {
      mySS.Stop();
      roundTimer.SetMode(fw::Timer::kSingle);
      endRound();
    } else if (needBall) {
      redBall->reload();
      needBall = false;
    }
    return;
  }
  if (fw::AsyncKeyDown(game::kKeyP)) pauseRound();
  movePaddle();
  if (theBlt->isFiring) {
    theBlt->move();
  } else {
    shootBlt();
  }
  int draw = ctDown == 0 ? globals::gR->InRange(1, kDrawRange) : 0;
  if (draw > kDrawRange - round && !theDrop->isDropping) theDrop->init(doDbl, bltCt);
  if (theDrop->isDropping) theDrop->move();
  if (draw > kRainDraw && draw < kRainDraw + globals::gDiffFactor + round / 2) addRain();
  moveRain();
  for (int i = 0; i < totBubbles; ++i) blBubble[static_cast<std::size_t>(i)]->move();
  bool lost = redBall->move();
  if (ctDown == 0) {
    if (lost) {
      needBall = true;
      hndlDone(false);
    } else {
      int secs = static_cast<int>((static_cast<double>(fw::Ticks()) - startTicks) / fw::kTicksPerSecond);
      if (lastTime < secs) {
        lastTime = secs;
        timeCnv.Refresh(true);
      }
    }
  }
  if (ctDown > 0) ++ctDown;
}

void GameScrn::pauseRound() {
  mySS.Stop();
  SetPointer(fw::Cursors::StandardPointer());
  runBtn.SetVisible(true);
  isPause = true;
  pauseInfo.SetText("Game Paused" + fw::EndOfLine + "Click to Continue");
}

// ---- Collisions, scoring and drops ----

void GameScrn::mySS_Collision(fw::Sprite& first, fw::Sprite& second) {
  bool matched = false;
  bool byBall = false;
  auto burst = [&](fw::Sprite& bubble, fw::Sprite& other) {
    if (other.Group() == ball::kGroup || other.Group() == myBullet::kGroup) {
      byBall = other.Group() == ball::kGroup;
      bubble.Close();
      matched = true;
      if (isBonusRnd) {
        BonusRd::bustBoBub();
      } else {
        bustAbubble(true, byBall);
      }
    } else if (other.Group() == kPadGroup && ctDown == 0) {
      bubble.Close();
      matched = true;
      if (isBonusRnd) {
        BonusRd::bustBoBub();
      } else {
        bustAbubble(false, false);
      }
    }
  };
  if (first.Group() == Bubble::kGroup) {
    burst(first, second);
  } else if (second.Group() == Bubble::kGroup) {
    burst(second, first);
  }
  if (matched) return;

  auto either = [&](auto pred) { return pred(first) || pred(second); };
  bool onPaddle = either([](fw::Sprite& s) { return s.Group() == kPadGroup; });
  bool isBullet = either([](fw::Sprite& s) { return dynamic_cast<myBullet*>(&s) != nullptr; });
  bool isDrop = either([](fw::Sprite& s) { return dynamic_cast<myDrop*>(&s) != nullptr; });
  bool isRain = either([](fw::Sprite& s) { return dynamic_cast<myRain*>(&s) != nullptr; });

  if (isBullet && onPaddle && theBlt && theBlt->allowCollision && !isBonusRnd && ctDown == 0) hndlDone(false);
  if (isDrop && onPaddle && ctDown == 0) hndlDropColl();
  if (isRain && onPaddle) {
    if (isBonusRnd) {
      media::Play(&UhOhh);
      hndlBonusDone(0);
    } else if (ctDown == 0) {
      hndlDone(false);
    }
  }
  if (first.Group() == ball::kGroup && second.Group() == kPadGroup) {
    scoreMult = 0;
    redBall->hndlCol(first.X(), second.X());
  } else if (first.Group() == kPadGroup && second.Group() == ball::kGroup) {
    scoreMult = 0;
    redBall->hndlCol(second.X(), first.X());
  }
}

void GameScrn::bustAbubble(bool scores, bool byBall) {
  --bubbleCt;
  media::Play(&pop);
  if (byBall) prohibitShot = false;
  if (scores) {
    ++scoreMult;
    int points = kPointsPerChain * scoreMult;
    if (doDbl) points *= 2;
    curScore += points;
    ScoreCnv.Refresh(true);
    if (bubbleCt == 0 && !isBonusRnd) hndlDone(true);
  } else {
    hndlDone(false);
  }
}

void GameScrn::hndlDone(bool won) {
  if (won) {
    media::Play(&TaDa);
    isWinner = true;
    ++ctDown;
    gameRunning = false;
  } else if (ballCt <= 0) {
    media::Play(&UhOhh);
    isWinner = false;
    mySS.Stop();
    gameOver = true;
    roundTimer.SetMode(fw::Timer::kSingle);
    gameRunning = false;
    endRound();
  } else {
    --ballCt;
    refreshBallCnv(ballCt);
    media::Play(&Wrong);
    isWinner = true;
    if (bubbleCt == 0) {
      mySS.Stop();
      roundTimer.SetMode(fw::Timer::kSingle);
      gameRunning = false;
      endRound();
    } else {
      doDbl = false;
      dblCnv.Refresh(true);
      gameRunning = true;
      ctDown = game::kLostBallCountdown;
    }
  }
}

void GameScrn::refreshBallCnv(int index) {
  // A damaged saved game can hold more spare balls than there are indicators.
  if (index >= 0 && index < game::kBallCanvases) ballCnv(index).Refresh(true);
}

void GameScrn::hndlDropColl() {
  switch (theDrop->mytype) {
    case myDrop::kBad:
      theDrop->Close();
      hndlDone(false);
      break;
    case myDrop::kBullets:
      theDrop->Close();
      media::Play(&bing);
      bltCt = std::min(bltCt + kBulletsPerDrop, game::kMaxBullets);
      BltCtCnv.Refresh(true);
      BltCnv.Refresh(true);
      break;
    case myDrop::kBall:
      theDrop->Close();
      addNewBall();
      break;
    case myDrop::kPaddle:
      theDrop->Close();
      if (globals::gPadWidth < kWidestPadWidth) {
        media::Play(&larger);
        if (globals::gPadWidth == 64) {
          globals::gPadWidth = 72;
          myPAD->SetImage(picHolder::pPaddle2);
        } else if (globals::gPadWidth == 72) {
          globals::gPadWidth = 80;
          myPAD->SetImage(picHolder::pPaddle3);
        } else {
          globals::gPadWidth = 90;
          myPAD->SetImage(picHolder::pPaddle4);
        }
      }
      break;
    case myDrop::kDouble:
      theDrop->Close();
      media::Play(&Ding);
      doDbl = true;
      dblCnv.Refresh(true);
      break;
    default:
      break;
  }
  theDrop = fw::New<myDrop>();
  mySS.Attach(theDrop);
}

void GameScrn::addNewBall() {
  if (ballCt >= game::kBallCanvases) return;
  ++ballCt;
  media::Play(&newLife);
  refreshBallCnv(ballCt - 1);
}

// ---- Bonus rounds ----

void GameScrn::hndlBonusDone(int n) {
  mySS.Stop();
  if (myPAD) myPAD->Close();
  if (BonusRd::bonusRndCt == 1) {
    if (theBlt) theBlt->Close();
    if (n == BonusRd::myTotBubs) addNewBall();
  } else {
    closeRain();
    curScore = (lastTime / 10) * 100;
    if (curScore == 1000) addNewBall();
  }
  BonusRd::myReinit();
  endRound();
  openStatusWindow({curScore, kBonusSeconds, -1, true, isPractice == 1});
  SetPointer(fw::Cursors::StandardPointer());
  gameRunning = false;
  if (isPractice == 1) hndlAbort();
}

// ---- Side panels and the run button ----

void GameScrn::ScoreCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = ScoreCnv.Graphics();
  int r = globals::gR->InRange(0, 255);
  int gr = globals::gR->InRange(0, 255);
  int b = globals::gR->InRange(0, 255);
  std::string text = fw::Format(curScore, "000");
  g.SetItalic(true);
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(0, 0, 0));
  g.DrawString(text, 22, 42);
  g.SetForeColor(fw::RGB(r, gr, b));
  g.DrawString(text, 20, 40);
}

void GameScrn::ballCnv_Paint(fw::Canvas& canvas, fw::Graphics&) {
  fw::Graphics& g = canvas.Graphics();
  if (canvas.Index() < ballCt) {
    fw::Ref<fw::Picture> pic = redSprite();
    g.DrawPicture(pic.get(), 0, 0);
  } else {
    g.SetForeColor(game::kPanelBack);
    g.FillRect(0, 0, canvas.Width(), canvas.Height());
  }
}

void GameScrn::timeCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = timeCnv.Graphics();
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(0, 0, 255));
  g.DrawString(fw::Str(lastTime), 20, 20);
}

void GameScrn::BltCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = BltCnv.Graphics();
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(255, 0, 0));
  g.DrawString(fw::Str(bltCt), 20, 20);
}

void GameScrn::dblCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = dblCnv.Graphics();
  if (doDbl) {
    g.SetTextSize(24);
    g.SetForeColor(fw::RGB(255, 0, 255));
    g.DrawString("X2", 6, 20);
  } else {
    g.SetForeColor(game::kPanelBack);
    g.FillRect(0, 0, dblCnv.Width(), dblCnv.Height());
  }
}

void GameScrn::BltCtCnv_Paint(fw::Graphics& g) {
  constexpr fw::Color kBottom = fw::RGB(0, 0, 255), kTop = fw::RGB(255, 0, 0);
  int last = g.Height() - 1;
  // Rows outside the canvas are never drawn, whatever a damaged saved game holds.
  int first = std::max(0, kGaugeHeight - kGaugeRowsPerBullet * bltCt);
  for (int y = first; y <= last; ++y) {
    double p = static_cast<double>(y) / last;
    g.SetForeColor(fw::RGB(Channel(kBottom.r * p + kTop.r * (1 - p)), Channel(kBottom.g * p + kTop.g * (1 - p)),
                           Channel(kBottom.b * p + kTop.b * (1 - p))));
    g.DrawLine(0, y, g.Width(), y);
  }
}

void GameScrn::runBtn_Open() {
  runBtn.setParams("New Game", picHolder::gAquaLg, fw::RGB(240, 240, 240), 14);
}

void GameScrn::runBtn_MouseUp(int, int) {
  runBtn.Unpress();
  hndlRunAction();
}
