// The one stepping loop that tests and the replay tool drive the game through:
// it prepares the play window for a round and then runs it tick by tick on the
// manual clock, each tick's inputs and clicks before its frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class Application;
class Window;
class Control;
class Canvas;
class MenuBar;
class MenuItem;
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
  // The play window is left to Open, which opens it as at start-up, instead of a prepared round.
  bool opening = false;
};

// A window's class as the scenarios name it, e.g. "RoundScrn".
std::string ClassName(const fw::Window& w);
// Whether the game has a window class of that name.
bool IsWindowClass(std::string_view name);
// Whether the window has a control of that name that a button click can press (a push
// button, check box or canvas), or that a play-window click can press (a canvas).
bool HasButton(const fw::Window& w, std::string_view control);
bool HasCanvas(const fw::Window& w, std::string_view control);

// The menu bar the player sees: the play window's, else the application's; none before either.
fw::MenuBar* ShownMenuBar();
fw::MenuItem* FindMenuItem(const fw::MenuBar& bar, std::string_view name);
// A modal window is up, so no menu opens.
bool MenusBlocked();

struct KeyChange {
  int keyCode = 0;  // 35 P, 49 space, 8 C
  bool down = false;
};

// What happens at the start of one tick.
struct TickInput {
  std::optional<int> mouseX;      // the pointer's x from this tick on
  std::vector<KeyChange> keys;
  std::vector<std::string> clicks;  // names of play-window controls pressed and released
  std::vector<std::string> menus;   // menu items chosen as the player would
  struct Button {
    std::string window;   // class name
    std::string control;
  };
  std::vector<Button> buttons;      // clicked with the pointer on any window
  std::vector<std::string> typed;   // typed into the front window
  bool quit = false;                // the Quit item chosen after the other inputs
};

// What became of one click, menu choice, button click or typed text.
struct InputOutcome {
  std::string kind;   // "click", "menu", "button" or "type"
  std::string what;   // the control, the item, "Window.control", or the text
  bool done = false;  // false: disabled, hidden, blocked by a modal window, not there, or after a quit
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

  // Opens the play window as at start-up; its Open handler may show the player's window.
  void Open();

  GameScrn& window() const;
  // The number of the next tick to run, counted from 0.
  std::int64_t tick() const { return next_; }

  // Runs one tick: inputs, then clicks, then the surface's frame, the timers due
  // in the tick and the pending paints.
  // May run further ticks inside, while a window it opened is modal.
  void Step(const TickInput& input = {});
  // Step in two halves: the inputs, then the tick's time. Each click, menu choice,
  // button click and typed text is told to seen before it acts, since what it does may
  // run further ticks (a modal window's). Once the application quits no input acts.
  using InputSeen = std::function<void(const InputOutcome&)>;
  void Apply(const TickInput& input, const InputSeen& seen = nullptr);
  void Advance();
  void Steps(int n);
  // A click alone in the next tick.
  void Click(const std::string& control);

  static constexpr int kKeyP = 35, kKeySpace = 49, kKeyC = 8;

 private:
  // The play window's canvas that a click would reach, or null.
  static fw::Canvas* ClickTarget(const std::string& control);
  static void PressCanvas(fw::Canvas& canvas);
  // The control that a click would reach, or null.
  static fw::Control* Clickable(const std::string& windowClass, const std::string& control);
  static bool MenuEnabled(const std::string& item);
  void PressButton(fw::Control& c);
  static void TypeText(fw::Window& front, const std::string& text);

  std::unique_ptr<fw::Application> ownApp_;
  std::int64_t firstTick_ = 0;  // the clock's tick that is tick 0 here
  std::int64_t next_ = 0;
  int mouseX_ = 0;
  int mouseY_ = 0;
};

}  // namespace replay
