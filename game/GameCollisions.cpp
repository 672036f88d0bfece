// Collisions on the field: bubbles burst, balls lost, drops caught.
#include "game/GameScrn.h"

#include <algorithm>

#include "game/BonusRd.h"
#include "game/GameScrnParts.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr int kWidestPadWidth = 90;   // pixels
constexpr int kBulletsPerDrop = 5;
constexpr int kPointsPerChain = 100;  // times the chain length

}  // namespace

using namespace game::scrn;

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
