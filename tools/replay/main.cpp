// zembo-replay SCENARIO.json: runs the game headless on the manual clock as the
// scenario says and prints one JSON line per tick in which something happened.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/FolderItem.h"
#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "game/GameScrn.h"
#include "shell/Menu.h"
#include "shell/app.h"
#include "shell/media.h"
#include "tools/replay/GameTrace.h"
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

// Plays the scenario tick by tick. A window shown modally runs the following ticks
// inside it until it closes; a tick's line is written when the next tick begins (or
// the run ends), so what follows a modal window's closing joins the tick that closed it.
class Player {
 public:
  Player(const replay::Scenario& sc, replay::Recorder& rec, replay::Stepper& stepper,
         std::optional<replay::DataWrites>& dataFile)
      : sc_(sc), rec_(rec), stepper_(stepper), dataFile_(dataFile),
        mouse_(sc.mouse), keys_(sc.keys), clicks_(sc.clicks), snapshots_(sc.snapshots),
        menu_(sc.menu), buttons_(sc.buttons), typed_(sc.typed) {}

  // Windows already open when the run starts are not reported as opened.
  void Know(fw::Window& w) {
    open_.push_back({&w, Brief(w)});
    CheckControls(w);
  }

  void Install() {
    fw::test::OnModal([this](fw::Window& m) {
      // Shown by the tick's inputs, the window comes up before the tick's time, which
      // runs first (held, it runs no frame): the ticks inside follow it in order.
      if (!timeRun_) RunTime();
      while (m.IsOpen() && !Over()) RunTick();
      if (m.IsOpen()) m.Close();
    });
    fw::test::OnDialog([this](const fw::MessageDialog& d) { return Answer(d); });
    fw::test::OnShown([this](fw::Window& w) {
      CheckControls(w);
      NoteClosed(&w);
      open_.push_back({&w, Brief(w)});
      replay::Json e;
      e["opened"] = replay::DescribeWindow(w);
      rec_.OnWindow(std::move(e));
    });
  }

  void Play() {
    while (!Over()) RunTick();
    Flush();
  }

  int Status() const { return status_; }
  const std::string& Failure() const { return failure_; }

 private:
  struct Known {
    fw::Window* w;
    replay::Json brief;
  };
  static replay::Json Brief(const fw::Window& w) {
    replay::Json b;
    b["class"] = replay::ClassName(w);
    b["title"] = w.Title();
    return b;
  }

  bool Over() const { return status_ != 0 || quit_ || stepper_.tick() >= sc_.ticks; }

  // A control the scenario clicks must be one its window has: told as soon as the window shows.
  void CheckControls(const fw::Window& w) {
    std::string cls = replay::ClassName(w);
    for (const replay::ButtonAt& b : sc_.buttons)
      if (b.window == cls && !replay::HasButton(w, b.control))
        Fail(kExitBadScenario, "button \"" + cls + "." + b.control + "\" at tick " + std::to_string(b.tick) +
                                   ": " + cls + " has no such push button, check box or canvas");
    if (!dynamic_cast<const GameScrn*>(&w)) return;
    for (const replay::ClickAt& c : sc_.clicks)
      if (!replay::HasCanvas(w, c.control))
        Fail(kExitBadScenario, "click \"" + c.control + "\" at tick " + std::to_string(c.tick) +
                                   ": the play window has no such canvas");
  }

  void RunTick() {
    Flush();
    std::int64_t t = stepper_.tick();
    rec_.Begin(t);
    pending_ = true;
    timeRun_ = false;
    replay::TickInput in;
    bool input = mouse_.Each(t, [&](const replay::MouseAt& m) { in.mouseX = m.x; });
    input |= keys_.Each(t, [&](const replay::KeyAt& k) { in.keys.push_back({k.keyCode, k.down}); });
    input |= clicks_.Each(t, [&](const replay::ClickAt& c) { in.clicks.push_back(c.control); });
    input |= menu_.Each(t, [&](const replay::MenuAt& m) { in.menus.push_back(m.item); });
    input |= buttons_.Each(t, [&](const replay::ButtonAt& b) { in.buttons.push_back({b.window, b.control}); });
    input |= typed_.Each(t, [&](const replay::TypeAt& k) { in.typed.push_back(k.text); });
    in.quit = sc_.quit == t;
    if (input || in.quit) rec_.OnInput();
    stepper_.Apply(in, [this](const replay::InputOutcome& o) {
      replay::Json e;
      e[o.kind] = o.what;
      e["done"] = o.done;
      rec_.OnInputDone(std::move(e));
    });
    // The application has left its event loop: no more time passes.
    if (fw::CurrentApp() && fw::CurrentApp()->Quitting()) {
      quit_ = true;
      return;
    }
    if (!timeRun_) RunTime();
  }

