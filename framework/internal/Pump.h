// The event pump: fires timers and gives threads their turns on the one clock.
#pragma once

#include <cstdint>

namespace fw {
class Scheduled;
}

namespace fw::pump {

void Register(Scheduled* s);
void Unregister(Scheduled* s);
// A due time changed; the pump looks again at its next pass (safe from a thread's turn).
void Changed();
// Runs every timer and thread turn due at NowUs().
void RunDue();
// The earliest due time in microseconds, or -1.
std::int64_t NextDue();
// Lets pending platform events run once (no waiting).
void ProcessEventsOnce();
// Real clock: arms the platform timer that wakes the pump. Called when the loop starts.
void StartRealPump();

}  // namespace fw::pump
