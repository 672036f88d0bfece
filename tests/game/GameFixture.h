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
    return stepper->window();
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
