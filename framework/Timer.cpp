#include "Timer.h"

#include <algorithm>
#include <exception>
#include <semaphore>
#include <thread>
#include <utility>

#include "Application.h"
#include "Clock.h"
#include "Window.h"
#include "internal/Pump.h"

namespace fw {

Scheduled::Scheduled() { pump::Register(this); }
Scheduled::~Scheduled() { pump::Unregister(this); }

void Timer::SetMode(int mode) {
  mode_ = mode;
  heldLeftUs_ = -1;
  due_ = mode == kOff ? -1 : NowUs() + period_ * kUsPerMs;
  pump::Changed();
}

void Timer::SetPeriod(int ms) {
  period_ = ms < 1 ? 1 : ms;
  heldLeftUs_ = -1;
  if (mode_ != kOff) due_ = NowUs() + period_ * kUsPerMs;
  pump::Changed();
}

void Timer::Hold(bool held) {
  if (held && heldLeftUs_ < 0 && due_ >= 0) {
    heldLeftUs_ = std::max<std::int64_t>(due_ - NowUs(), 0);
    due_ = -1;
  } else if (!held && heldLeftUs_ >= 0) {
    due_ = NowUs() + std::exchange(heldLeftUs_, -1);
  } else {
    return;
  }
  pump::Changed();
}

bool Timer::OwnerClosed() const { return owner_ && !owner_->IsOpen(); }

// A closed window may stay in memory for a while (one closed by a handler that
// then runs a modal loop); its timers must not wake the process meanwhile.
std::int64_t Timer::DueUs() const { return OwnerClosed() ? -1 : due_; }

void Timer::Fire() {
  if (mode_ == kOff || OwnerClosed()) return;
  if (mode_ == kSingle) {
    mode_ = kOff;
    due_ = -1;
  } else {
    due_ += period_ * kUsPerMs;
    if (due_ <= NowUs()) due_ = NowUs() + period_ * kUsPerMs;  // a late pass does not fire twice to catch up
  }
  if (Action) Guard([&] { Action(); });
}

namespace {

// Thrown into a thread's handler at a yield when its owner goes away.
struct ThreadCancelled {};

thread_local Thread::Impl* tCurrent = nullptr;

}  // namespace

struct Thread::Impl {
  std::binary_semaphore toThread{0}, toMain{0};
  std::thread worker;
  bool started = false, finished = false, cancel = false;
  std::int64_t startedAt = -1;  // NowUs() at Run: the first turn is due then
  std::int64_t lastTurn = -1;
  std::int64_t wakeAt = -1;  // set by the thread before it yields; -1 for the next pass
  std::exception_ptr failure;
};

Thread::Thread() : impl_(std::make_unique<Impl>()) {}

Thread::~Thread() {
  if (impl_->worker.joinable()) {
    impl_->cancel = true;
    while (!impl_->finished) {
      impl_->toThread.release();
      impl_->toMain.acquire();
    }
    impl_->worker.join();
  }
}

void Thread::Run() {
  if (impl_->started) return;
  impl_->started = true;
  impl_->startedAt = NowUs();
  Impl* impl = impl_.get();
  impl->worker = std::thread([this, impl] {
    impl->toThread.acquire();
    tCurrent = impl;
    if (!impl->cancel) {
      try {
        if (RunHandler) RunHandler();
      } catch (const ThreadCancelled&) {
      } catch (...) {
        impl->failure = std::current_exception();
      }
    }
    impl->finished = true;
    impl->toMain.release();
  });
  pump::Changed();
}

bool Thread::IsRunning() const { return impl_->started && !impl_->finished; }

// One turn a millisecond, unless the thread said when it wants the next: often
// enough for the thread, and the loop does not spin. A due time never moves with
// the clock, or the pump would find it always just ahead and never run it.
std::int64_t Thread::DueUs() const {
  if (!IsRunning()) return -1;
  if (impl_->wakeAt >= 0) return impl_->wakeAt;
  return impl_->lastTurn < 0 ? impl_->startedAt : impl_->lastTurn + kUsPerMs;
}

void Thread::Fire() {
  if (!IsRunning()) return;
  impl_->lastTurn = NowUs();
  impl_->toThread.release();
  impl_->toMain.acquire();
  if (impl_->failure) {
    auto failure = std::exchange(impl_->failure, nullptr);
    Guard([&] { std::rethrow_exception(failure); });
  }
}

void YieldUntil(std::int64_t dueUs) {
  Thread::Impl* self = tCurrent;
  if (!self) {
    pump::ProcessEventsOnce();
    return;
  }
  self->wakeAt = dueUs;
  self->toMain.release();
  self->toThread.acquire();
  self->wakeAt = -1;
  if (self->cancel) throw ThreadCancelled{};
}

void YieldToNextThread() { YieldUntil(-1); }

}  // namespace fw
