#include "Encoders.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <string_view>

namespace mkmedia {
namespace {

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}

void PutLE16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutLE32(Bytes& out, std::uint32_t v) {
  PutLE16(out, v & 0xFFFF);
  PutLE16(out, v >> 16);
}

void PutText(Bytes& out, std::string_view s) {
  for (char ch : s) out.push_back(static_cast<std::uint8_t>(ch));
}

// One plane (0 red, 1 green, 2 blue) of one row of 8-bit RGBA.
std::vector<std::uint8_t> Plane(const Bytes& rgba, int width, int y, int channel) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) {
    row[static_cast<std::size_t>(x)] =
        rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4 +
             static_cast<std::size_t>(channel)];
  }
  return row;
}

void PutChunk(Bytes& png, std::string_view type, const Bytes& data) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  PutText(png, type);
  png.insert(png.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
  Put32(png, static_cast<std::uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

Bytes PackBits(std::span<const std::uint8_t> data) {
  constexpr std::size_t kMaxPacket = 128;  // bytes a packet can cover
  Bytes out;
  std::size_t i = 0;
  auto runAt = [&](std::size_t at) {
    std::size_t n = 1;
    while (at + n < data.size() && n < kMaxPacket && data[at + n] == data[at]) ++n;
    return n;
  };
  while (i < data.size()) {
    const std::size_t run = runAt(i);
    if (run >= 3) {
      out.push_back(static_cast<std::uint8_t>(257 - run));
      out.push_back(data[i]);
      i += run;
      continue;
    }
    const std::size_t start = i;
    while (i < data.size() && i - start < kMaxPacket && runAt(i) < 3) ++i;
    out.push_back(static_cast<std::uint8_t>(i - start - 1));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(start),
               data.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return out;
}

Bytes EncodePNG(const Canvas& img) {
  const Bytes rgba = img.ToRGBA8();
  bool opaque = true;
  for (std::size_t i = 3; i < rgba.size(); i += 4) opaque = opaque && rgba[i] == 255;
  const int channels = opaque ? 3 : 4;
  const auto stride = static_cast<std::size_t>(img.Width() * channels);

  // Each row gets the filter with the smallest sum of absolute residuals, the
  // usual heuristic; ties go to the lower filter number so output is stable.
  Bytes raw;
  std::vector<std::uint8_t> prev(stride, 0), cur(stride), best, trial(stride);
  for (int y = 0; y < img.Height(); ++y) {
    for (int x = 0; x < img.Width(); ++x) {
      for (int c = 0; c < channels; ++c) {
        cur[static_cast<std::size_t>(x * channels + c)] =
            rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(img.Width()) + static_cast<std::size_t>(x)) *
                     4 +
                 static_cast<std::size_t>(c)];
      }
    }
    long bestScore = -1;
    int bestFilter = 0;
    for (int f = 0; f < 5; ++f) {
      long score = 0;
      for (std::size_t i = 0; i < stride; ++i) {
        const int a = i >= static_cast<std::size_t>(channels) ? cur[i - static_cast<std::size_t>(channels)] : 0;
        const int b = prev[i];
        const int c = i >= static_cast<std::size_t>(channels) ? prev[i - static_cast<std::size_t>(channels)] : 0;
        const std::array<int, 5> predictors = {0, a, b, (a + b) / 2, Paeth(a, b, c)};
        trial[i] = static_cast<std::uint8_t>(cur[i] - predictors[static_cast<std::size_t>(f)]);
        score += trial[i] < 128 ? trial[i] : 256 - trial[i];
      }
      if (bestScore < 0 || score < bestScore) {
        bestScore = score;
        bestFilter = f;
        best = trial;
      }
    }
    raw.push_back(static_cast<std::uint8_t>(bestFilter));
    raw.insert(raw.end(), best.begin(), best.end());
    prev = cur;
  }

  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);
  packed.resize(packedSize);

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(img.Width()));
  Put32(ihdr, static_cast<std::uint32_t>(img.Height()));
  ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(opaque ? 2 : 6), 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

