#include "game/ball.h"

#include <cmath>

#include "game/Pixel.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {
constexpr double kFieldWidth = 500.0;  // pixels
constexpr double kCentre = 250.0;      // a ball starting right of this heads left
constexpr int kStartLeft = 100, kStartRight = 400;
constexpr double kOffsetPerSpeed = 15.0;  // pixels of paddle offset per multiple of the vertical speed
}  // namespace

ball::ball() {
  SetImage(picHolder::pRedSprite);
  mDx = globals::gR->InRange(1, globals::gSpeed + 3) + 1;
  mDy = kSpeedY;
  xPos_ = globals::gR->InRange(kStartLeft, kStartRight);
  if (xPos_ > kCentre) mDx = -mDx;
  yPos_ = 1.0;
  SetGroup(kGroup);
  place();
}

void ball::hndlCol(int ballX, int padX) {
  int d = ballX - padX;
  int half = globals::gPadWidth / 2;
  // mDy is still the incoming speed here: the flip comes last.
  if (d < half - 2) {
    mDx = -((half - 2 - d) / kOffsetPerSpeed) * mDy;
  } else if (d > half + 2) {
    mDx = ((d - (half + 2)) / kOffsetPerSpeed) * mDy;
  } else {
    mDx = 0.0;
  }
  mDy = -std::fabs(mDy);
}

bool ball::move() {
  if (xPos_ + mDx < 0.0) {
    mDx = -mDx;
  } else if (xPos_ + kWidth + mDx > kFieldWidth) {
    mDx = -std::fabs(mDx);
  }
  if (yPos_ + mDy < 0.0) {
    mDy = -mDy;
  } else if (yPos_ + mDy > kLostBelow) {
    return true;
  }
  xPos_ += mDx;
  yPos_ += mDy;
  place();
  return false;
}

void ball::reload() {
  xPos_ = globals::gR->InRange(kStartLeft, kStartRight);
  yPos_ = 0.0;
  mDx = globals::gR->InRange(1, globals::gSpeed + 3);
  mDy = kSpeedY;
  if (xPos_ > kCentre) mDx = -mDx;
  place();
}
