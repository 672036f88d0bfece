#include "game/myDrop.h"

#include <algorithm>

#include "shell/globals.h"
#include "shell/media.h"

namespace {
constexpr int kWidestPaddle = 90;  // pixels
constexpr int kBulletDropBelow = 16;  // bullets in stock under which bullet drops come
}  // namespace

myDrop::myDrop() {
  SetY(kWaitingY);
  SetGroup(kGroup);
}

void myDrop::init(bool doDbl, int bltCt) {
  SetX(globals::gR->InRange(1, 480));
  SetY(0);
  mDy = std::max(1, globals::gR->InRange(1, globals::gSpeed + 5) + globals::gSpeed);
  isDropping = true;
  int r = globals::gR->InRange(1, 100);
  auto become = [this](const fw::Ref<fw::Picture>& pic, int kind) {
    SetImage(pic);
    mytype = kind;
  };
  // A row whose condition fails keeps the previous kind and picture.
  if (r >= 93) {
    if (!doDbl) {
      become(picHolder::pDblDrop, kDouble);
    } else {
      become(picHolder::pBadDrop, kBad);
    }
  } else if (r >= 61) {
    become(picHolder::pBadDrop, kBad);
  } else if (r >= 39) {
    if (bltCt < kBulletDropBelow) become(picHolder::pBltDrop, kBullets);
  } else if (r >= 36) {
    become(picHolder::pBallDrop, kBall);
  } else {
    if (globals::gPadWidth < kWidestPaddle) become(picHolder::pPadDrop, kPaddle);
  }
}

void myDrop::move() {
  SetY(Y() + mDy);
  if (Y() > kOutBelow) isDropping = false;
}
