#include "windows/RoundScrn.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "framework/Values.h"
#include "game/GameScrn.h"
#include "shell/globals.h"

namespace {

constexpr fw::Color kBackColor = fw::RGB(219, 228, 255);
constexpr fw::Color kTextColor = fw::RGB(0, 0, 0);
constexpr fw::Color kFameColor = fw::RGB(255, 0, 0);
constexpr int kTextSize = 12;      // points
constexpr int kFameTextSize = 14;  // points

void Label(fw::StaticText& t, std::string_view text, int align, fw::Color color = kTextColor, int size = kTextSize) {
  t.SetText(text);
  t.SetTextAlign(align);
  t.SetTextColor(color);
  t.SetTextFont("System");
  t.SetTextSize(size);
}

void NumberField(fw::EditField& f, bool (*keyDown)(const std::string&)) {
  f.SetReadOnly(true);
  f.SetTextFont("System");
  f.SetTextSize(kTextSize);
  f.SetAlignment(fw::EditField::kLeft);
  f.KeyDown = keyDown;
}

}  // namespace

RoundScrn::RoundScrn(int points, int seconds, int level, bool won, bool practice) {
  Layout();
  _CreateControls0();
  if (auto* play = static_cast<GameScrn*>(fw::windows::Find(typeid(GameScrn)))) game_ = play->gameNumber();

  PtsFld.SetText(fw::Str(points));
  wasPractice = practice;
  int bonus = 0;
  if (won) {
    NameTxt.SetText("Congratulations, " + globals::gCurPlayer);
    bonus = timeBonus(seconds, level);
    whichRndTxt.SetText(wonRoundText(level));
    if (level >= roundscrn::kLastRound) {
      ContBtn.SetCaption("Finish");
      EndBtn.SetEnabled(false);
    }
  } else {
    NameTxt.SetText("Sorry, " + globals::gCurPlayer);
    whichRndTxt.SetText("You lost the last ball. The game is over.");
    ContBtn.SetEnabled(false);
    ContBtn.SetDefault(false);
    EndBtn.SetDefault(true);
    gameOver = true;
  }
  BonusFld.SetText(fw::Str(bonus));
  std::int64_t roundTotal = std::int64_t{points} + bonus;
  RndTotalFld.SetText(fw::Str(roundTotal));
  globals::gTotScore = globals::addToTotal(globals::gTotScore, roundTotal);
  AllTotalFld.SetText(fw::Str(globals::gTotScore));
  if (wasPractice) {
    ContBtn.SetEnabled(false);
  } else {
    FameTxt.SetText(checkFamePlace());
  }
}

void RoundScrn::Layout() {
  SetSize(400, 210);
  SetResizeable(false);
  SetTitle("Current Status");
  SetBackColor(kBackColor, true);
  SetCloseButton(false);
  SetMaximizeButton(false);
}

void RoundScrn::_CreateControls0() {
  Label(whichRndTxt, "", fw::StaticText::kCenter);
  Label(StaticText1, "Points Earned:", fw::StaticText::kRight);
  Label(StaticText2, "Time Bonus:", fw::StaticText::kRight);
  Label(StaticText3, "Points This Round:", fw::StaticText::kRight);
  Label(StaticText4, "Your Total Points:", fw::StaticText::kRight);
  Label(NameTxt, "", fw::StaticText::kCenter);
  NumberField(PtsFld, &PtsFld_KeyDown);
  NumberField(BonusFld, &BonusFld_KeyDown);
  NumberField(RndTotalFld, &RndTotalFld_KeyDown);
  NumberField(AllTotalFld, &AllTotalFld_KeyDown);
  ContBtn.SetCaption("Next Round");
  ContBtn.SetDefault(true);
  ContBtn.SetCancel(false);
  ContBtn.Action = [this] { ContBtn_Action(); };
  EndBtn.SetCaption("End Game");
  EndBtn.SetDefault(false);
  EndBtn.SetCancel(false);
  EndBtn.Action = [this] { EndBtn_Action(); };
  Label(FameTxt, "", fw::StaticText::kCenter, kFameColor, kFameTextSize);
}

int RoundScrn::timeBonus(int seconds, int level) {
  if (seconds >= roundscrn::kBonusSeconds) return 0;
  return std::max(0, (roundscrn::kBonusSeconds - seconds) * (level + 2));
}

std::string RoundScrn::wonRoundText(int level) {
  if (level < 0) return "You have completed a bonus round.";
  if (level >= roundscrn::kLastRound) return "You have completed a game!";
  int shown = level > 12 ? level - 2 : level > 5 ? level - 1 : level;
  return "You have completed ROUND #" + fw::Str(shown);
}

std::string RoundScrn::checkFamePlace() {
  // Shown above the rows it ties, where the entry itself goes below them.
  std::optional<int> place = globals::famePlace(globals::gTotScore, true);
  return place ? "# " + fw::Str(*place + 1) : "";
}

void RoundScrn::Event_Activate() { ClearFocus(); }

void RoundScrn::ContBtn_Action() {
  Close();
  GameScrn& g = GameScrn::Instance();
  if (g.stillPlaying(game_)) g.reinit();
}

void RoundScrn::EndBtn_Action() {
  Close();
  // A practice round's window stays open over the new game that followed it, and
  // acts on none: neither that game nor any the player has begun since.
  GameScrn& g = GameScrn::Instance();
  if (!g.stillPlaying(game_)) return;
  if (gameOver) {
    g.hndlClosingGame();
  } else if (!wasPractice) {
    g.askSave();
  }
}
