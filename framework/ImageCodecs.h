// Decoders for the two picture formats Qt does not read: PICT version 2 and
// Photoshop. Pure C++; each refuses what it does not understand with nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fw::codec {

struct RGBAImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row-major, width * height
  bool operator==(const RGBAImage&) const = default;
};

std::optional<RGBAImage> DecodePICT(std::span<const std::uint8_t> bytes);
std::optional<RGBAImage> DecodePSD(std::span<const std::uint8_t> bytes);

}  // namespace fw::codec
