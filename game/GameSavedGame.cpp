// The saved game and the hall-of-fame entry.
#include "game/GameScrn.h"

#include <algorithm>

#include "framework/MessageDialog.h"
#include "game/GameScrnParts.h"
#include "shell/globals.h"

namespace {

constexpr int kHardest = 2;           // difficulty 0 Easy .. 2 Hard

}  // namespace

using namespace game::scrn;

void GameScrn::saveInfo(bool fromMenu) {
  savedInfo::isSavedGame = true;
  savedInfo::svRound = fromMenu ? round - 1 : round;
  savedInfo::svTotScore = globals::gTotScore;
  savedInfo::svBltCt = bltCt;
  savedInfo::svBallCt = ballCt;
  savedInfo::svDiffLev = globals::gDiffFactor;
  app* a = TheApp();
  if (a && a->writeFile()) {
    fw::MsgBox("The current game has been saved.");
    return;
  }
  // Kept in memory: the next save, or the write at quit, tries again.
  if (a) a->isDirty = true;
  fw::MsgBox("The current game could not be saved.");
}

void GameScrn::askResume() {
  fw::MessageDialog d = Question("Resume the saved game?", "Click 'Cancel' to play a NEW game", "Resume");
  if (d.ShowModal() != fw::MessageDialog::Pressed::Action) {
    // Dismissed any other way too: a game needs its values.
    initStartVars();
    return;
  }
  // A damaged data file must still give a round that can be prepared and played.
  round = std::clamp(savedInfo::svRound, 0, kGameOverRound - 2);
  globals::gTotScore = std::clamp(savedInfo::svTotScore, 0, globals::kMaxTotScore);
  bltCt = std::clamp(savedInfo::svBltCt, 0, game::kMaxBullets);
  ballCt = std::clamp(savedInfo::svBallCt, 0, game::kBallCanvases);
  setSpeedMenu(std::clamp(savedInfo::svDiffLev, 0, kHardest));
  savedInfo::isSavedGame = false;
  MarkDirty();
}

bool GameScrn::checkScore() {
  std::optional<int> place = globals::famePlace(globals::gTotScore, false);
  if (!place) return false;
  // One pass from the bottom, with nothing else running, so no one sees the table half shifted.
  auto& rows = globals::FameList;
  std::shift_right(rows.begin() + *place, rows.end(), 1);
  rows[static_cast<std::size_t>(*place)] =
      FameRow::For(globals::gCurPlayer, globals::gTotScore, fw::Date::Today().ShortDate()).Text();
  globals::gAddedLine = *place;
  MarkDirty();
  return true;
}

void GameScrn::resetScores() {
  fw::MessageDialog d = Question("Are you sure you want to clear all of the High Scores?", "All scores will be set to 0",
                                 "Clear");
  if (d.ShowModal() != fw::MessageDialog::Pressed::Action) return;
  std::string today = fw::Date::Today().ShortDate();
  for (std::string& row : globals::FameList) row = "Nobody,000," + today;
  // The cleared table reaches the data file at quit.
  MarkDirty();
}
