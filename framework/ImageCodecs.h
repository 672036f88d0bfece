// Decoders for the two picture formats Qt does not read: PICT version 2 and
// Photoshop. Pure C++; each refuses what it does not understand with nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fw::codec {

// Pixels, either side of any picture the game reads: its own are at most
// 500 x 500 and its largest window is 640 wide, so this leaves room for twice a
// window's size and caps a decoded picture at 16 MiB. The formats allow sides
// past 30000: hundreds of MiB from a file of a few kilobytes.
constexpr int kMaxPictureSide = 2048;

struct RGBAImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row-major, width * height
  bool operator==(const RGBAImage&) const = default;
};

std::optional<RGBAImage> DecodePICT(std::span<const std::uint8_t> bytes);
std::optional<RGBAImage> DecodePSD(std::span<const std::uint8_t> bytes);

}  // namespace fw::codec
