// A play window prepared through the stepping loop, with the sounds it plays recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/TestHooks.h"
#include "game/BonusRd.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "tools/replay/Stepper.h"
#include "windows/RoundScrn.h"
#include "windows/bonusStartScrn.h"

class GameFixture : public testing::Test {
 protected:
  void SetUp() override {
    media::SetPlayObserver([this](std::string_view name) { sounds.emplace_back(name); });
  }
  void TearDown() override {
    media::SetPlayObserver(nullptr);
    stepper.reset();
    BonusRd::Reset();
  }

  GameScrn& Start(replay::Setup setup = {}) {
    setup.mediaFolder = ZEMBO_MEDIA_DIR;
    stepper = std::make_unique<replay::Stepper>(setup);
    sounds.clear();
    // The bonus introduction is read and begun, as its Begin button does.
    fw::test::OnModal([](fw::Window& m) {
      if (!dynamic_cast<bonusStartScrn*>(&m)) return;
      if (BonusRd::bonusRndCt == 3) BonusRd::bonusRndCt = 0;
      m.Close();
    });
    return stepper->window();
  }
  // The round status window that a round's end opened, if it is still open.
  static RoundScrn* StatusWindow() {
    for (fw::Window* w : fw::windows::All())
      if (auto* r = dynamic_cast<RoundScrn*>(w)) return r;
    return nullptr;
  }
  // The status window's buttons, as the player presses them: the window closes first.
  void NextRound() {
    ASSERT_TRUE(StatusWindow()) << "no round status window is open";
    StatusWindow()->Close();
    stepper->window().reinit();
  }
  void EndGame() {
    ASSERT_TRUE(StatusWindow()) << "no round status window is open";
    StatusWindow()->Close();
    GameScrn& w = stepper->window();
    if (w.gameOver) {
      w.hndlClosingGame();
    } else {
      w.askSave();
    }
  }
  // Prepared and started with a click on the run button.
  GameScrn& Play(replay::Setup setup = {}) {
    GameScrn& w = Start(setup);
    stepper->Click("runBtn");
    return w;
  }
  void Steps(int n) { stepper->Steps(n); }
  void Key(int code, bool down) {
    replay::TickInput in;
    in.keys.push_back({code, down});
    stepper->Step(in);
  }
  void Mouse(int x) {
    replay::TickInput in;
    in.mouseX = x;
    stepper->Step(in);
  }
  int Count(std::string_view sound) const { return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound)); }
  // Bubbles parked in the top right corner, where neither ball nor paddle comes.
  static void ParkBubbles(GameScrn& w, int from = 0) {
    for (int i = from; i < w.totBubbles; ++i) w.blBubble[static_cast<std::size_t>(i)]->SetMotion(468, 0, 0, 0);
  }
  // The ball falling straight down at x, so it leaves the field unless something stops it.
  static void DropBall(GameScrn& w, double x, double y) { w.redBall->SetMotion(x, y, 0, 3); }

  std::unique_ptr<replay::Stepper> stepper;
  std::vector<std::string> sounds;
};
