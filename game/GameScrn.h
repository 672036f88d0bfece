// The play window: the one document window in which the game is played.
#pragma once

#include "framework/Window.h"

class GameScrn : public fw::Window {
 public:
  GameScrn();
  static GameScrn& Instance() { return fw::Implicit<GameScrn>(); }

  // Closing the play window quits the game.
  bool Event_CancelClose() override;

 private:
  void Layout();
};
