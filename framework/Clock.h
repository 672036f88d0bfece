// The one clock: everything that depends on time asks it. Real runs follow the
// monotonic system clock; tests switch to a manual clock and advance it.
#pragma once

#include <cstdint>

namespace fw {

// Milliseconds since the clock started (the process start for the real clock).
std::int64_t NowMs();

// 1/60 s since the clock started.
std::int64_t Ticks();

namespace clock_hooks {
// Switches the process to a manual clock standing at 0 ms. Call before any window exists.
void UseManualClock();
bool IsManual();
// Moves the manual clock forward; only the event pump (fw::test::Advance) calls this.
void SetManualNow(std::int64_t ms);
}  // namespace clock_hooks

}  // namespace fw
