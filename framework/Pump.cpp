// The event pump: every Scheduled item runs when its time on the one clock has
// come; on the real clock one platform timer wakes the loop for the next of them.
#include "internal/Paint.h"
#include "internal/Pump.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "Clock.h"
#include "Timer.h"

namespace fw::pump {
namespace {

// µs the platform timer is set to fire ahead of the next item, beyond its own millisecond.
constexpr std::int64_t kEarlyUs = 1000;

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
  // The platform timer counts whole milliseconds, and the event loop's wait
  // rounds up to the next one: wake one to two early, and FinishWait sleeps the
  // rest, so frames start on time rather than up to a millisecond late.
  std::int64_t waitUs = std::clamp<std::int64_t>(next - NowUs() - kEarlyUs, 0, std::int64_t{1} << 40);
  gWake->start(static_cast<int>(std::min<std::int64_t>(waitUs / kUsPerMs, 1 << 30)));
}

// Sleeps until the next item is due when that is less than the timer's
// granularity away; a sleep this short costs no more than the wake-up itself.
void FinishWait() {
  std::int64_t next = NextDue();
  if (next < 0) return;
  std::int64_t leftUs = next - NowUs();
  if (leftUs > 0 && leftUs <= kEarlyUs + kUsPerMs) std::this_thread::sleep_for(std::chrono::microseconds(leftUs));
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
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void StartRealPump() {
  if (gWake) return;
  gWake = new QTimer(QCoreApplication::instance());
  gWake->setSingleShot(true);
  gWake->setTimerType(Qt::PreciseTimer);
  QObject::connect(gWake, &QTimer::timeout, [] {
    FinishWait();
    RunDue();
    paint::FlushPending();
    Rearm();
  });
  Rearm();
}

}  // namespace fw::pump
