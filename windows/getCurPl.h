// The current-player window: the name under which the scores are kept.
#pragma once

#include <string>

#include "framework/Window.h"
#include "shell/CnvBtn.h"

class getCurPl : public fw::Window {
 public:
  getCurPl();
  static getCurPl& Instance() { return fw::Implicit<getCurPl>(); }

  void Event_Activate() override;

  // Controls, in tab order.
  fw::StaticText StaticText1{this, "StaticText1", 50, 14, 220, 20};
  fw::EditField EditField1{this, "EditField1", 80, 46, 160, 22};
  CnvBtn acceptBtn{this, "acceptBtn", 100, 85, 120, 30};

  void EditField1_Open();
  bool EditField1_KeyDown(const std::string& key);
  void acceptBtn_Open();
  void acceptBtn_MouseUp(int x, int y);

 private:
  void Layout();
  // The player gives a name of their own: a new player, and data to write at quit.
  void newName();
};
