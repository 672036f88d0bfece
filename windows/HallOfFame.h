// The hall-of-fame window: the ten best totals, the newest one selected.
#pragma once

#include "framework/Window.h"

class HallOfFame : public fw::Window {
 public:
  HallOfFame();
  static HallOfFame& Instance() { return fw::Implicit<HallOfFame>(); }
};
