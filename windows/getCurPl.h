// The current-player window: the name under which the scores are kept.
#pragma once

#include "framework/Window.h"

class getCurPl : public fw::Window {
 public:
  getCurPl();
  static getCurPl& Instance() { return fw::Implicit<getCurPl>(); }
};
