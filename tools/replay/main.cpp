// zembo-replay SCENARIO.json: runs the game headless on the manual clock as the
// scenario says and prints one JSON line per tick in which something happened.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "game/GameScrn.h"
#include "shell/media.h"
#include "tools/replay/Scenario.h"
#include "tools/replay/Snapshot.h"
#include "tools/replay/StateTrace.h"
#include "tools/replay/Stepper.h"
#include "tools/replay/Trace.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadScenario = 2;

void Complain(const std::string& line) { std::fprintf(stderr, "zembo-replay: %s\n", line.c_str()); }

// The player's preferences stay untouched: the run keeps its data (and the
// platform its runtime files) in a folder of its own, removed when the run ends.
class PrivatePreferences {
 public:
  PrivatePreferences() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "zembo-replay-XXXXXX").string();
    if (::mkdtemp(pattern.data())) {
      folder_ = pattern;
      // Made by mkdtemp, so private to this user as the runtime folder must be.
      ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
      ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
    }
  }
  ~PrivatePreferences() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  PrivatePreferences(const PrivatePreferences&) = delete;
  PrivatePreferences& operator=(const PrivatePreferences&) = delete;
  bool Ready() const { return !folder_.empty(); }

 private:
  std::filesystem::path folder_;
};

// Walks one timed list (in tick order) alongside the ticks.
template <typename T>
class Due {
 public:
  explicit Due(const std::vector<T>& list) : list_(list) {}
  template <typename F>
  bool Each(std::int64_t tick, F&& f) {
    std::size_t from = next_;
    while (next_ < list_.size() && list_[next_].tick == tick) f(list_[next_++]);
    return next_ != from;
  }

 private:
  const std::vector<T>& list_;
  std::size_t next_ = 0;
};

GameScrn* OpenPlayWindow() { return dynamic_cast<GameScrn*>(fw::windows::Find(typeid(GameScrn))); }

// The window's frame, pair and timer events pass through the recorder on their way.
struct ObservedFrame {
  replay::Recorder* rec;
  std::function<void()> inner;
  void operator()() const {
    rec->OnFrame();
    if (inner) inner();
  }
};
struct ObservedPair {
  replay::Recorder* rec;
  std::function<void(fw::Sprite&, fw::Sprite&)> inner;
  void operator()(fw::Sprite& a, fw::Sprite& b) const {
    rec->OnPair(a, b);
    if (inner) inner(a, b);
  }
};
struct ObservedTimer {
  replay::Recorder* rec;
  std::function<void()> inner;
  void operator()() const {
    rec->OnTimer();
    if (inner) inner();
  }
};

// Idempotent, so a play window made afresh during the run is observed too.
void Observe(GameScrn& w, replay::Recorder& rec) {
  if (w.mySS.NextFrame.target<ObservedFrame>()) return;
  w.mySS.NextFrame = ObservedFrame{&rec, w.mySS.NextFrame};
  w.mySS.Collision = ObservedPair{&rec, w.mySS.Collision};
  for (fw::Timer* t : {&w.roundTimer, &w.showTimer}) t->Action = ObservedTimer{&rec, t->Action};
}

// Draws and sounds go to the recorder while this lives.
class Listening {
 public:
  explicit Listening(replay::Recorder& rec) {
    fw::random_hooks::SetObserver([&rec](int lo, int hi, int v) { rec.OnDraw(lo, hi, v); });
    media::SetPlayObserver([&rec](std::string_view name) { rec.OnSound(name); });
  }
  ~Listening() {
    fw::random_hooks::SetObserver(nullptr);
    media::SetPlayObserver(nullptr);
  }
  Listening(const Listening&) = delete;
  Listening& operator=(const Listening&) = delete;
};

// rec outlives the play window, whose handlers keep pointing at it.
int Run(const replay::Scenario& sc, replay::Recorder& rec) {
  Listening listening(rec);

  replay::Setup setup;
  setup.seed = sc.seed;
  setup.difficulty = sc.difficulty;
  setup.round = sc.round;
  setup.bltCt = sc.bltCt;
  setup.ballCt = sc.ballCt;
  setup.mediaFolder = std::filesystem::path(ZEMBO_MEDIA_DIR);
  replay::Stepper stepper(setup);
  Observe(stepper.window(), rec);

  Due mouse(sc.mouse);
  Due keys(sc.keys);
  Due clicks(sc.clicks);
  Due snapshots(sc.snapshots);
  for (std::int64_t t = 0; t < sc.ticks; ++t) {
    rec.Begin(t);
    replay::TickInput in;
    bool input = mouse.Each(t, [&](const replay::MouseAt& m) { in.mouseX = m.x; });
    input |= keys.Each(t, [&](const replay::KeyAt& k) { in.keys.push_back({k.keyCode, k.down}); });
    input |= clicks.Each(t, [&](const replay::ClickAt& c) { in.clicks.push_back(c.control); });
    if (input) rec.OnInput();
    stepper.Step(in);

    GameScrn* w = OpenPlayWindow();
    if (w) Observe(*w, rec);
    bool wrote = true;
    snapshots.Each(t, [&](const replay::SnapshotAt& s) {
      if (!wrote) return;
      auto pic = w ? fw::test::Render(*w) : fw::Ref<fw::Picture>();
      wrote = pic && replay::WriteSnapshot(*pic, s.file);
      if (!wrote) Complain("cannot write snapshot " + s.file.string());
    });
    if (!wrote) return kExitFailed;

    if (!rec.Current().Eventful()) continue;
    std::string line = replay::TraceLine(rec.Current(), w ? replay::SampleState(*w, rec.Ids()) : replay::Json(nullptr));
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) {
      Complain("cannot write the trace");
      return kExitFailed;
    }
  }
  if (std::fflush(stdout) != 0) {
    Complain("cannot write the trace");
    return kExitFailed;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    Complain("usage: zembo-replay SCENARIO.json");
    return kExitBadScenario;
  }
  auto parsed = replay::LoadScenario(argv[1]);
  if (auto* err = std::get_if<replay::ScenarioError>(&parsed)) {
    Complain(std::string(argv[1]) + ": " + err->message);
    return kExitBadScenario;
  }

  PrivatePreferences prefs;
  if (!prefs.Ready()) {
    Complain("cannot make a temporary folder for the preferences");
    return kExitFailed;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("ZEMBO_SILENT_AUDIO", "1", 1);
  const auto& sc = std::get<replay::Scenario>(parsed);
  replay::Recorder rec;  // made before any sprite: ids count from here
  fw::test::StartHeadless(sc.seed);
  int status = kExitFailed;
  try {
    status = Run(sc, rec);
  } catch (const std::exception& e) {
    Complain(std::string("the run failed: ") + e.what());
  }
  fw::test::StopHeadless();
  return status;
}
