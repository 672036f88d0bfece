#include "internal/CodecReader.h"

#include <algorithm>

namespace fw::codec::detail {

bool UnpackBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (o < out.size()) {
    if (i >= in.size()) return false;
    const auto n = static_cast<std::int8_t>(in[i++]);
    if (n >= 0) {
      const auto count = static_cast<std::size_t>(n) + 1;
      if (count > in.size() - i || count > out.size() - o) return false;
      std::copy_n(in.data() + i, count, out.data() + o);
      i += count;
      o += count;
    } else if (n != -128) {  // -128 is a no-op by convention
      const auto count = static_cast<std::size_t>(1 - n);
      if (i >= in.size() || count > out.size() - o) return false;
      std::fill_n(out.data() + o, count, in[i++]);
      o += count;
    }
  }
  return true;
}

}  // namespace fw::codec::detail