  // The pending tick's time: its frame, timers and paints.
  void RunTime() {
    timeRun_ = true;
    stepper_.Advance();
    if (sc_.Opening() && !opened_) {
      opened_ = true;
      stepper_.Open();
    }
    if (GameScrn* w = OpenPlayWindow()) Observe(*w, rec_);
  }

  // Writes the pending tick's line, with what closed and what was written by now.
  // Snapshots show the tick as its line does: at its end, or as a modal window shown in it opens.
  void Flush() {
    if (!pending_) return;
    pending_ = false;
    snapshots_.Each(rec_.Current().f, [&](const replay::SnapshotAt& s) {
      if (status_ != 0) return;
      GameScrn* w = OpenPlayWindow();
      auto pic = w ? fw::test::Render(*w) : fw::Ref<fw::Picture>();
      if (!pic || !replay::WriteSnapshot(*pic, s.file)) Fail(kExitFailed, "cannot write snapshot " + s.file.string());
    });
    NoteClosed(nullptr);
    if (auto caption = shown_.RunCaption(OpenPlayWindow())) rec_.OnRunCaption(*caption);
    if (replay::Json menus = shown_.MenuChanges(); !menus.empty()) rec_.OnMenus(std::move(menus));
    if (dataFile_)
      if (auto bytes = dataFile_->Written()) rec_.OnDataFile(replay::Hex(*bytes));
    if (!rec_.Current().Eventful() || status_ == kExitFailed) return;
    GameScrn* w = OpenPlayWindow();
    if (w) Observe(*w, rec_);
    std::string line = replay::TraceLine(rec_.Current(), w ? replay::SampleState(*w, rec_.Ids()) : replay::Json(nullptr),
                                         replay::SampleGame());
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) Fail(kExitFailed, "cannot write the trace");
  }

  // Windows gone since they were seen; also the one whose place a new window takes.
  void NoteClosed(const fw::Window* reused) {
    std::vector<fw::Window*> all = fw::windows::All();
    for (auto it = open_.begin(); it != open_.end();) {
      bool present = it->w != reused && std::find(all.begin(), all.end(), it->w) != all.end() && it->w->IsOpen();
      if (present) {
        ++it;
        continue;
      }
      replay::Json e;
      e["closed"] = it->brief;
      rec_.OnWindow(std::move(e));
      it = open_.erase(it);
    }
  }

  // The next answer, by the caption of one of the dialog's buttons.
  fw::MessageDialog::Pressed Answer(const fw::MessageDialog& d) {
    using Pressed = fw::MessageDialog::Pressed;
    replay::Json e = replay::DescribeDialog(d);
    Pressed pressed = Pressed::None;
    std::string caption;
    if (status_ == 0) {
      std::string where = "dialog \"" + d.Message + "\" at tick " + std::to_string(rec_.Current().f);
      if (nextAnswer_ >= sc_.answers.size()) {
        Fail(kExitBadScenario, where + " has no answer");
      } else {
        caption = sc_.answers[nextAnswer_++];
        if (d.ActionButton.Visible && d.ActionButton.Caption == caption) pressed = Pressed::Action;
        else if (d.AlternateActionButton.Visible && d.AlternateActionButton.Caption == caption) pressed = Pressed::Alternate;
        else if (d.CancelButton.Visible && d.CancelButton.Caption == caption) pressed = Pressed::Cancel;
        else Fail(kExitBadScenario, where + " has no button \"" + caption + "\"");
      }
    }
    e["answer"] = pressed == Pressed::None ? replay::Json(nullptr) : replay::Json(caption);
    rec_.OnDialog(std::move(e));
    return pressed;
  }

  void Fail(int status, std::string why) {
    if (status_ != 0) return;
    status_ = status;
    failure_ = std::move(why);
  }

  const replay::Scenario& sc_;
  replay::Recorder& rec_;
  replay::Stepper& stepper_;
  std::optional<replay::DataWrites>& dataFile_;
  replay::ShownStates shown_;
  Due<replay::MouseAt> mouse_;
  Due<replay::KeyAt> keys_;
  Due<replay::ClickAt> clicks_;
  Due<replay::SnapshotAt> snapshots_;
  Due<replay::MenuAt> menu_;
  Due<replay::ButtonAt> buttons_;
  Due<replay::TypeAt> typed_;
  std::vector<Known> open_;
  std::size_t nextAnswer_ = 0;
  bool pending_ = false;
  bool timeRun_ = false;  // the pending tick's time has begun
  bool opened_ = false;
  bool quit_ = false;
  int status_ = 0;
  std::string failure_;
};

