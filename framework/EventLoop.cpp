// Bringing the game up on the real platform and running its event loop.
#include <QApplication>
#include <QWindow>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include "Application.h"
#include "AudioOut.h"
#include "Window.h"
#include "internal/KeyState.h"
#include "internal/Platform.h"
#include "internal/Pump.h"
#include "internal/QuitSignals.h"
#include "internal/Windows.h"

namespace fw {

namespace {

// Runs an action once, after the first window of the application has come on
// screen and been painted: what the first window does not need waits for it.
class AfterFirstExpose final : public QObject {
 public:
  explicit AfterFirstExpose(std::function<void()> action) : action_(std::move(action)) {
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* target, QEvent* e) override {
    if (e->type() == QEvent::Expose && target->isWindowType() && static_cast<QWindow*>(target)->isExposed()) {
      QCoreApplication::instance()->removeEventFilter(this);
      // Queued, so that the window's first paint, which follows this event, comes first.
      QMetaObject::invokeMethod(this, action_, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  std::function<void()> action_;
};

// Qt ends the process with exit() from inside the event loop when it loses the
// display ("The X11 connection broke"). Status 1, as Qt gives it.
constexpr int kLeftFromLoopStatus = 1;
bool gInLoop = false;
std::thread::id gLoopThread;

void OnExitFromLoop() {
  if (!gInLoop) return;
  gInLoop = false;
  // Event_Close touches only the data file; from another thread it would race the loop.
  if (std::this_thread::get_id() == gLoopThread)
    if (Application* app = CurrentApp()) app->Quit();
  std::fflush(nullptr);
  // No destructors: the window registry's widgets would outlive Qt's platform and crash.
  ::_exit(kLeftFromLoopStatus);
}

}  // namespace

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
  // First of all: the platform takes a while to start, and a quit signal meanwhile
  // ends the start-up before anything is made, so nothing needs writing.
  InstallQuitSignals();
  QApplication qapp(argc, argv);
  if (QuitRequested()) return 0;
  platform::InitQt();
  DeliverQuitSignals();
  {
    // Opening the sound output connects to the sound server and starts its
    // threads; the splash plays its sounds silently and needs none of that.
    AfterFirstExpose startAudio(audio::Start);
    platform::BringUp(startup);
    pump::StartRealPump();
    if (!(CurrentApp() && CurrentApp()->Quitting())) {
      // Registered last, so it runs before the destructors of everything made so far.
      std::atexit(OnExitFromLoop);
      gLoopThread = std::this_thread::get_id();
      gInLoop = true;
      qapp.exec();
      gInLoop = false;
    }
  }
  Guard(finalise);
  windows::DestroyAll();
  audio::Shutdown();
  return 0;
}

}  // namespace fw
