#include "Application.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

#include "AudioOut.h"
#include "Clock.h"
#include "Menu.h"
#include "MessageDialog.h"
#include "TestHooks.h"
#include "Timer.h"
#include "Window.h"
#include "internal/MenuBridge.h"
#include "internal/Paint.h"
#include "internal/Pump.h"
#include "internal/QtBridge.h"
#include "internal/Windows.h"

#ifndef ZEMBO_SHORT_VERSION
#define ZEMBO_SHORT_VERSION "2.1"
#endif
#ifndef ZEMBO_BUILD_NUMBER
#define ZEMBO_BUILD_NUMBER 0
#endif

namespace fw {

namespace {
Application* gApp = nullptr;
}

Application* CurrentApp() { return gApp; }

Application::Application() { gApp = this; }
Application::~Application() {
  if (gApp == this) gApp = nullptr;
}

std::string Application::ShortVersion() const { return ZEMBO_SHORT_VERSION; }
std::string Application::LongVersion() const { return "Zembo " + ShortVersion(); }
int Application::BugVersion() const { return ZEMBO_BUILD_NUMBER; }

void Application::SetMouseCursor(const MouseCursor* cursor) {
  if (cursor_ && qApp) QGuiApplication::restoreOverrideCursor();
  cursor_ = cursor;
  if (!cursor_ || !qApp) return;
  switch (cursor_->shape) {
    case MouseCursor::Shape::Hidden: QGuiApplication::setOverrideCursor(Qt::BlankCursor); break;
    case MouseCursor::Shape::Finger: QGuiApplication::setOverrideCursor(Qt::PointingHandCursor); break;
    case MouseCursor::Shape::Wait: QGuiApplication::setOverrideCursor(Qt::WaitCursor); break;
    case MouseCursor::Shape::Standard: QGuiApplication::setOverrideCursor(Qt::ArrowCursor); break;
  }
}

const MouseCursor* Application::ResourceFile::GetCursor(int id) const {
  static constexpr MouseCursor kHidden(MouseCursor::Shape::Hidden);
  constexpr int kHiddenCursorId = 168;
  return id == kHiddenCursorId ? &kHidden : nullptr;
}

std::optional<FolderItem> Application::ResourcesFolder() const {
  if (auto over = test::ResourcesFolderOverride()) return FolderItem(*over);
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return std::nullopt;
  auto folder = exe.parent_path().parent_path() / "Resources";
  if (!std::filesystem::is_directory(folder, ec)) return std::nullopt;
  return FolderItem(folder);
}

void Application::Quit() {
  if (quitting_) return;
  quitting_ = true;
  Guard([&] { Event_Close(); });
  if (!clock_hooks::IsManual() && qApp) QCoreApplication::exit(0);
}

namespace Cursors {
const MouseCursor* StandardPointer() {
  static constexpr MouseCursor c(MouseCursor::Shape::Standard);
  return &c;
}
const MouseCursor* FingerPointer() {
  static constexpr MouseCursor c(MouseCursor::Shape::Finger);
  return &c;
}
const MouseCursor* Wait() {
  static constexpr MouseCursor c(MouseCursor::Shape::Wait);
  return &c;
}
}  // namespace Cursors

namespace {

void ShowUnhandledAlert(const std::string& what) {
  static bool reporting = false;  // a failure inside the alert itself is not reported again
  if (reporting) return;
  reporting = true;
  MessageDialog d;
  d.Icon = 2;
  d.Message = "An unexpected error occurred.";
  d.Explanation = what + "\nThe game goes on, but it may not behave as it should.";
  d.ShowModal();
  reporting = false;
}

}  // namespace

void ReportUnhandled(std::string_view what) {
  std::fprintf(stderr, "zembo: unhandled exception: %.*s\n", static_cast<int>(what.size()), what.data());
  test::RecordUnhandled(std::string(what));
  if (!qApp) return;
  if (clock_hooks::IsManual()) {
    ShowUnhandledAlert(std::string(what));
    return;
  }
  // Not from inside the handler that failed: it may be painting, or deep in a frame.
  QTimer::singleShot(0, qApp, [text = std::string(what)] { ShowUnhandledAlert(text); });
}

// Key state, kept from the key events the application sees.
namespace {

std::set<int> gKeysDown;

int QtKeyFor(int code) {
  switch (code) {
    case 35: return Qt::Key_P;
    case 49: return Qt::Key_Space;
    case 8: return Qt::Key_C;
    default: return -1;
  }
}

class InputFilter : public QObject {
 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!k->isAutoRepeat()) {
          if (e->type() == QEvent::KeyPress) gKeysDown.insert(k->key());
          else gKeysDown.erase(k->key());
        }
        break;
      }
      case QEvent::ShortcutOverride:
        if (Window* front = windows::Front())
          if (MenuBar* bar = front->GetMenuBar()) menus::RunEnablePass(*bar);
        break;
      case QEvent::ApplicationDeactivate: gKeysDown.clear(); break;
      default: break;
    }
    return QObject::eventFilter(o, e);
  }
};

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
  char c = 1;
  [[maybe_unused]] auto n = ::write(gSignalPipe[1], &c, 1);
}

void InstallQuitSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char c;
    [[maybe_unused]] auto n = ::read(gSignalPipe[0], &c, 1);
    if (Application* app = CurrentApp()) app->Quit();
    else QCoreApplication::exit(0);
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

}  // namespace

bool AsyncKeyDown(int code) {
  if (auto scripted = test::ScriptedKey(code)) return *scripted;
  return gKeysDown.contains(QtKeyFor(code));
}

bool AsyncOptionKey() {
  if (auto scripted = test::ScriptedOptionKey()) return *scripted;
  return qApp && (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
}

void ShowURL(std::string_view url) {
  if (clock_hooks::IsManual()) {
    test::RecordURL(std::string(url));
    return;
  }
  QDesktopServices::openUrl(QUrl(ToQ(url)));
}

// The pump.
namespace pump {
namespace {

std::vector<Scheduled*> gItems;
QTimer* gWake = nullptr;
bool gRearmPosted = false;

bool Registered(Scheduled* s) { return std::find(gItems.begin(), gItems.end(), s) != gItems.end(); }

void Rearm() {
  gRearmPosted = false;
  if (!gWake) return;
  std::int64_t next = NextDue();
  if (next < 0) {
    gWake->stop();
    return;
  }
  // Whole milliseconds, rounded up: a wake-up never comes before what it is for.
  std::int64_t waitUs = std::clamp<std::int64_t>(next - NowUs(), 0, std::int64_t{1} << 40);
  gWake->start(static_cast<int>(std::min<std::int64_t>((waitUs + kUsPerMs - 1) / kUsPerMs, 1 << 30)));
}

}  // namespace

void Register(Scheduled* s) { gItems.push_back(s); }
void Unregister(Scheduled* s) { gItems.erase(std::remove(gItems.begin(), gItems.end(), s), gItems.end()); }

void Changed() {
  if (!gWake || gRearmPosted) return;
  gRearmPosted = true;
  QMetaObject::invokeMethod(gWake, [] { Rearm(); }, Qt::QueuedConnection);
}

std::int64_t NextDue() {
  std::int64_t next = -1;
  for (Scheduled* s : gItems) {
    std::int64_t due = s->DueUs();
    if (due >= 0 && (next < 0 || due < next)) next = due;
  }
  return next;
}

void RunDue() {
  std::int64_t now = NowUs();
  // A handler may add or remove timers, or open a modal loop that runs this again.
  std::vector<Scheduled*> due;
  for (Scheduled* s : gItems)
    if (s->DueUs() >= 0 && s->DueUs() <= now) due.push_back(s);
  auto key = [](Scheduled* s) {
    std::int64_t due = s->DueUs();
    return std::tuple(due * kTicksPerSecond / kUsPerSecond, !s->FirstInItsTick(), due);
  };
  std::stable_sort(due.begin(), due.end(), [&](Scheduled* a, Scheduled* b) { return key(a) < key(b); });
  for (Scheduled* s : due)
    if (Registered(s) && s->DueUs() >= 0 && s->DueUs() <= now) s->Fire();
}

void ProcessEventsOnce() {
  if (qApp) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void StartRealPump() {
  if (gWake) return;
  gWake = new QTimer(qApp);
  gWake->setSingleShot(true);
  gWake->setTimerType(Qt::PreciseTimer);
  QObject::connect(gWake, &QTimer::timeout, [] {
    RunDue();
    paint::FlushPending();
    Rearm();
  });
  Rearm();
}

}  // namespace pump

namespace {

void InitPlatform() {
  QApplication::setQuitOnLastWindowClosed(false);
  qApp->installEventFilter(new InputFilter);
  audio::Start();
}

// The windows startup made open only after the application's Open, so that
// what they show has been read by then.
void BringUp(const std::function<void()>& startup) {
  windows::HoldOpening();
  Guard(startup);
  if (Application* app = CurrentApp()) Guard([&] { app->Event_Open(); });
  windows::StartOpening();
}

}  // namespace

int RunApplication(int argc, char** argv, const std::function<void()>& startup,
                   const std::function<void()>& finalise) {
  QApplication qapp(argc, argv);
  InitPlatform();
  InstallQuitSignals();
  BringUp(startup);
  pump::StartRealPump();
  if (!(CurrentApp() && CurrentApp()->Quitting())) qapp.exec();
  Guard(finalise);
  windows::DestroyAll();
  audio::Shutdown();
  return 0;
}

namespace test {

void StartHeadless(std::uint32_t seed) {
  static int argc = 1;
  static char name[] = "zembo-test";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  clock_hooks::UseManualClock();
  random_hooks::SetSeed(seed);
  if (!qApp) {
    new QApplication(argc, argv);
    InitPlatform();
  }
  windows::StartOpening();
}

void StopHeadless() {
  Reset();
  audio::Shutdown();
  delete qApp;
}

void Boot(const std::function<void()>& startup) {
  BringUp(startup);
  pump::ProcessEventsOnce();
}

}  // namespace test

}  // namespace fw
