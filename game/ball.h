// The ball of a normal round: it bounces off the left, right and top walls and
// is lost at the bottom; the paddle bounce comes from the collision handler.
#pragma once

#include "game/Pixel.h"

class ball : public game::ExactSprite {
 public:
  static constexpr int kGroup = -1;
  static constexpr double kWidth = 8.0;      // pixels
  static constexpr double kSpeedY = 3.0;     // pixels per frame, up or down
  static constexpr double kLostBelow = 504.0;  // a next top edge beyond this is out

  ball();
  // The paddle bounce, given the ball's X and the paddle's X.
  void hndlCol(int ballX, int padX);
  // One step; true once the ball has left the field at the bottom (it then stays put).
  bool move();
  // Back at the top of the field with a new random start.
  void reload();
};
