// The headless platform: the manual clock, answers for modal windows and
// dialogs, and records of what a real run would have shown the player.
#include "framework/TestHooks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "framework/AudioOut.h"
#include "framework/Clock.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "framework/internal/HeadlessState.h"
#include "framework/internal/KeyState.h"
#include "framework/internal/Platform.h"
#include "framework/internal/Paint.h"
#include "framework/internal/Pump.h"
#include "framework/internal/Windows.h"
#include "framework/internal/QtBridge.h"
#include "framework/internal/WindowControls.h"
#include "framework/headless/Driver.h"

namespace fw::test {

namespace {

std::uint32_t gSeed = 1;
std::function<void(Window&)> gModalAnswer;
std::function<void(Window&)> gShownObserver;
std::function<MessageDialog::Pressed(const MessageDialog&)> gDialogAnswer;
std::vector<MessageDialog> gDialogs;
bool gRealDialogs = false;
std::vector<RealBox> gRealBoxes;
std::vector<std::string> gUnanswered;
std::vector<std::string> gURLs;
std::vector<std::string> gUnhandled;
std::optional<std::filesystem::path> gResources;

std::string ClassName(const Window& w) {
  const char* mangled = typeid(w).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return status == 0 && name ? name.get() : mangled;
}

std::string Describe(const Window& w) { return "modal window \"" + w.Title() + "\" (" + ClassName(w) + ")"; }

void RecordUnanswered(std::string what) {
  std::fprintf(stderr, "zembo headless: %s\n", what.c_str());
  gUnanswered.push_back(std::move(what));
}

MessageDialog::Pressed RunRealDialog(const MessageDialog& d);

class HeadlessPlatform final : public platform::Platform {
 public:
  // The answer acts at once; nothing waits for game time that no one would spend.
  void RunModal(Window& w) override {
    pump::ProcessEventsOnce();
    if (!w.IsOpen()) return;
    if (!gModalAnswer) {
      RecordUnanswered(Describe(w) + " was shown with no answer");
    } else {
      auto answer = gModalAnswer;  // the answer may set another
      answer(w);
      if (!w.IsOpen()) return;
      RecordUnanswered(Describe(w) + " was left open by its answer");
    }
    w.Close();
  }

  void EndModal(Window&) override {}

  MessageDialog::Pressed RunDialog(const MessageDialog& d) override {
    gDialogs.push_back(d);
    if (gRealDialogs) return RunRealDialog(d);
    if (gDialogAnswer) return gDialogAnswer(d);
    RecordUnanswered("dialog \"" + d.Message + "\" was shown with no answer");
    return MessageDialog::Pressed::None;
  }

  void ShowURL(std::string_view url) override { gURLs.emplace_back(url); }

  // The alert a real run would show is recorded, not answered: the report itself
  // is what the test has to take.
  void ReportUnhandled(const std::string& what) override {
    gUnhandled.push_back(what);
    gDialogs.push_back(platform::UnhandledAlert(what));
  }

  void LeaveEventLoop() override {}

  std::pair<int, int> Pointer(const Window& w) override {
    if (auto p = ScriptedMouse()) return *p;
    QPoint p = ContentWidget(w)->mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
  }

  void Shown(Window& w) override {
    if (gShownObserver) gShownObserver(w);
  }

  bool PacesTransfers() const override { return true; }

  std::pair<std::string, int> ConnectTarget(const std::string& host, int port) const override {
    return RoutedTarget(host, port);
  }

