// Sprites moved by exact positions and speeds, shown at whole pixels.
#pragma once

#include "framework/SpriteSurface.h"

namespace game {

// Truncates toward zero; the ball's and the bubbles' positions are never negative.
constexpr int ToPixel(double v) { return static_cast<int>(v); }

// The ball and the bubbles: exact left and top edges and speeds in pixels per frame.
class ExactSprite : public fw::Sprite {
 public:
  double xPos() const { return xPos_; }
  double yPos() const { return yPos_; }
  double dx() const { return mDx; }
  double dy() const { return mDy; }
  // An exact position and speed at once (tests and replays).
  void SetMotion(double x, double y, double dx, double dy) {
    xPos_ = x;
    yPos_ = y;
    mDx = dx;
    mDy = dy;
    place();
  }

 protected:
  // X and Y from the exact position.
  void place() {
    SetX(ToPixel(xPos_));
    SetY(ToPixel(yPos_));
  }

  double mDx = 0.0;
  double mDy = 0.0;
  double xPos_ = 0.0;
  double yPos_ = 0.0;
};

}  // namespace game
