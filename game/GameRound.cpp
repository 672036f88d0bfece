// A round started, held and paused, and its frames.
#include "game/GameScrn.h"

#include <utility>

#include "framework/Clock.h"
#include "game/BonusRd.h"
#include "game/GameScrnParts.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr int kPadAboveBottom = 10;   // pixels between the paddle's top and the field's bottom
constexpr int kDrawRange = 1000;      // a normal frame's draw is 1..1000
constexpr int kRainDraw = 460;        // raindrops come just above this draw

}  // namespace

using namespace game::scrn;

void GameScrn::Event_Held(bool held) {
  if (held) {
    if (!roundInPlay() || roundHeld()) return;
    hold_ = Hold{fw::Ticks(), mySS.IsRunning()};
    roundTimer.Hold(true);
    if (hold_->frames) {
      mySS.Stop();
      SetPointer(fw::Cursors::StandardPointer());
    }
    return;
  }
  if (!roundHeld()) return;
  Hold h = *std::exchange(hold_, std::nullopt);
  // Time held is not the round's: its clock goes on from where it stood.
  startTicks += static_cast<double>(fw::Ticks() - h.since);
  roundTimer.Hold(false);
  if (h.frames) playOn();
}

void GameScrn::hndlRunAction() {
  // Only a prepared round starts, and only a paused one resumes.
  if (roundEnded() || !hasRound()) return;
  if (!roundPaused()) {
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

// One frame flows one way: the input, the rules, the sprites, then the panels. No step
// draws a random number, plays a sound or moves a sprite out of the order it always had.
void GameScrn::normalFrame() {
  // A countdown run out takes the whole frame.
  if (ctDown >= game::kCountdownEnd) {
    countdownOver();
    return;
  }
  bool bulletFlying = readInput();
  applyRules();
  bool lost = moveSprites(bulletFlying);
  bool newSecond = settleBall(lost);
  refreshPanels(newSecond);
}

void GameScrn::countdownOver() {
  ctDown = 0;
  if (!roundRunning()) {
    mySS.Stop();
    roundTimer.SetMode(fw::Timer::kSingle);
    endRound();
  } else if (needBall) {
    redBall->reload();
    needBall = false;
  }
}

// The keys and the pointer. Answers whether the bullet was already in flight: one just
// fired waits for the next frame to move.
bool GameScrn::readInput() {
  if (fw::AsyncKeyDown(game::kKeyP)) pauseRound();
  movePaddle();
  return fireIfParked();
}

bool GameScrn::fireIfParked() {
  bool flying = theBlt->isFiring;
  if (!flying) shootBlt();
  return flying;
}

// The frame's draw, none while a countdown runs: a drop or a raindrop may come.
void GameScrn::applyRules() {
  int draw = ctDown == 0 ? globals::gR->InRange(1, kDrawRange) : 0;
  if (draw > kDrawRange - round && !theDrop->isDropping) theDrop->init(doDbl, bltCt);
  if (draw > kRainDraw && draw < kRainDraw + globals::gDiffFactor + round / 2) addRain();
}

// Answers whether the ball fell past the paddle.
bool GameScrn::moveSprites(bool bulletFlying) {
  if (bulletFlying) theBlt->move();
  if (theDrop->isDropping) theDrop->move();
  moveRain();
  for (int i = 0; i < totBubbles; ++i) blBubble[static_cast<std::size_t>(i)]->move();
  return redBall->move();
}

// A lost ball costs a life; otherwise the round's clock goes on. Outside a countdown only,
// which this frame then advances. Answers whether the clock shows a new second.
bool GameScrn::settleBall(bool lost) {
  bool newSecond = false;
  if (ctDown == 0) {
    if (lost) {
      needBall = true;
      hndlDone(false);
    } else {
      int secs = static_cast<int>((static_cast<double>(fw::Ticks()) - startTicks) / fw::kTicksPerSecond);
      if (lastTime < secs) {
        lastTime = secs;
        newSecond = true;
      }
    }
  }
  if (ctDown > 0) ++ctDown;
  return newSecond;
}

// The rules' handlers refresh the panels their own changes touch; the frame refreshes the clock.
void GameScrn::refreshPanels(bool newSecond) {
  if (newSecond) timeCnv.Refresh(true);
}

void GameScrn::pauseRound() {
  mySS.Stop();
  SetPointer(fw::Cursors::StandardPointer());
  runBtn.SetVisible(true);
  isPause = true;
  pauseInfo.SetText("Game Paused" + fw::EndOfLine + "Click to Continue");
}
