// The play window's menu handlers and the menu enabling.
#include "game/GameScrn.h"

#include <array>

#include "framework/Menu.h"
#include "shell/globals.h"
#include "windows/HallOfFame.h"
#include "windows/Instr2Scrn.h"
#include "windows/aboutScrn.h"
#include "windows/checkVersScrn.h"
#include "windows/getCurPl.h"

void GameScrn::AddMenuHandlers() {
  AddMenuHandler("FileNewPlayer", [this] { return _FileNewPlayer_Action(); });
  AddMenuHandler("InformationInstructions", [this] { return _InformationInstructions_Action(); });
  AddMenuHandler("FileAbortGame", [this] { return _FileAbortGame_Action(); });
  AddMenuHandler("InformationShow", [this] { return _InformationShow_Action(); });
  AddMenuHandler("InformationClear", [this] { return _InformationClear_Action(); });
  AddMenuHandler("AppleAboutZembo", [this] { return _AppleAboutZembo_Action(); });
  AddMenuHandler("PracticeBonus1", [this] { return _PracticeBonus1_Action(); });
  AddMenuHandler("PracticeBonus2", [this] { return _PracticeBonus2_Action(); });
  AddMenuHandler("PracticeRound7", [this] { return _PracticeRound7_Action(); });
  AddMenuHandler("GameSpeedFast", [this] { return _GameSpeedFast_Action(); });
  AddMenuHandler("GameSpeedMedium", [this] { return _GameSpeedMedium_Action(); });
  AddMenuHandler("GameSpeedSlow", [this] { return _GameSpeedSlow_Action(); });
  AddMenuHandler("InformationCheckVersion", [this] { return _InformationCheckVersion_Action(); });
  AddMenuHandler("FileSaveGame", [this] { return _FileSaveGame_Action(); });
}

void GameScrn::enableItem(std::string_view name, bool enabled) {
  fw::MenuBar* bar = GetMenuBar();
  if (!bar) return;
  fw::ForEachItem(*bar, [&](fw::MenuItem& item) {
    if (item.Name() == name) item.SetEnabled(enabled);
  });
}

void GameScrn::Event_EnableMenuItems() {
  if (round != 1) {
    enableItem("InformationShow", false);
    enableItem("FileNewPlayer", false);
    enableItem("InformationPractice", false);
  }
  if (!roundRunning()) {
    enableItem("FileAbortGame", false);
    // Only while a round of a real game waits for its start: from a round's end until
    // its status window is answered the total already holds the round that round - 1
    // would name as not yet played, and a practice round is no game to keep.
    enableItem("FileSaveGame", round > 1 && roundReady() && isPractice == 0);
  } else {
    enableItem("FileAbortGame", true);
    enableItem("InformationPractice", false);
    enableItem("FileSaveGame", false);
  }
  // From a round's end until its status window is answered the game is neither new nor
  // running: another game or a practice round under that window would inherit its buttons.
  if (roundOver()) {
    enableItem("FileNewPlayer", false);
    enableItem("InformationPractice", false);
  }
}

void GameScrn::setSpeedMenu(int level) {
  globals::gDiffFactor = level;
  globals::gSpeed = level;
  if (level < 0 || level > 2) return;
  static constexpr std::array<std::string_view, 3> kItems = {"GameSpeedSlow", "GameSpeedMedium", "GameSpeedFast"};
  fw::MenuBar* bar = GetMenuBar();
  if (!bar) return;
  fw::ForEachItem(*bar, [&](fw::MenuItem& item) {
    for (int i = 0; i < 3; ++i)
      if (item.Name() == kItems[static_cast<std::size_t>(i)]) item.SetChecked(i == level);
  });
}

bool GameScrn::_FileNewPlayer_Action() {
  // The game about to be replaced must not keep running under the new one.
  if (roundInPlay()) abandonRound();
  getCurPl::Instance().ShowModal();
  return false;
}

bool GameScrn::_InformationInstructions_Action() {
  Instr2Scrn::Instance().Show();
  return false;
}

bool GameScrn::_FileAbortGame_Action() {
  confirmAbort();
  return false;
}

bool GameScrn::_InformationShow_Action() {
  HallOfFame::Instance().Show();
  return false;
}

bool GameScrn::_InformationClear_Action() {
  resetScores();
  return false;
}

bool GameScrn::_AppleAboutZembo_Action() {
  fw::Open<aboutScrn>().ShowModal();
  return false;
}

void GameScrn::startPractice(int before) {
  isPractice = 1;
  round = before;
  reinit();
}

bool GameScrn::_PracticeBonus1_Action() {
  startPractice(5);
  return false;
}

bool GameScrn::_PracticeBonus2_Action() {
  startPractice(11);
  return false;
}

bool GameScrn::_PracticeRound7_Action() {
  startPractice(7);
  return false;
}

bool GameScrn::_GameSpeedFast_Action() {
  setSpeedMenu(2);
  return false;
}

bool GameScrn::_GameSpeedMedium_Action() {
  setSpeedMenu(1);
  return false;
}

bool GameScrn::_GameSpeedSlow_Action() {
  setSpeedMenu(0);
  return false;
}

bool GameScrn::_InformationCheckVersion_Action() {
  checkVersScrn::Instance().Show();
  return false;
}

bool GameScrn::_FileSaveGame_Action() {
  saveInfo(true);
  return false;
}