Bytes EncodePSD(const Canvas& img, PsdCompression compression) {
  constexpr unsigned kChannels = 3;
  constexpr unsigned kModeRGB = 3;
  const Bytes rgba = img.ToRGBA8();
  Bytes out;
  PutText(out, "8BPS");
  Put16(out, 1);
  out.insert(out.end(), 6, 0);
  Put16(out, kChannels);
  Put32(out, static_cast<std::uint32_t>(img.Height()));
  Put32(out, static_cast<std::uint32_t>(img.Width()));
  Put16(out, 8);
  Put16(out, kModeRGB);
  Put32(out, 0);  // colour mode data
  Put32(out, 0);  // image resources
  Put32(out, 0);  // layers and masks: the merged image alone
  Put16(out, static_cast<unsigned>(compression));
  if (compression == PsdCompression::kRaw) {
    for (unsigned c = 0; c < kChannels; ++c) {
      for (int y = 0; y < img.Height(); ++y) {
        const auto row = Plane(rgba, img.Width(), y, static_cast<int>(c));
        out.insert(out.end(), row.begin(), row.end());
      }
    }
    return out;
  }
  std::vector<Bytes> rows;
  for (unsigned c = 0; c < kChannels; ++c) {
    for (int y = 0; y < img.Height(); ++y) rows.push_back(PackBits(Plane(rgba, img.Width(), y, static_cast<int>(c))));
  }
  for (const Bytes& row : rows) Put16(out, static_cast<unsigned>(row.size()));
  for (const Bytes& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

Bytes EncodePICT(const Canvas& img, PictPacking packing) {
  constexpr std::uint32_t k72Dpi = 0x00480000;  // Fixed 72.0
  const Bytes rgba = img.ToRGBA8();
  const auto w = static_cast<unsigned>(img.Width());
  const auto h = static_cast<unsigned>(img.Height());
  const unsigned rowBytes = 4 * w;
  auto putRect = [&](Bytes& out) {
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, h);
    Put16(out, w);
  };

  Bytes out(512, 0);
  Put16(out, 0);  // picSize, patched below
  putRect(out);
  Put16(out, 0x0011);
  Put16(out, 0x02FF);
  Put16(out, 0x0C00);
  Put16(out, 0xFFFE);  // extended version 2 header
  Put16(out, 0);
  Put32(out, k72Dpi);
  Put32(out, k72Dpi);
  putRect(out);
  Put32(out, 0);
  Put16(out, 0x001E);  // DefHilite
  Put16(out, 0x0001);  // clip to the whole picture
  Put16(out, 10);
  putRect(out);

  Put16(out, 0x009A);  // DirectBitsRect
  Put32(out, 0x000000FF);
  Put16(out, rowBytes | 0x8000);
  putRect(out);
  Put16(out, 0);  // pmVersion
  Put16(out, static_cast<unsigned>(packing));
  Put32(out, 0);  // packSize
  Put32(out, k72Dpi);
  Put32(out, k72Dpi);
  Put16(out, 16);  // RGBDirect
  Put16(out, 32);
  Put16(out, 3);  // components
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  putRect(out);   // srcRect
  putRect(out);   // dstRect
  Put16(out, 0);  // srcCopy

  const bool packed = packing == PictPacking::kPlanarPackBits && rowBytes >= 8;
  for (unsigned y = 0; y < h; ++y) {
    if (!packed) {
      for (unsigned x = 0; x < w; ++x) {
        const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 4;
        out.insert(out.end(), {0, rgba[at], rgba[at + 1], rgba[at + 2]});
      }
      continue;
    }
    Bytes planes;
    for (int c = 0; c < 3; ++c) {
      const auto plane = Plane(rgba, img.Width(), static_cast<int>(y), c);
      planes.insert(planes.end(), plane.begin(), plane.end());
    }
    const Bytes row = PackBits(planes);
    if (rowBytes > 250) {
      Put16(out, static_cast<unsigned>(row.size()));
    } else {
      out.push_back(static_cast<std::uint8_t>(row.size()));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  if (out.size() % 2) out.push_back(0);  // opcodes start on even offsets
  Put16(out, 0x00FF);

  const std::size_t picSize = out.size() - 512;
  out[512] = static_cast<std::uint8_t>(picSize >> 8);
  out[513] = static_cast<std::uint8_t>(picSize);
  return out;
}

Bytes EncodeWAVE(std::span<const std::int16_t> samples) {
  constexpr unsigned kBytesPerSample = 2;
  const auto dataSize = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
  Bytes out;
  PutText(out, "RIFF");
  PutLE32(out, 36 + dataSize);
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  PutLE32(out, 16);
  PutLE16(out, 1);  // PCM
  PutLE16(out, 1);  // mono
  PutLE32(out, kSampleRate);
  PutLE32(out, kSampleRate * kBytesPerSample);
  PutLE16(out, kBytesPerSample);
  PutLE16(out, 16);
  PutText(out, "data");
  PutLE32(out, dataSize);
  for (std::int16_t s : samples) PutLE16(out, static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace mkmedia
