// A blue bubble of a normal round: it drifts at a constant speed and bounces
// off all four sides of the field.
#pragma once

#include "game/Pixel.h"

class Bubble : public game::ExactSprite {
 public:
  static constexpr int kGroup = -3;
  static constexpr double kFarEdge = 468.0;  // largest left or top edge, pixels

  Bubble();
  void move();

 protected:
  // For subclasses that set themselves up: no picture, no position, no draw.
  struct NoSetup {};
  explicit Bubble(NoSetup) {}
};
