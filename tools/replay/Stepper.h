// The one stepping loop that tests and the replay tool drive the game through:
// it prepares the play window for a round and then runs it tick by tick on the
// manual clock, each tick's inputs and clicks before its frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fw {
class Application;
}
class GameScrn;

namespace replay {

struct Setup {
  std::uint32_t seed = 1;  // of the shared random source
  int difficulty = 1;      // 0 Easy, 1 Medium, 2 Hard
  int round = 1;           // internal round 1..17
  std::optional<int> bltCt;
  std::optional<int> ballCt;
  // Where the media are read from; none keeps what the process already set.
  std::optional<std::filesystem::path> mediaFolder;
};

struct KeyChange {
  int keyCode = 0;  // 35 P, 49 space, 8 C
  bool down = false;
};

// What happens at the start of one tick.
struct TickInput {
  std::optional<int> mouseX;      // the pointer's x from this tick on
  std::vector<KeyChange> keys;
  std::vector<std::string> clicks;  // names of play-window controls pressed and released
};

class Stepper {
 public:
  // Prepares the play window: seeded random source, difficulty, a new game at
  // the given round, then the overrides. Needs the headless framework started.
  // Answers the current-player window itself and then leaves no modal answer set.
  explicit Stepper(const Setup& setup);
  ~Stepper();
  Stepper(const Stepper&) = delete;
  Stepper& operator=(const Stepper&) = delete;

  GameScrn& window() const;
  // The number of the next tick to run, counted from 0.
  std::int64_t tick() const { return next_; }

  // Runs one tick: inputs, then clicks, then the surface's frame, the timers due
  // in the tick and the pending paints.
  void Step(const TickInput& input = {});
  void Steps(int n);
  // A click alone in the next tick.
  void Click(const std::string& control);

  static constexpr int kKeyP = 35, kKeySpace = 49, kKeyC = 8;

 private:
  void ClickNow(const std::string& control);

  std::unique_ptr<fw::Application> ownApp_;
  std::int64_t firstTick_ = 0;  // the clock's tick that is tick 0 here
  std::int64_t next_ = 0;
  int mouseX_ = 0;
  int mouseY_ = 0;
};

}  // namespace replay
