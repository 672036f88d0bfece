// The bonus introduction: the rules of the coming bonus round, or of the last five rounds.
#pragma once

#include "framework/CheckBox.h"
#include "framework/PagePanel.h"
#include "framework/Window.h"
#include "shell/CnvBtn.h"

class bonusStartScrn : public fw::Window {
 public:
  bonusStartScrn();
  static bonusStartScrn& Instance() { return fw::Implicit<bonusStartScrn>(); }

  void Event_Open() override;

  // Controls, in tab order.
  fw::StaticText StaticText1{this, "StaticText1", 30, 8, 340, 38};
  fw::PagePanel PagePanel1{this, "PagePanel1", 25, 50, 350, 110};
  fw::StaticText StaticText2{this, "StaticText2", 30, 60, 340, 90};
  fw::StaticText StaticText3{this, "StaticText3", 31, 61, 340, 90};
  fw::StaticText StaticText4{this, "StaticText4", 33, 56, 335, 93};
  fw::CheckBox noShowBtn{this, "noShowBtn", 25, 175, 220, 20};
  CnvBtn startBtn{this, "startBtn", 255, 169, 120, 30};

  void StaticText1_Open();
  void startBtn_Open();
  void startBtn_MouseUp(int x, int y);

 private:
  void Layout();
};
