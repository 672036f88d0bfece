#include "game/myRain.h"

#include "shell/globals.h"
#include "shell/media.h"

myRain::myRain() {
  SetY(kStartY);
  SetX(globals::gR->InRange(1, 480));
  SetGroup(kGroup);
  myDy = globals::gR->InRange(1, globals::gSpeed + 5) + globals::gSpeed;
  SetImage(picHolder::pDrop);
  mytype = 5;
}

void myRain::rainMove() {
  SetY(Y() + myDy);
  if (Y() > kOutBelow) dead = true;
}
