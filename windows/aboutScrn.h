// The About window: the game's name, version and build, the maker's web address,
// and the reset of the saved data (Option held as Close is released).
#pragma once

#include <string>

#include "framework/Window.h"
#include "shell/CnvBtn.h"

class aboutScrn : public fw::Window {
 public:
  aboutScrn();

  // Return and Enter close the window (and are taken); no key resets anything.
  bool Event_KeyDown(const std::string& key) override;

  // Controls, in creation order.
  fw::StaticText StaticText2{this, "StaticText2", 100, 23, 300, 20};
  fw::StaticText StaticText3{this, "StaticText3", 100, 50, 300, 26};
  fw::StaticText StaticText4{this, "StaticText4", 100, 78, 300, 27};
  fw::StaticText StaticText5{this, "StaticText5", 50, 117, 400, 37};
  fw::StaticText URLTxt{this, "URLTxt", 100, 166, 300, 20};
  fw::StaticText StaticText10{this, "StaticText10", 100, 287, 300, 22};
  fw::StaticText StaticText1{this, "StaticText1", 0, 4, 500, 20};
  fw::StaticText StaticText11{this, "StaticText11", 50, 206, 400, 52};
  CnvBtn acceptBtn{this, "acceptBtn", 190, 333, 120, 30};
  fw::StaticText buildTxt{this, "buildTxt", 380, 375, 100, 16};

 private:
  void Layout();
  void CreateControls();
  void URLTxt_MouseExit();
  void URLTxt_MouseEnter();
  void URLTxt_MouseUp(int x, int y);
  bool URLTxt_MouseDown(int x, int y);
  void StaticText10_Open();
  void acceptBtn_MouseUp(int x, int y);
  void buildTxt_Open();
  // The default player and hall of fame, written with the saved game in memory.
  void resetData();
};
