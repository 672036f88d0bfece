// The one clock: everything that depends on time asks it. Real runs follow the
// monotonic system clock; tests switch to a manual clock and advance it.
#pragma once

#include <cstdint>

namespace fw {

inline constexpr std::int64_t kUsPerMs = 1000;
inline constexpr std::int64_t kUsPerSecond = 1'000'000;
inline constexpr std::int64_t kTicksPerSecond = 60;  // Ticks are 1/60 s

// Microseconds since the clock started (the process start for the real clock).
// Due times are kept at this resolution, so a 1/60 s frame schedule does not drift.
std::int64_t NowUs();

// Milliseconds since the clock started.
inline std::int64_t NowMs() { return NowUs() / kUsPerMs; }

// 1/60 s since the clock started.
inline std::int64_t Ticks() { return NowUs() * kTicksPerSecond / kUsPerSecond; }

// The first moment (in microseconds) at which Ticks() reads tick.
inline std::int64_t TickStartUs(std::int64_t tick) {
  return (tick * kUsPerSecond + kTicksPerSecond - 1) / kTicksPerSecond;
}

namespace clock_hooks {
// Switches the process to a manual clock standing at 0. Call before any window
// exists. What else differs in a headless run is the platform's choice, not the clock's.
void UseManualClock();
// Moves the manual clock; only the headless pump and clock tests call these.
void SetManualNowUs(std::int64_t us);
inline void SetManualNow(std::int64_t ms) { SetManualNowUs(ms * kUsPerMs); }
}  // namespace clock_hooks

}  // namespace fw
