// The replay trace: what one tick did (frame, draws, collision pairs, sounds)
// gathered as it happens, and written as one JSON line with the sampled state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace fw {
class Sprite;
}

namespace replay {

// Keys keep the order they were set in, so every line reads f, ran, rng, pairs, sounds, state.
using Json = nlohmann::ordered_json;

struct TickRecord {
  std::int64_t f = 0;
  bool ran = false;            // the surface ran a frame
  bool inputHandled = false;   // the tick had inputs or clicks
  bool timerFired = false;
  std::vector<std::array<int, 3>> rng;              // lo, hi, value
  std::vector<std::array<std::int64_t, 4>> pairs;   // idA, groupA, idB, groupB
  std::vector<std::string> sounds;
  // Whole-game events, each a JSON object; shown in the line only when there are any.
  Json inputs = Json::array();    // menu choices, button clicks and typing, each done or refused
  Json windows = Json::array();   // windows opened and closed
  Json dialogs = Json::array();   // dialogs shown, with the answer given
  std::optional<std::string> runBtnCaption;  // the run button's caption, when it changed
  Json menus = Json::object();    // menu items whose enabled or ticked state changed
  std::string dataFile;           // the data file's bytes in hex, when it was written

  // A tick in which nothing happened may be left out of the trace.
  bool Eventful() const {
    return ran || inputHandled || timerFired || !rng.empty() || !pairs.empty() || !sounds.empty() || !inputs.empty() ||
           !windows.empty() || !dialogs.empty() || runBtnCaption || !menus.empty() || !dataFile.empty();
  }
};

// Sprites are named 1, 2, 3 ... in the order they were made since the recorder started.
class SpriteIds {
 public:
  // Call before the run makes its first sprite.
  SpriteIds();
  std::int64_t operator()(const fw::Sprite& s) const;

 private:
  std::uint64_t before_ = 0;  // sprites the process had made before
};

// Collects the events of the current tick; the run's hooks call the On* members.
class Recorder {
 public:
  void Begin(std::int64_t tick);
  void OnFrame() { rec_.ran = true; }
  void OnInput() { rec_.inputHandled = true; }
  void OnTimer() { rec_.timerFired = true; }
  void OnDraw(int lo, int hi, int value) { rec_.rng.push_back({lo, hi, value}); }
  void OnPair(const fw::Sprite& a, const fw::Sprite& b);
  void OnSound(std::string_view name) { rec_.sounds.emplace_back(name); }
  void OnInputDone(Json entry) { rec_.inputs.push_back(std::move(entry)); }
  void OnWindow(Json entry) { rec_.windows.push_back(std::move(entry)); }
  void OnDialog(Json entry) { rec_.dialogs.push_back(std::move(entry)); }
  void OnRunCaption(std::string caption) { rec_.runBtnCaption = std::move(caption); }
  void OnMenus(Json changed) { rec_.menus = std::move(changed); }
  void OnDataFile(std::string hex) { rec_.dataFile = std::move(hex); }
  const TickRecord& Current() const { return rec_; }
  const SpriteIds& Ids() const { return ids_; }

 private:
  SpriteIds ids_;
  TickRecord rec_;
};

// One line of the trace, without the line ending. game, when not null, follows the
// state: the running total, the hall of fame and the saved game.
std::string TraceLine(const TickRecord& rec, const Json& state, const Json& game = nullptr);

}  // namespace replay
