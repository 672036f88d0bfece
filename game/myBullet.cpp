#include "game/myBullet.h"

#include "shell/media.h"

myBullet::myBullet() {
  SetImage(picHolder::pBullet);
  SetY(kParkedY);
  mDy = kSpeed;
  SetGroup(kGroup);
}

void myBullet::move() {
  SetY(Y() - mDy);
  if (Y() < kTurnAbove) {
    if (isRichochet) {
      mDy = -mDy;
      allowCollision = true;
    } else {
      isFiring = false;
    }
  }
  if (Y() > kParkedY && isFiring) {
    isFiring = false;
    allowCollision = false;
    mDy = -mDy;
  }
}

void myBullet::init(int x, bool ricochet) {
  SetX(x + kPaddleOffset);
  SetY(kLaunchY);
  isFiring = true;
  isRichochet = ricochet;
}
