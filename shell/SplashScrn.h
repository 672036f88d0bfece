// The first window: the title picture and version while a loader thread plays
// every sound once, silently, and loads the shared pictures; then the play window.
#pragma once

#include <cstdint>

#include "framework/Sound.h"
#include "framework/Timer.h"
#include "framework/Window.h"

class SplashScrn : public fw::Window {
 public:
  SplashScrn();
  static SplashScrn& Instance() { return fw::Implicit<SplashScrn>(); }

  void Event_Open() override;
  // A click does nothing: the press is taken and the release ignored.
  bool Event_MouseDown(int, int) override { return true; }
  void Event_MouseUp(int, int) override {}
  // The close box before the hand-over quits the game.
  bool Event_CancelClose() override;

  std::uint8_t actCount = 0;

  fw::Timer closeTimer{this, fw::Timer::kOff, 300};
  fw::StaticText versText{this, "versText", 100, 154, 200, 18};
  fw::StaticText activityText{this, "activityText", 50, 213, 300, 20};
  fw::Thread initThread;
  fw::Timer activTimer{this, fw::Timer::kMultiple, 500};

 private:
  void Layout();
  void _CreateControls0();
  void closeTimer_Action();
  void versText_Open();
  void initThread_Run();
  void activTimer_Action();
  void initSound(const fw::Ref<fw::Sound>& s);
};
