// An acid raindrop: it falls straight down until it leaves the field.
#pragma once

#include "framework/SpriteSurface.h"

class myRain : public fw::Sprite {
 public:
  static constexpr int kGroup = -6;
  static constexpr int kStartY = -12;
  static constexpr int kOutBelow = 500;

  myRain();
  void rainMove();

  int myDy = 0;
  int mytype = 0;
  bool dead = false;
};
