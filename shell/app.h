// The application object: start-up work, the data file, and the write at quit.
#pragma once

#include "framework/Application.h"
#include "framework/FolderItem.h"

#include <optional>

class app : public fw::Application {
 public:
  // Data the file holds has changed and must be written at quit; never cleared.
  bool isDirty = false;

  void Event_Open() override;
  void Event_Close() override;

  // Writes ZemboData; false (also told on standard error) when it could not be
  // written, and the file on disk is then as it was. Also false, without a word
  // more, after a readFile that found a file it could not read or no home
  // folder: readFile said so once, and the file is left as it stands.
  bool writeFile();
  void readFile();
  // The default player and hall of fame, then writeFile.
  bool initVars();

 private:
  bool keepOffFile_ = false;
};

app& App();

namespace datafile {
inline constexpr const char* kFileName = "ZemboData";
// The data file in the preferences folder.
std::optional<fw::FolderItem> Location();
}  // namespace datafile
