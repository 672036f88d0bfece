#include "shell/Startup.h"

#include <memory>

#include "framework/Application.h"
#include "shell/Menu.h"
#include "shell/SplashScrn.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace startup {

namespace {

std::unique_ptr<app> gTheApp;

void InitFileTypes() { FileTypes::Initialize(); }

void NewAppInstance() {
  gTheApp = std::make_unique<app>();
  gTheApp->SetMenuBar(&Menu::Instance());
}

// Every menu item is handled by the play window.
void ApplicationAddMenuHandlers() {}

void MakeDefaultView() { SplashScrn::Instance(); }

}  // namespace

void Startup() {
  InitFileTypes();
  NewAppInstance();
  ApplicationAddMenuHandlers();
  MakeDefaultView();
}

void Finalise() {
  media::ReleaseSoundsAndCursor();
  FileTypes::pTextPlain.reset();
  if (gTheApp) gTheApp->SetMenuBar(nullptr);
  Menu::Release();
  picHolder::Release();
  globals::gCurPlayer.clear();
  globals::FameList = {};
  globals::gR = nullptr;
}

void Reset() {
  gTheApp.reset();
  Menu::Release();
  FileTypes::pTextPlain.reset();
}

int Main(int argc, char** argv) {
  int status = fw::RunApplication(argc, argv, Startup, Finalise);
  gTheApp.reset();
  return status;
}

}  // namespace startup