  std::optional<std::filesystem::path> ResourcesFolder() override {
    return gResources ? gResources : platform::ResourcesBesideExecutable();
  }
};

HeadlessPlatform gHeadless;

const Window* WindowOf(const QWindow* handle) {
  for (Window* w : windows::All())
    if (handle && ContentWidget(*w)->window()->windowHandle() == handle) return w;
  return nullptr;
}

// The real box in its own loop; once it shows, it is recorded and the answer presses
// the button it names.
MessageDialog::Pressed RunRealDialog(const MessageDialog& d) {
  using Pressed = MessageDialog::Pressed;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll.stop();
    gRealBoxes.push_back({box->windowTitle().toStdString(), WindowOf(box->windowHandle()->transientParent())});
    Pressed answer = gDialogAnswer ? gDialogAnswer(d) : Pressed::None;
    if (!gDialogAnswer) RecordUnanswered("dialog \"" + d.Message + "\" was shown with no answer");
    const std::string* caption = answer == Pressed::Action      ? &d.ActionButton.Caption
                                 : answer == Pressed::Alternate ? &d.AlternateActionButton.Caption
                                 : answer == Pressed::Cancel    ? &d.CancelButton.Caption
                                                                : nullptr;
    for (QAbstractButton* b : box->buttons())
      if (caption && b->text() == ToQ(*caption)) return b->click();
    box->done(0);
  });
  poll.start(0);
  return platform::RunMessageBox(d);
}

}  // namespace

void StartHeadless(std::uint32_t seed) {
  static int argc = 1;
  static char name[] = "zembo-test";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::Install(&gHeadless);
  clock_hooks::UseManualClock();
  gSeed = seed;
  random_hooks::SetSeed(seed);
  if (!qApp) {
    new QApplication(argc, argv);
    platform::InitQt();
  }
  windows::StartOpening();
}

void StopHeadless() {
  Reset();
  delete qApp;
  platform::Install(nullptr);
}

void Boot(const std::function<void()>& startup) {
  platform::BringUp(startup);
  pump::ProcessEventsOnce();
}

void Advance(std::int64_t ms) { AdvanceUs(ms * kUsPerMs); }

void AdvanceUs(std::int64_t us) {
  std::int64_t target = NowUs() + std::max<std::int64_t>(us, 0);
  for (;;) {
    pump::ProcessEventsOnce();
    pump::RunDue();
    paint::FlushPending();
    pump::ProcessEventsOnce();
    std::int64_t now = NowUs();
    if (now >= target) break;
    std::int64_t next = pump::NextDue();
    if (next < 0 || next > target) next = target;
    if (next <= now) next = now + 1;
    clock_hooks::SetManualNowUs(next);
  }
}

bool RunUntil(const std::function<bool()>& pred, std::int64_t limitMs) {
  std::int64_t end = NowMs() + limitMs;
  while (!pred()) {
    if (NowMs() >= end) return false;
    Advance(1);
  }
  return true;
}

void Reset() {
  windows::DestroyAll();
  audio::Shutdown();
  pump::ProcessEventsOnce();
  ForgetInput();
  keys::ReleaseAll();
  while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  gModalAnswer = nullptr;
  gShownObserver = nullptr;
  gDialogAnswer = nullptr;
  gDialogs.clear();
  gRealDialogs = false;
  gRealBoxes.clear();
  gUnanswered.clear();
  gURLs.clear();
  gUnhandled.clear();
  gResources.reset();
  headless_state::fixedToday.reset();
  http_hooks::ClearRoutes();
  clock_hooks::SetManualNowUs(0);
  random_hooks::SetSeed(gSeed);
  windows::StartOpening();
}

void OnModal(std::function<void(Window&)> answer) { gModalAnswer = std::move(answer); }

void OnDialog(std::function<MessageDialog::Pressed(const MessageDialog&)> answer) {
  gDialogAnswer = std::move(answer);
}

const std::vector<MessageDialog>& DialogsShown() { return gDialogs; }
void UseRealDialogs() { gRealDialogs = true; }
const std::vector<RealBox>& RealBoxesShown() { return gRealBoxes; }
const std::vector<std::string>& Unanswered() { return gUnanswered; }
std::vector<std::string> TakeUnanswered() { return std::exchange(gUnanswered, {}); }
const std::vector<std::string>& ShownURLs() { return gURLs; }
const std::vector<std::string>& UnhandledReports() { return gUnhandled; }
std::vector<std::string> TakeUnhandledReports() { return std::exchange(gUnhandled, {}); }

void OnShown(std::function<void(Window&)> observer) { gShownObserver = std::move(observer); }

void SetResourcesFolder(std::optional<std::filesystem::path> folder) { gResources = std::move(folder); }

void FixToday(std::optional<Date> today) { headless_state::fixedToday = today; }

std::uint64_t FilesWritten() { return headless_state::filesWritten; }

}  // namespace fw::test
