// pacing_bench SECONDS: the game as it starts for a player, on the real clock,
// with a round on Hard kept in play; reports how late each frame of the sprite
// surface comes after its due time. Beside it a bare process sleeps to the same
// 1/60 s deadlines over the same span, so that the game's lateness can be told
// from the machine's. Without a display it runs itself under xvfb-run.
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
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

void Count(Pacing& p, std::int64_t lateUs) {
  ++p.frames;
  p.late += lateUs > kLateUs;
  p.worstUs = std::max(p.worstUs, lateUs);
  p.lateUs.push_back(lateUs);
}

void PrintLine(const char* who, const Pacing& p) {
  std::printf("%s frames=%lld late_2ms=%lld worst_ms=%.3f\n", who, static_cast<long long>(p.frames),
              static_cast<long long>(p.late), static_cast<double>(p.worstUs) / 1000.0);
}

// The bare sleeper, a child forked before anything else exists. It waits for the
// span the game measures (from the first round to the end, on the clock both
// share), sleeps to each next tick's start as the frames are scheduled, and
// writes its figures back.
struct Sleeper {
  pid_t pid = -1;
  int toSleeper = -1;    // the parent writes the span's end, in NowUs
  int fromSleeper = -1;  // the sleeper writes frames, late, worstUs
  bool started = false;
};
Sleeper gSleeper;

std::int64_t MonotonicNs() {
  timespec t;
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

[[noreturn]] void RunSleeper(int in, int out) {
  std::int64_t endUs = 0;
  Pacing p;
  if (::read(in, &endUs, sizeof endUs) == sizeof endUs) {
    // The game's clock counts from the process start on the monotonic clock; the
    // sleeper reads that clock itself, so that a deadline and its waking compare exactly.
    const std::int64_t originNs = MonotonicNs() - fw::NowUs() * 1000;
    auto nowUs = [&] { return (MonotonicNs() - originNs) / 1000; };
    for (std::int64_t tick = nowUs() * fw::kTicksPerSecond / fw::kUsPerSecond; nowUs() < endUs;) {
      const std::int64_t dueUs = fw::TickStartUs(tick + 1);
      const std::int64_t dueNs = originNs + dueUs * 1000;
      timespec due{static_cast<time_t>(dueNs / 1'000'000'000), static_cast<long>(dueNs % 1'000'000'000)};
      while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) != 0) {}
      const std::int64_t now = nowUs();
      Count(p, now - dueUs);
      tick = now * fw::kTicksPerSecond / fw::kUsPerSecond;
    }
  }
  const std::int64_t figures[3] = {p.frames, p.late, p.worstUs};
  [[maybe_unused]] auto n = ::write(out, figures, sizeof figures);
  ::_exit(0);
}

bool StartSleeper() {
  int down[2], up[2];
  if (::pipe(down) != 0 || ::pipe(up) != 0) return false;
  gSleeper.pid = ::fork();
  if (gSleeper.pid < 0) return false;
  if (gSleeper.pid == 0) {
    ::close(down[1]);
    ::close(up[0]);
    RunSleeper(down[0], up[1]);
  }
  ::close(down[0]);
  ::close(up[1]);
  gSleeper.toSleeper = down[1];
  gSleeper.fromSleeper = up[0];
  return true;
}

// The sleeper's figures, once the span has ended; none when it never started.
std::optional<Pacing> SleeperFigures() {
  if (gSleeper.pid <= 0) return std::nullopt;
  ::close(gSleeper.toSleeper);  // a sleeper still waiting for its span ends now
  std::int64_t figures[3] = {};
  bool ok = ::read(gSleeper.fromSleeper, figures, sizeof figures) == sizeof figures;
  ::waitpid(gSleeper.pid, nullptr, 0);
  if (!ok || !gSleeper.started) return std::nullopt;
  Pacing p;
  p.frames = figures[0];
  p.late = figures[1];
  p.worstUs = figures[2];
  return p;
}

std::int64_t gEndUs = 0;  // when the stop timer ends the run, in NowUs

// The next frame is due at the tick after the one in which the previous frame began.
struct TimedFrame {
  std::function<void()> inner;
  void operator()() const {
    std::int64_t now = fw::NowUs();
    if (gPacing.lastTick >= 0) Count(gPacing, now - fw::TickStartUs(gPacing.lastTick + 1));
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
  if (!gSleeper.started && gSleeper.pid > 0) {
    gSleeper.started = ::write(gSleeper.toSleeper, &gEndUs, sizeof gEndUs) == sizeof gEndUs;
  }
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
  if (!StartSleeper()) std::fprintf(stderr, "pacing_bench: no sleeper beside the game\n");

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
        gEndUs = fw::NowUs() + std::int64_t{seconds} * fw::kUsPerSecond;
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
  PrintLine("game", gPacing);
  if (std::optional<Pacing> sleeper = SleeperFigures()) PrintLine("sleeper", *sleeper);
  return status;
}
