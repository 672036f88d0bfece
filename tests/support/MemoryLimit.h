// Memory running out, on purpose: a limit on what the test process may still map.
#pragma once

#include <malloc.h>
#include <sys/resource.h>

#include <cstddef>
#include <fstream>
#include <string>

// The address sanitizer maps terabytes of shadow memory and ends the process
// rather than fail an allocation, so a limit on memory cannot be tried under it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryLimitsTestable = false;
#else
inline constexpr bool kMemoryLimitsTestable = true;
#endif

// While it lives, the process may map only headroom bytes more than it maps
// now, so that a larger allocation fails. False when the limit could not be set.
// A thread's heap is mapped 64 MiB at a time: to fail for sure on any thread,
// an allocation asks for more than that.
class AddressSpaceLimit {
 public:
  explicit AddressSpaceLimit(std::size_t headroom) {
    // Memory freed earlier but still mapped would serve allocations past the limit.
    ::malloc_trim(0);
    ::getrlimit(RLIMIT_AS, &saved_);
    std::ifstream status("/proc/self/status");
    std::string key;
    rlim_t kib = 0;
    while (status >> key && key != "VmSize:") status.ignore(4096, '\n');
    if (!(status >> kib)) return;
    rlimit tight = saved_;
    tight.rlim_cur = kib * 1024 + headroom;
    set_ = ::setrlimit(RLIMIT_AS, &tight) == 0;
  }
  ~AddressSpaceLimit() {
    if (set_) ::setrlimit(RLIMIT_AS, &saved_);
  }
  AddressSpaceLimit(const AddressSpaceLimit&) = delete;
  AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  explicit operator bool() const { return set_; }

 private:
  rlimit saved_{};
  bool set_ = false;
};
