// The Photoshop decoder: the merged RGB image of a version 1 document.
#include "ImageCodecs.h"

#include <cstddef>

#include "internal/CodecReader.h"

namespace fw::codec {

using detail::Area;
using detail::Argb;
using detail::Reader;
using detail::SizeAcceptable;
using detail::UnpackBits;

std::optional<RGBAImage> DecodePSD(std::span<const std::uint8_t> bytes) {
  constexpr int kModeRGB = 3;
  Reader r(bytes);
  if (r.U32() != 0x38425053) return std::nullopt;  // "8BPS"
  if (r.U16() != 1) return std::nullopt;           // 2 is the large-document format
  r.Skip(6);
  const int channels = r.U16();
  const std::uint32_t height = r.U32();
  const std::uint32_t width = r.U32();
  const int depth = r.U16();
  const int mode = r.U16();
  if (!r.Ok() || (channels != 3 && channels != 4) || depth != 8 || mode != kModeRGB) return std::nullopt;
  if (!SizeAcceptable(width, height)) return std::nullopt;
  for (int section = 0; section < 3; ++section) r.Skip(r.U32());  // colour data, resources, layers
  const int compression = r.U16();
  if (!r.Ok()) return std::nullopt;

  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  const std::size_t rows = static_cast<std::size_t>(channels) * height;
  std::vector<std::uint8_t> planes;
  if (compression == 0) {
    auto raw = r.Take(rows * width);
    if (!r.Ok()) return std::nullopt;
    planes.assign(raw.begin(), raw.end());
  } else if (compression == 1) {
    // A table of each row's packed length, then the rows, channel by channel.
    auto counts = r.Take(rows * 2);
    if (!r.Ok()) return std::nullopt;
    std::size_t total = 0;
    for (std::size_t i = 0; i < rows; ++i) total += static_cast<std::size_t>(counts[2 * i] << 8 | counts[2 * i + 1]);
    if (total > r.Left() || total * 64 < rows * width) return std::nullopt;  // a run packs 128 bytes into 2
    planes.resize(rows * width);
    for (std::size_t i = 0; i < rows; ++i) {
      auto data = r.Take(static_cast<std::size_t>(counts[2 * i] << 8 | counts[2 * i + 1]));
      if (!UnpackBits(data, std::span(planes).subspan(i * width, width))) return std::nullopt;
    }
  } else {
    return std::nullopt;
  }

  RGBAImage img{w, h, std::vector<std::uint32_t>(Area(w, h))};
  const std::size_t plane = Area(w, h);
  for (std::size_t i = 0; i < plane; ++i) {
    // The merged image's fourth channel is its transparency.
    const std::uint8_t a = channels == 4 ? planes[3 * plane + i] : 0xFF;
    img.pixels[i] = Argb(a, planes[i], planes[plane + i], planes[2 * plane + i]);
  }
  return img;
}

}  // namespace fw::codec
