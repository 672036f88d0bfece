// pacing_bench SECONDS: the game as it starts for a player, on the real clock,
// with a round on Hard kept in play; reports how late each frame of the sprite
// surface comes after its due time. Without a display it runs itself under
// xvfb-run.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Clock.h"
#include "framework/Timer.h"
#include "framework/Window.h"
#include "game/GameScrn.h"
#include "windows/RoundScrn.h"
#include "windows/getCurPl.h"
#include "shell/Startup.h"

namespace {

constexpr int kDefaultSeconds = 300;
constexpr int kMaxSeconds = 24 * 60 * 60;
constexpr std::int64_t kLateUs = 2000;  // a frame this far past its due time is late
constexpr int kWatchMs = 250;           // how often a finished round is replaced
constexpr int kRound = 16;              // internal round: 17 bubbles on Hard, no introduction
constexpr int kHard = 2;
constexpr const char* kUnderXvfb = "ZEMBO_PACING_UNDER_XVFB";

struct Pacing {
  std::int64_t frames = 0;  // frames whose due time is known
  std::int64_t late = 0;
  std::int64_t worstUs = 0;
  std::vector<std::int64_t> lateUs;  // of every such frame, for the spread
  std::int64_t lastTick = -1;  // clock tick at the previous frame; -1 after a (re)start
};
Pacing gPacing;

// The next frame is due at the tick after the one in which the previous frame began.
struct TimedFrame {
  std::function<void()> inner;
  void operator()() const {
    std::int64_t now = fw::NowUs();
    if (gPacing.lastTick >= 0) {
      std::int64_t lateUs = now - fw::TickStartUs(gPacing.lastTick + 1);
      ++gPacing.frames;
      gPacing.late += lateUs > kLateUs;
      gPacing.worstUs = std::max(gPacing.worstUs, lateUs);
      gPacing.lateUs.push_back(lateUs);
    }
    gPacing.lastTick = now * fw::kTicksPerSecond / fw::kUsPerSecond;
    if (inner) inner();
  }
};

// Keeps a round in play: a round that ended is followed by a fresh one, as a
// player who answers every window at once would.
void Watch() {
  if (auto* player = dynamic_cast<getCurPl*>(fw::windows::Find(typeid(getCurPl)))) {
    player->acceptBtn_MouseUp(0, 0);
    return;
  }
  auto* w = dynamic_cast<GameScrn*>(fw::windows::Find(typeid(GameScrn)));
  if (!w || !w->IsVisible()) return;
  if (!w->mySS.NextFrame.target<TimedFrame>()) w->mySS.NextFrame = TimedFrame{w->mySS.NextFrame};
  if (w->mySS.IsRunning() || w->roundTimer.GetMode() != fw::Timer::kOff) return;
  for (fw::Window* shown : fw::windows::All())
    if (dynamic_cast<RoundScrn*>(shown)) shown->Close();
  if (!w->isPause) {
    if (w->gameOver) w->initStartVars();
    w->setSpeedMenu(kHard);
    w->round = kRound - 1;
    w->reinit();
  }
  gPacing.lastTick = -1;
  w->hndlRunAction();
}

int RerunUnderXvfb(char** argv) {
  ::setenv(kUnderXvfb, "1", 1);
  ::unsetenv("QT_QPA_PLATFORM");
  std::string seconds = argv[1] ? argv[1] : std::to_string(kDefaultSeconds);
  char xvfb[] = "xvfb-run", a[] = "-a";
  char* args[] = {xvfb, a, argv[0], seconds.data(), nullptr};
  ::execvp(xvfb, args);
  std::fprintf(stderr, "pacing_bench: no display, and xvfb-run could not be started\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : kDefaultSeconds;
  if (argc > 2 || seconds < 1 || seconds > kMaxSeconds) {
    std::fprintf(stderr, "usage: pacing_bench [SECONDS from 1 to %d]\n", kMaxSeconds);
    return 2;
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv(kUnderXvfb)) return RerunUnderXvfb(argv);

  // The player's preferences stay untouched.
  std::filesystem::path prefs = std::filesystem::temp_directory_path() / ("zembo-pacing-" + std::to_string(::getpid()));
  std::filesystem::create_directories(prefs);
  ::setenv("XDG_CONFIG_HOME", prefs.c_str(), 1);
  ::setenv("ZEMBO_SILENT_AUDIO", "1", 0);

  fw::Timer watch;
  fw::Timer stop;
  int status = fw::RunApplication(
      argc > 1 ? 1 : argc, argv,
      [&] {
        startup::Startup();
        watch.Action = Watch;
        watch.SetPeriod(kWatchMs);
        watch.SetMode(fw::Timer::kMultiple);
        stop.Action = [] { fw::CurrentApp()->Quit(); };
        stop.SetPeriod(seconds * 1000);
        stop.SetMode(fw::Timer::kSingle);
      },
      [&] {
        watch.SetMode(fw::Timer::kOff);
        startup::Finalise();
      });
  std::error_code ec;
  std::filesystem::remove_all(prefs, ec);
  if (!gPacing.lateUs.empty()) {
    std::vector<std::int64_t>& all = gPacing.lateUs;
    std::sort(all.begin(), all.end());
    auto at = [&](double q) { return static_cast<double>(all[static_cast<std::size_t>(q * static_cast<double>(all.size() - 1))]) / 1000.0; };
    std::printf("lateness_ms median=%.3f p90=%.3f p99=%.3f\n", at(0.5), at(0.9), at(0.99));
  }
  std::printf("frames=%lld late_2ms=%lld worst_ms=%.3f\n", static_cast<long long>(gPacing.frames),
              static_cast<long long>(gPacing.late), static_cast<double>(gPacing.worstUs) / 1000.0);
  return status;
}
