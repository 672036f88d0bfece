// The round status window: the round's points, the time bonus, the running total and the hall-of-fame place.
#pragma once

#include <string>

#include "framework/PushButton.h"
#include "framework/Window.h"

namespace roundscrn {
inline constexpr int kBonusSeconds = 60;  // seconds: a round finished sooner earns a time bonus
inline constexpr int kLastRound = 17;     // internal round number of the game's last round
}  // namespace roundscrn

class RoundScrn : public fw::Window {
 public:
  // Fills the window for a finished round and adds its total to the running total.
  // level is the internal round number, -1 for a bonus round.
  RoundScrn(int points, int seconds, int level, bool won, bool practice);

  // Keeps the focus off the number fields, so that Return reaches the default button.
  void Event_Activate() override;

  // The place the running total would take in the hall of fame ("# 3"); empty when
  // it does not beat the tenth row.
  static std::string checkFamePlace();
  // Points for finishing a round in seconds at this internal round, never below 0.
  static int timeBonus(int seconds, int level);
  // What the round text says for a won round at this level.
  static std::string wonRoundText(int level);

  bool gameOver = false;
  bool wasPractice = false;

  // Controls, in tab order.
  fw::StaticText whichRndTxt{this, "whichRndTxt", 50, 27, 300, 20};
  fw::StaticText StaticText1{this, "StaticText1", 80, 57, 120, 20};
  fw::StaticText StaticText2{this, "StaticText2", 80, 82, 120, 20};
  fw::StaticText StaticText3{this, "StaticText3", 80, 107, 120, 20};
  fw::StaticText StaticText4{this, "StaticText4", 80, 132, 120, 20};
  fw::StaticText NameTxt{this, "NameTxt", 100, 2, 200, 20};
  fw::EditField PtsFld{this, "PtsFld", 212, 55, 80, 22};
  fw::EditField BonusFld{this, "BonusFld", 212, 80, 80, 22};
  fw::EditField RndTotalFld{this, "RndTotalFld", 212, 105, 80, 22};
  fw::EditField AllTotalFld{this, "AllTotalFld", 212, 130, 80, 22};
  fw::PushButton ContBtn{this, "ContBtn", 80, 170, 100, 20};
  fw::PushButton EndBtn{this, "EndBtn", 223, 170, 100, 20};
  fw::StaticText FameTxt{this, "FameTxt", 296, 130, 100, 22};

 private:
  void Layout();
  void _CreateControls0();
  // The number fields show figures only: no key reaches them.
  static bool PtsFld_KeyDown(const std::string&) { return true; }
  static bool BonusFld_KeyDown(const std::string&) { return true; }
  static bool RndTotalFld_KeyDown(const std::string&) { return true; }
  static bool AllTotalFld_KeyDown(const std::string&) { return true; }
  void ContBtn_Action();
  void EndBtn_Action();

  int game_ = -1;  // the play window's number for the game whose round this reports
};
