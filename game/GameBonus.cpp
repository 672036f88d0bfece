// The bonus rounds' frames and their end.
#include "game/GameScrn.h"

#include <algorithm>

#include "framework/Clock.h"
#include "game/BonusRd.h"
#include "game/GameScrnParts.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr int kBonus2Draw = 104;      // a Bonus #2 frame's draw is 1..104
constexpr int kBonusSeconds = 61;     // tells the status window: no time bonus

}  // namespace

using namespace game::scrn;

// The same one-way frame as a normal round's: the input, the rules, the sprites, the panels.
void GameScrn::bonusFrame() {
  movePaddle();
  if (BonusRd::bonusRndCt == 1) {
    bool bulletFlying = fireIfParked();
    if (bulletFlying) theBlt->move();
    // The bubbles' rules and moves are the bonus round's own.
    BonusRd::bonusNextEv();
    return;
  }
  int draw = globals::gR->InRange(1, kBonus2Draw);
  if (draw > 100 - lastTime / 10) addRain();
  moveRain();
  bool newSecond = bonusClock();
  refreshBonusPanels(newSecond);
  // Last, so that the status window gets the score the panel shows.
  if (lastTime >= game::kBonus2Seconds) hndlBonusDone(0);
}

// Bonus #2 scores its survived seconds by tens. Answers whether the clock shows a new second.
bool GameScrn::bonusClock() {
  int secs = static_cast<int>((static_cast<double>(fw::Ticks()) - startTicks) / fw::kTicksPerSecond);
  if (lastTime >= secs) return false;
  // A frame more than a second late may skip the last second; it counts as the last.
  lastTime = std::min(secs, game::kBonus2Seconds);
  if (lastTime % 10 == 0) curScore = (lastTime / 10) * 100;
  return true;
}

void GameScrn::refreshBonusPanels(bool newSecond) {
  if (!newSecond) return;
  timeCnv.Refresh(true);
  if (lastTime % 10 == 0) ScoreCnv.Refresh(true);
}

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
