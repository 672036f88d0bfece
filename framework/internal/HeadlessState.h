// What a headless run sets or reads inside the framework: a fixed today for the
// dates, and a count of the files written. The game itself never sets either.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "../Values.h"

namespace fw::headless_state {
// Date::Today answers this day, and short dates take one form whatever the locale.
inline std::optional<Date> fixedToday;
// Files committed by BinaryStream::Close since the process started.
inline std::atomic<std::uint64_t> filesWritten{0};
}  // namespace fw::headless_state
