// The file formats the game reads its media from, written byte for byte the
// same on every run: PNG, Photoshop, PICT version 2 and WAVE.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Raster.h"

namespace mkmedia {

using Bytes = std::vector<std::uint8_t>;

constexpr int kSampleRate = 22050;  // Hz, the game's sound rate

// PackBits as Mac and Photoshop files use it: runs of three or more repeat,
// the rest goes out as literals, at most 128 bytes a packet.
Bytes PackBits(std::span<const std::uint8_t> data);

// Colour type 2 (RGB) when every pixel is opaque, else 6 (RGBA); 8 bits.
Bytes EncodePNG(const Canvas& img);

enum class PsdCompression { kRaw = 0, kRLE = 1 };
// Three 8-bit channels in RGB mode; alpha is dropped.
Bytes EncodePSD(const Canvas& img, PsdCompression compression = PsdCompression::kRLE);

enum class PictPacking { kUnpacked = 1, kPlanarPackBits = 4 };  // the PixMap packType
// Version 2 with the 512-byte file header: one DirectBitsRect of 32-bit pixels.
Bytes EncodePICT(const Canvas& img, PictPacking packing = PictPacking::kPlanarPackBits);

// RIFF WAVE, PCM 16-bit mono at kSampleRate.
Bytes EncodeWAVE(std::span<const std::int16_t> samples);

}  // namespace mkmedia