// A menu item or window class that the game does not have.
std::optional<std::string> Unknown(const replay::Scenario& sc) {
  fw::MenuBar* bar = replay::ShownMenuBar();
  for (const replay::MenuAt& m : sc.menu)
    if (!bar || !replay::FindMenuItem(*bar, m.item))
      return "menu \"" + m.item + "\" at tick " + std::to_string(m.tick) + ": the game has no such menu item";
  for (const replay::ButtonAt& b : sc.buttons)
    if (!replay::IsWindowClass(b.window))
      return "button \"" + b.window + "." + b.control + "\" at tick " + std::to_string(b.tick) +
             ": the game has no such window";
  return std::nullopt;
}

// rec outlives the play window, whose handlers keep pointing at it.
int Run(const replay::Scenario& sc, replay::Recorder& rec) {
  Listening listening(rec);
  app theApp;  // the game's own application object: the data file and its writes
  theApp.SetMenuBar(&Menu::Instance());

  std::optional<fw::FolderItem> data = datafile::Location();
  std::optional<replay::DataWrites> writes;
  if (data) writes.emplace(data->Path());
  if (sc.dataFile) {
    std::error_code ec;
    if (!data || !std::filesystem::is_regular_file(*sc.dataFile, ec) ||
        !std::filesystem::copy_file(*sc.dataFile, data->Path(), std::filesystem::copy_options::overwrite_existing, ec)) {
      Complain("cannot read the data file " + sc.dataFile->string());
      return kExitBadScenario;
    }
  }
  // With no file the game makes the defaults and writes them, as on its first start.
  if (sc.dataFile || sc.firstRun) theApp.readFile();

  replay::Setup setup;
  setup.seed = sc.seed;
  setup.difficulty = sc.difficulty;
  setup.round = sc.round;
  setup.bltCt = sc.bltCt;
  setup.ballCt = sc.ballCt;
  setup.mediaFolder = std::filesystem::path(ZEMBO_MEDIA_DIR);
  setup.opening = sc.Opening();
  replay::Stepper stepper(setup);

  if (auto unknown = Unknown(sc)) {
    Complain(*unknown);
    return kExitBadScenario;
  }
  Player player(sc, rec, stepper, writes);
  if (GameScrn* w = OpenPlayWindow()) {
    Observe(*w, rec);
    player.Know(*w);
  }
  player.Install();
  if (player.Status() == 0) player.Play();
  fw::test::OnModal(nullptr);
  fw::test::OnDialog(nullptr);
  fw::test::OnShown(nullptr);
  // A handler that failed is a failed run, not a trace to trust.
  if (auto reports = fw::test::TakeUnhandledReports(); !reports.empty() && player.Status() == 0) {
    Complain("the game failed: " + reports.front());
    return kExitFailed;
  }
  if (player.Status() != 0) {
    Complain(player.Failure());
    return player.Status();
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
  // The offscreen platform's notes (it cannot raise a window, ...) would crowd the one
  // line a failed run ends with; a rule set by the caller still wins.
  ::setenv("QT_LOGGING_RULES", "default.warning=false", 0);
  ::setenv("ZEMBO_SILENT_AUDIO", "1", 1);
  const auto& sc = std::get<replay::Scenario>(parsed);
  replay::Recorder rec;  // made before any sprite: ids count from here
  fw::test::StartHeadless(sc.seed);
  if (sc.today) fw::test::FixToday(fw::Date(sc.today->year, sc.today->month, sc.today->day));
  int status = kExitFailed;
  try {
    status = Run(sc, rec);
  } catch (const std::exception& e) {
    Complain(std::string("the run failed: ") + e.what());
  }
  fw::test::StopHeadless();
  return status;
}
