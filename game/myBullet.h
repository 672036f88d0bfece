// The one bullet of a round: straight up, or up and back down for a ricochet.
#pragma once

#include "framework/SpriteSurface.h"

class myBullet : public fw::Sprite {
 public:
  static constexpr int kGroup = -4;
  static constexpr int kSpeed = 8;      // pixels per frame
  static constexpr int kParkedY = 512;  // below the field, out of sight
  static constexpr int kLaunchY = 492;
  static constexpr int kPaddleOffset = 32;  // from the paddle's left edge, whatever its width
  static constexpr int kTurnAbove = -12;    // a bullet above this turns or stops

  myBullet();
  void move();
  // Launches the bullet from the paddle whose left edge is at x.
  void init(int x, bool ricochet);

  bool isFiring = false;
  bool isRichochet = false;
  // A ricochet bullet on its way down: it then counts on the paddle.
  bool allowCollision = false;

  int speed() const { return mDy; }

 protected:
  int mDy = 0;
};
