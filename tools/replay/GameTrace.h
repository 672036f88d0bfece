// The whole game as the replay trace shows it: windows with their texts, dialogs,
// the state shared between rounds, and the data file as written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "tools/replay/Trace.h"

namespace fw {
class Window;
class MessageDialog;
}
class GameScrn;

namespace replay {

// Class, title, and the texts of the labels, fields and list rows, by control name.
Json DescribeWindow(const fw::Window& w);
// Message, explanation and the captions of the buttons shown.
Json DescribeDialog(const fw::MessageDialog& d);
// gCurPlayer, gTotScore, FameList and the saved game.
Json SampleGame();

std::string Hex(const std::string& bytes);

// Notices the game's writes of a file by the framework's count of files written,
// and reads the file only after one.
class DataWrites {
 public:
  // Writes made before it are not reported.
  explicit DataWrites(std::filesystem::path file);
  // The bytes when the file was written since the last call.
  std::optional<std::string> Written();

 private:
  std::filesystem::path file_;
  std::uint64_t seen_ = 0;
};

// The run button's caption and the menu items' enabled and ticked states, each told
// the first time it is seen and then whenever it changes.
class ShownStates {
 public:
  std::optional<std::string> RunCaption(const GameScrn* w);
  // {item: {"enabled", "checked"}} for the items that changed, in the menus' order.
  // Enabled is read as the menus would show it, so not while a modal window blocks them.
  Json MenuChanges();

 private:
  struct Item {
    bool enabled = false;
    bool checked = false;
  };
  std::optional<std::string> caption_;
  std::map<std::string, Item, std::less<>> items_;
};
}  // namespace replay
