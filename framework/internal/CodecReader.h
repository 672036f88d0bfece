// What the picture decoders share: a bounds-checked reader of untrusted bytes,
// the size check, PackBits and pixel packing. For framework sources only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/ImageCodecs.h"

namespace fw::codec::detail {

// Big-endian reader over untrusted bytes: a read past the end latches a
// failure and yields zeros, so parsers check Ok() once per step.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  std::size_t Left() const { return ok_ ? bytes_.size() - pos_ : 0; }
  std::size_t Pos() const { return pos_; }

  std::uint8_t U8() { return Need(1) ? bytes_[pos_++] : 0; }
  std::uint16_t U16() {
    if (!Need(2)) return 0;
    const auto v = static_cast<std::uint16_t>(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
    pos_ += 2;
    return v;
  }
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    const std::uint32_t hi = U16();
    return hi << 16 | U16();
  }
  void Skip(std::size_t n) {
    if (Need(n)) pos_ += n;
  }
  std::span<const std::uint8_t> Take(std::size_t n) {
    if (!Need(n)) return {};
    auto s = bytes_.subspan(pos_, n);
    pos_ += n;
    return s;
  }

 private:
  bool Need(std::size_t n) {
    if (ok_ && n > bytes_.size() - pos_) ok_ = false;
    return ok_;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

inline bool SizeAcceptable(std::int64_t w, std::int64_t h) {
  return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide;
}

// Expands a PackBits stream into exactly out.size() bytes. A stream that ends
// early, or a run that would spill past the row, is refused.
bool UnpackBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

inline std::uint32_t Argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint32_t{a} << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

inline std::size_t Area(std::int64_t w, std::int64_t h) { return static_cast<std::size_t>(w * h); }

}  // namespace fw::codec::detail
