// A purple bubble of the first bonus round: it crosses the field from left to
// right in one of three lanes and is counted once at the right edge.
#pragma once

#include "game/Bubble.h"

class bonusBub : public Bubble {
 public:
  static constexpr double kStartX = -32.0;  // left of the field
  static constexpr double kLaneGap = 50.0;  // lanes at 50, 100 and 150

  bonusBub();
  void bonusMove();

  bool counted() const { return myFini; }

 protected:
  bool myFini = false;
};
