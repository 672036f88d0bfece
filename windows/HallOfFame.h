// The hall-of-fame window: the ten best totals, the newest one selected.
#pragma once

#include <string>

#include "framework/ListBox.h"
#include "framework/Window.h"
#include "shell/CnvBtn.h"

class HallOfFame : public fw::Window {
 public:
  HallOfFame();
  static HallOfFame& Instance() { return fw::Implicit<HallOfFame>(); }

  // Brings the window forward; shown again while open, it first takes in a row
  // added or changed since it was filled.
  void Show();

  // Return or Enter closes the window as its button does, and is taken.
  bool Event_KeyDown(const std::string& key) override;

  // Controls, in tab order.
  fw::ListBox ListBox1{this, "ListBox1", 20, 26, 320, 200};
  fw::StaticText StaticText1{this, "StaticText1", 20, 3, 320, 20};
  CnvBtn closeBtn{this, "closeBtn", 120, 246, 120, 30};

 private:
  void Layout();
  void _CreateControls0();
  void ListBox1_Open();
  void closeBtn_Open();
  void closeBtn_MouseUp(int x, int y);
  // The list no longer shows the stored rows.
  bool isStale() const;
  // Closes the window and prepares a new game, unless one is under way.
  void closeAndStartGame();
};
