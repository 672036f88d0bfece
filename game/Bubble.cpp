#include "game/Bubble.h"

#include <cmath>

#include "game/Pixel.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {
// One axis of a step: bounce off 0 and the far edge before moving.
void Bounce(double pos, double& speed) {
  if (pos + speed < 0.0) {
    speed = -speed;
  } else if (pos + speed > Bubble::kFarEdge) {
    speed = -std::fabs(speed);
  }
}
}  // namespace

Bubble::Bubble() {
  SetImage(picHolder::pBlueBubble);
  xPos_ = globals::gR->InRange(0, 500);
  yPos_ = globals::gR->InRange(0, 150);
  SetGroup(kGroup);
  mDx = globals::gR->InRange(1, globals::gSpeed + 3);
  mDy = globals::gR->InRange(1, globals::gSpeed + 2);
  if (globals::maybe()) mDx = -mDx;
  if (globals::maybe()) mDy = -mDy;
  place();
}

void Bubble::move() {
  Bounce(xPos_, mDx);
  Bounce(yPos_, mDy);
  xPos_ += mDx;
  yPos_ += mDy;
  place();
}
