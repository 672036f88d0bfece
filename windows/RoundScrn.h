// The round status window: the round's points, the time bonus, the running total and the hall-of-fame place.
#pragma once

#include "framework/Window.h"

class RoundScrn : public fw::Window {
 public:
  // Fills the window for a finished round and adds its total to the running total.
  RoundScrn(int points, int seconds, int level, bool won, bool practice);
};
