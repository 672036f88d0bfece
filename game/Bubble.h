// A blue bubble of a normal round: it drifts at a constant speed and bounces
// off all four sides of the field.
#pragma once

#include "framework/SpriteSurface.h"

class Bubble : public fw::Sprite {
 public:
  static constexpr int kGroup = -3;
  static constexpr double kFarEdge = 468.0;  // largest left or top edge, pixels

  Bubble();
  void move();

  double xPos() const { return xPos_; }
  double yPos() const { return yPos_; }
  double dx() const { return mDx; }
  double dy() const { return mDy; }
  void SetMotion(double x, double y, double dx, double dy);

 protected:
  // For subclasses that set themselves up: no picture, no position, no draw.
  struct NoSetup {};
  explicit Bubble(NoSetup) {}
  void place();

  double mDx = 0.0;
  double mDy = 0.0;
  double xPos_ = 0.0;
  double yPos_ = 0.0;
};
