// Bringing the game up on the real platform and running its event loop.
#include <QApplication>

#include "Application.h"
#include "AudioOut.h"
#include "Window.h"
#include "internal/KeyState.h"
#include "internal/Platform.h"
#include "internal/Pump.h"
#include "internal/QuitSignals.h"
#include "internal/Windows.h"

namespace fw {

namespace platform {

void InitQt() {
  QApplication::setQuitOnLastWindowClosed(false);
  keys::InstallEventFilter();
  TrackPointer();
}

// The windows startup made open only after the application's Open, so that
// what they show has been read by then.
void BringUp(const std::function<void()>& startup) {
  windows::HoldOpening();
  Guard(startup);
  if (Application* app = CurrentApp()) Guard([&] { app->Event_Open(); });
  windows::StartOpening();
}

}  // namespace platform

int RunApplication(int argc, char** argv, const std::function<void()>& startup,
                   const std::function<void()>& finalise) {
  QApplication qapp(argc, argv);
  platform::InitQt();
  audio::Start();
  InstallQuitSignals();
  platform::BringUp(startup);
  pump::StartRealPump();
  if (!(CurrentApp() && CurrentApp()->Quitting())) qapp.exec();
  Guard(finalise);
  windows::DestroyAll();
  audio::Shutdown();
  return 0;
}

}  // namespace fw
