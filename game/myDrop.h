// The one item drop of a round: launched at random, of a random kind, and
// caught with the paddle.
#pragma once

#include "framework/SpriteSurface.h"

class myDrop : public fw::Sprite {
 public:
  static constexpr int kGroup = -5;
  static constexpr int kWaitingY = -16;  // above the field until launched
  static constexpr int kOutBelow = 500;

  enum Kind { kNone = 0, kBad = 1, kBullets = 2, kBall = 3, kPaddle = 4, kDouble = 5 };

  myDrop();
  // The launch; doDbl and bltCt are the play window's, which decide two of the kinds.
  void init(bool doDbl, int bltCt);
  void move();

  bool isDropping = false;
  int mytype = kNone;

  int speed() const { return mDy; }

 protected:
  int mDy = 0;
};
