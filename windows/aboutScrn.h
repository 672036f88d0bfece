// The About window: the game's name, version and build, and the reset of the saved data.
#pragma once

#include "framework/Window.h"

class aboutScrn : public fw::Window {
 public:
  aboutScrn();
};
