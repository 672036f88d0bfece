// The instructions window: three pages of how to play.
#pragma once

#include "framework/Window.h"

class Instr2Scrn : public fw::Window {
 public:
  Instr2Scrn();
  static Instr2Scrn& Instance() { return fw::Implicit<Instr2Scrn>(); }
};
