// The game's flow: a game begun, its rounds prepared and ended, aborted or closed.
#include "game/GameScrn.h"

#include "framework/Clock.h"
#include "framework/MessageDialog.h"
#include "game/BonusRd.h"
#include "game/GameScrnParts.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/HallOfFame.h"
#include "windows/Instr2Scrn.h"
#include "windows/RoundScrn.h"
#include "windows/bonusStartScrn.h"

namespace {

constexpr int kStartBullets = 10;
constexpr int kStartBalls = 2;        // spare balls besides the one in play
constexpr int kLateRulePage = 3;      // the bonus counter's value that announces the late-game rule

}  // namespace

using namespace game::scrn;

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
  fw::MessageDialog d = Question("Are you sure you want to quit the current game?", "The game will NOT be saved.",
                                 "Abort Game");
  if (d.ShowModal() == fw::MessageDialog::Pressed::Action) hndlAbort();
}

void GameScrn::askSave() {
  fw::MessageDialog d = Question("Save the current game before quitting?", "Click 'Cancel' to continue playing.",
                                 "Save Game");
  d.AlternateActionButton = {"Don't Save", true, false};
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
  if (roundPaused()) pauseInfo.SetText(kPlayingPrompt);
  isPause = false;
  runBtn.SetVisible(false);
}
