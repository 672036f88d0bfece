// frame_bench: the work of one frame (rules, collisions and paint) for the
// busiest normal round and for late Bonus #2, each over 10,000 frames, timed on
// the stepping loop with the paddle steered so the rounds stay busy.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "game/GameScrn.h"
#include "tools/replay/Stepper.h"

namespace {

constexpr int kFramesEach = 10'000;
constexpr int kBusiestRound = 17;  // internal round: 18 bubbles on Hard
constexpr int kBonus2Round = 12;
constexpr int kHard = 2;
constexpr int kBusyBubbles = 12;   // fewer left and the round is prepared afresh
constexpr int kLateSeconds = 60;   // Bonus #2 frames from here on count as late
constexpr int kPaddleWidth = 64;   // pixels
constexpr int kFieldWidth = 500;   // pixels
constexpr int kPaddleTop = 490;
constexpr int kRainLookahead = 110;  // pixels above the paddle in which raindrops are dodged

using Clock = std::chrono::steady_clock;

struct Stats {
  double median = 0, p99 = 0, max = 0;
};

Stats Summarise(std::vector<double> ms) {
  Stats s;
  if (ms.empty()) return s;
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * static_cast<double>(ms.size())))]; };
  s.median = at(0.5);
  s.p99 = at(0.99);
  s.max = ms.back();
  return s;
}

// The mouse x that moves the paddle from where it is to x (it follows the mouse's movement).
int MouseFor(const GameScrn& w, int mouseX, int x) {
  if (!w.myPAD) return mouseX;
  return mouseX + (std::clamp(x, 0, kFieldWidth - kPaddleWidth) - w.myPAD->X());
}

// Under the ball, a little off its middle so it leaves at changing angles.
int SteerUnderBall(const GameScrn& w, int frame) {
  if (!w.redBall) return 0;
  int offset = (frame / 40) % 41 - 20;
  return w.redBall->X() + 4 - kPaddleWidth / 2 + offset;
}

// The free place nearest the paddle that no raindrop about to land covers.
int SteerAwayFromRain(const GameScrn& w) {
  int here = w.myPAD ? w.myPAD->X() : 0;
  std::vector<std::pair<int, int>> covered;
  for (const auto& r : w.theRain) {
    if (!r || r->dead || r->Y() < kPaddleTop - kRainLookahead) continue;
    int width = r->Image() ? r->Image()->Width() : 16;
    covered.emplace_back(r->X() - kPaddleWidth - 4, r->X() + width + 4);
  }
  int best = here, bestDistance = 1 << 30;
  for (int x = 0; x <= kFieldWidth - kPaddleWidth; ++x) {
    bool free = std::none_of(covered.begin(), covered.end(), [&](auto c) { return x > c.first && x < c.second; });
    if (free && std::abs(x - here) < bestDistance) {
      best = x;
      bestDistance = std::abs(x - here);
    }
  }
  return best;
}

struct Scenario {
  const char* name;
  int round;
  std::function<bool(const GameScrn&)> counts;  // whether this frame is one to time
  std::function<bool(const GameScrn&)> busy;    // false: prepare the round afresh
  std::function<int(const GameScrn&, int frame)> steer;
};

// Times kFramesEach frames of the scenario, preparing as many rounds as it takes.
std::vector<double> Measure(const Scenario& sc, std::uint32_t& seed, int& rounds) {
  std::vector<double> ms;
  ms.reserve(kFramesEach);
  while (static_cast<int>(ms.size()) < kFramesEach) {
    ++rounds;
    replay::Setup setup;
    setup.seed = seed++;
    setup.difficulty = kHard;
    setup.round = sc.round;
    setup.bltCt = 20;
    setup.ballCt = 7;
    setup.mediaFolder = std::filesystem::path(ZEMBO_MEDIA_DIR);
    replay::Stepper stepper(setup);
    GameScrn& w = stepper.window();
    int frames = 0;
    w.mySS.NextFrame = [&frames, inner = w.mySS.NextFrame] {
      ++frames;
      inner();
    };
    int mouseX = 0;
    replay::TickInput start;
    start.mouseX = mouseX;
    start.clicks = {"runBtn"};
    start.keys = {{replay::Stepper::kKeySpace, true}};
    stepper.Step(start);
    for (int idle = 0; static_cast<int>(ms.size()) < kFramesEach && idle < 120;) {
      if (!sc.busy(w)) break;
      replay::TickInput in;
      mouseX = MouseFor(w, mouseX, sc.steer(w, frames));
      in.mouseX = mouseX;
      bool counted = sc.counts(w);
      int before = frames;
      auto t0 = Clock::now();
      stepper.Step(in);
      auto t1 = Clock::now();
      if (frames == before) {
        ++idle;  // the surface has stopped: the round is over
        continue;
      }
      idle = 0;
      if (counted) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    w.mySS.Stop();
  }
  return ms;
}

}  // namespace

int main() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("ZEMBO_SILENT_AUDIO", "1", 1);
  // Nothing of the player's is read or written.
  std::filesystem::path prefs = std::filesystem::temp_directory_path() / ("zembo-frame-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(prefs);
  ::setenv("XDG_CONFIG_HOME", prefs.c_str(), 1);
  fw::test::StartHeadless(1);

  const Scenario scenarios[] = {
      {"round17_hard", kBusiestRound, [](const GameScrn&) { return true; },
       [](const GameScrn& w) { return w.gameRunning && w.bubbleCt >= kBusyBubbles; }, SteerUnderBall},
      {"bonus2_late", kBonus2Round, [](const GameScrn& w) { return w.lastTime >= kLateSeconds; },
       [](const GameScrn& w) { return w.gameRunning; }, [](const GameScrn& w, int) { return SteerAwayFromRain(w); }},
  };
  std::uint32_t seed = 1;
  std::vector<double> all;
  for (const Scenario& sc : scenarios) {
    int rounds = 0;
    std::vector<double> ms = Measure(sc, seed, rounds);
    Stats s = Summarise(ms);
    std::printf("%s frames=%zu rounds=%d median_ms=%.4f p99_ms=%.4f max_ms=%.4f\n", sc.name, ms.size(), rounds, s.median,
                s.p99, s.max);
    all.insert(all.end(), ms.begin(), ms.end());
  }
  Stats s = Summarise(all);
  std::printf("median_ms=%.4f p99_ms=%.4f max_ms=%.4f\n", s.median, s.p99, s.max);
  fw::test::StopHeadless();
  std::error_code ec;
  std::filesystem::remove_all(prefs, ec);
  return 0;
}
