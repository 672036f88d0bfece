// Timers and the cooperative thread, both driven by the framework's event pump
// on the one clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace fw {

class Window;

// Something the event pump runs when its time has come.
class Scheduled {
 public:
  Scheduled();
  virtual ~Scheduled();
  Scheduled(const Scheduled&) = delete;
  Scheduled& operator=(const Scheduled&) = delete;
  // NowUs() at which Fire is due next, or -1 when idle.
  virtual std::int64_t DueUs() const = 0;
  virtual void Fire() = 0;
  // Among the items due within one tick, those that say so run first (the sprite
  // surface's frames, so that a frame comes before the timers of its tick).
  virtual bool FirstInItsTick() const { return false; }
};

class Timer : public Scheduled {
 public:
  enum Mode { kOff = 0, kSingle = 1, kMultiple = 2 };

  Timer() = default;
  Timer(int mode, int periodMs) {
    SetPeriod(periodMs);
    SetMode(mode);
  }
  // A window's timer: once the window has closed it never fires, whatever its mode.
  Timer(Window* owner, int mode, int periodMs) : Timer(mode, periodMs) { owner_ = owner; }

  int GetMode() const { return mode_; }
  // Arming a timer (re)starts its period from now; it may be set from the loader thread.
  void SetMode(int mode);
  int Period() const { return period_; }
  void SetPeriod(int ms);
  void Reset() { SetMode(mode_); }
  // Held, an armed timer keeps the time left to its action and does not fire; let go,
  // it fires that much later. Setting its mode or period ends the hold.
  void Hold(bool held);

  std::function<void()> Action;

  std::int64_t DueUs() const override;
  void Fire() override;

 private:
  bool OwnerClosed() const;

  Window* owner_ = nullptr;  // a member's window outlives it
  int mode_ = kOff;
  int period_ = 1000;
  std::int64_t due_ = -1;
  std::int64_t heldLeftUs_ = -1;  // the time left when held; -1 when not held
};

// A thread that takes turns with the event loop: Run's handler runs on its own
// stack, but only while the event loop waits for it, until it yields or ends.
// So the handler may touch anything the event loop owns, without locks.
class Thread : public Scheduled {
 public:
  Thread();
  ~Thread() override;

  std::function<void()> RunHandler;
  int Priority = 5;

  void Run();  // starts it; its first turn comes at the event loop's next pass
  bool IsRunning() const;

  std::int64_t DueUs() const override;
  void Fire() override;  // one turn

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Called from a Thread's handler: hands the turn back to the event loop, and
// the next turn comes at the loop's next pass (within a millisecond).
// On the event loop itself it lets pending events run once.
void YieldToNextThread();
// As YieldToNextThread, but the next turn comes no sooner than NowUs() == dueUs:
// a thread that waits for a known moment sleeps until then.
void YieldUntil(std::int64_t dueUs);

}  // namespace fw
