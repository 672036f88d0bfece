// The bonus introduction: the rules of the coming bonus round, or of the last five rounds.
#pragma once

#include "framework/Window.h"

class bonusStartScrn : public fw::Window {
 public:
  bonusStartScrn();
  static bonusStartScrn& Instance() { return fw::Implicit<bonusStartScrn>(); }
};
