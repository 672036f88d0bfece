// The game's one menu bar, shared by the application and the play window, and
// the file type the data file is made with.
#pragma once

#include <memory>

#include "framework/Menu.h"

class Menu : public fw::MenuBar {
 public:
  // The one instance, made and built at the first call.
  static Menu& Instance();
  // Finalisation: the bar is released after the event loop ends.
  static void Release();

 private:
  Menu() = default;
  void Constructor();
  void Untitled1();  // File
  void Untitled2();  // Edit
  void Untitled3();  // Information
};

namespace FileTypes {
extern std::unique_ptr<fw::FileType> pTextPlain;
void Initialize();
}  // namespace FileTypes
