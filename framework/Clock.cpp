#include "Clock.h"

#include <atomic>
#include <chrono>

namespace fw {
namespace {

const auto gStart = std::chrono::steady_clock::now();
std::atomic<bool> gManual{false};
std::atomic<std::int64_t> gManualNow{0};

}  // namespace

std::int64_t NowUs() {
  if (gManual.load(std::memory_order_acquire)) return gManualNow.load(std::memory_order_acquire);
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - gStart).count();
}

namespace clock_hooks {
void UseManualClock() {
  gManualNow.store(0);
  gManual.store(true, std::memory_order_release);
}
void SetManualNowUs(std::int64_t us) { gManualNow.store(us, std::memory_order_release); }
}  // namespace clock_hooks

}  // namespace fw
