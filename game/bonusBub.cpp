#include "game/bonusBub.h"

#include "game/BonusRd.h"
#include "game/Pixel.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {
constexpr double kFieldWidth = 500.0;  // pixels
}

bonusBub::bonusBub() : Bubble(NoSetup{}) {
  SetImage(PurpBub());
  xPos_ = kStartX;
  yPos_ = globals::gR->InRange(1, 3) * kLaneGap;
  SetGroup(kGroup);
  mDx = globals::gR->InRange(0, 2) + globals::gDiffFactor;
  if (mDx < 1.0) mDx = 1.0;
  place();
}

void bonusBub::bonusMove() {
  // A burst bubble moves on unseen, so every bubble is counted here once.
  if (xPos_ + mDx > kFieldWidth && !myFini) {
    ++BonusRd::missedTot;
    myFini = true;
    Close();
  }
  xPos_ += mDx;
  SetX(game::ToPixel(xPos_));
}
