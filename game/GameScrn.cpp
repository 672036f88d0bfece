#include "game/GameScrn.h"

#include "framework/Application.h"
#include "shell/Menu.h"

GameScrn::GameScrn() { Layout(); }

void GameScrn::Layout() {
  SetResizeable(false);
  SetSize(640, 520);
  SetTitle("Vivuz ide Zevezer");
  SetCloseButton(true);
  SetBackColor(fw::RGB(210, 225, 255), true);
  SetMenuBar(&Menu::Instance());
}

bool GameScrn::Event_CancelClose() {
  if (fw::Application* a = fw::CurrentApp()) a->Quit();
  return true;
}
