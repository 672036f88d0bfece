// The whole game as the replay trace shows it: windows with their texts, dialogs,
// the state shared between rounds, and the data file as written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

#include "tools/replay/Trace.h"

namespace fw {
class Window;
class MessageDialog;
}

namespace replay {

// Class, title, and the texts of the labels, fields and list rows, by control name.
Json DescribeWindow(const fw::Window& w);
// Message, explanation and the captions of the buttons shown.
Json DescribeDialog(const fw::MessageDialog& d);
// gCurPlayer, gTotScore, FameList and the saved game.
Json SampleGame();

std::string Hex(const std::string& bytes);

// Notices each write of a file: a write replaces it (new inode or time) or changes its bytes.
class FileWatch {
 public:
  explicit FileWatch(std::filesystem::path file);
  // The bytes when the file was written since the last call.
  std::optional<std::string> Written();

 private:
  std::filesystem::path file_;
  bool started_ = false;
  bool seen_ = false;
  ino_t inode_ = 0;
  long long mtimeNs_ = 0;
  std::string bytes_;
};

}  // namespace replay
