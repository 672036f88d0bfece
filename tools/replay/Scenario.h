// A replay scenario: how the play window is prepared and which inputs, clicks
// and snapshots come at which tick, read from its JSON text and checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace replay {

inline constexpr std::int64_t kMaxTicks = 10LL * 60 * 60 * 60;  // ticks: ten hours of 1/60 s
inline constexpr int kMaxMouseX = 32000;                         // pixels either side of the field
inline constexpr int kMaxBullets = 20;                           // the game's own limits
inline constexpr int kMaxBalls = 7;

struct MouseAt {
  std::int64_t tick = 0;
  int x = 0;
};

struct KeyAt {
  std::int64_t tick = 0;
  int keyCode = 0;  // 35 P, 49 space, 8 C
  bool down = false;
};

struct ClickAt {
  std::int64_t tick = 0;
  std::string control;
};

struct MenuAt {
  std::int64_t tick = 0;
  std::string item;  // a menu item's name, e.g. "FileSaveGame"
};

struct ButtonAt {
  std::int64_t tick = 0;
  std::string window;   // the window's class, e.g. "RoundScrn"
  std::string control;  // a push button, check box or canvas button in it
};

struct TypeAt {
  std::int64_t tick = 0;
  std::string text;  // typed key by key into the front window
};

struct SnapshotAt {
  std::int64_t tick = 0;
  std::filesystem::path file;
};

struct Day {
  int year = 0, month = 0, day = 0;
};

struct Scenario {
  std::uint32_t seed = 1;
  int difficulty = 1;  // 0 Easy, 1 Medium, 2 Hard
  int round = 1;       // internal round 1..17
  bool roundGiven = false;
  // A data file to start from; without a round the play window then opens as at start-up.
  std::optional<std::filesystem::path> dataFile;
  // No data file at all ("dataFile": null), as at the first start: the game writes the defaults.
  bool firstRun = false;
  // The day the whole run takes for today; none: the system's.
  std::optional<Day> today;
  // The tick at which the player chooses Quit (after the tick's other inputs); the run ends there.
  std::optional<std::int64_t> quit;
  std::optional<int> bltCt;
  std::optional<int> ballCt;
  std::int64_t ticks = 0;
  // Each list in tick order; entries of one tick keep the order they were given in.
  std::vector<MouseAt> mouse;
  std::vector<KeyAt> keys;
  std::vector<ClickAt> clicks;
  std::vector<SnapshotAt> snapshots;
  std::vector<MenuAt> menu;
  std::vector<ButtonAt> buttons;
  std::vector<TypeAt> typed;
  // Captions of the buttons that answer the dialogs, in the order the dialogs come.
  std::vector<std::string> answers;

  // The play window opens as at start-up (its Open handler and the player's window) rather than at a prepared round.
  bool Opening() const { return (dataFile || firstRun) && !roundGiven; }
};

struct ScenarioError {
  std::string message;  // one line, saying which key is wrong and why
};

using ParsedScenario = std::variant<Scenario, ScenarioError>;

ParsedScenario ParseScenario(std::string_view json);
// Reads and parses the file; an unreadable file is an error like any other.
ParsedScenario LoadScenario(const std::filesystem::path& file);

}  // namespace replay
