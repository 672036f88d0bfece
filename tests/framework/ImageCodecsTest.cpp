#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "Encoders.h"
#include "framework/ImageCodecs.h"

namespace fw::codec {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where fields sit in a picture from mkmedia::EncodePICT: the 512-byte file
// header, picSize, picFrame, version, header, DefHilite and clip opcodes come
// first, then the DirectBitsRect opcode.
constexpr std::size_t kFrameAt = 514;
constexpr std::size_t kHeaderRectAt = 540;  // the extended header's native bounds
constexpr std::size_t kBitsOpcodeAt = 566;
constexpr std::size_t kRowBytesAt = 572;
constexpr std::size_t kBoundsAt = 574;
constexpr std::size_t kPackTypeAt = 584;
constexpr std::size_t kPixelSizeAt = 600;
constexpr std::size_t kRowsAt = 636;

Bytes ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Put16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}

void Append16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}

std::uint8_t Red(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
std::uint8_t Green(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
std::uint8_t Blue(std::uint32_t p) { return static_cast<std::uint8_t>(p); }

// A picture with a different colour at every pixel, so misplaced rows,
// planes or columns show.
mkmedia::Canvas Pattern(int w, int h) {
  mkmedia::Canvas c(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      c.Set(x, y,
            {static_cast<double>(x * 255 / std::max(1, w - 1)), static_cast<double>(y * 40 % 256),
             static_cast<double>((x / 3) % 2 ? 200 : 10)});
    }
  }
  return c;
}

RGBAImage Expected(const mkmedia::Canvas& c) {
  RGBAImage img{c.Width(), c.Height(), {}};
  const Bytes rgba = c.ToRGBA8();
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    img.pixels.push_back(0xFF000000u | std::uint32_t{rgba[i]} << 16 | std::uint32_t{rgba[i + 1]} << 8 | rgba[i + 2]);
  }
  return img;
}

Bytes MediaFile(const std::string& name) { return ReadFile(std::filesystem::path(ZEMBO_MEDIA_DIR) / name); }

// ---------------------------------------------------------------- committed media

TEST(CommittedMedia, EveryPictAndPsdDecodesAtItsSize) {
  const std::vector<std::tuple<std::string, int, int>> sizes = {
      {"redSprite.pct", 8, 8}, {"BlueBubble.pct", 32, 32}, {"PurpBub.pct", 32, 32},    {"paddle.pct", 64, 10},
      {"Paddle2.pct", 72, 10}, {"Paddle3.pct", 80, 10},    {"Paddle4.pct", 90, 10},    {"BltDrop.pct", 16, 20},
      {"PadDrop.pct", 16, 20}, {"BallDrop.pct", 16, 20},   {"DblDrop.pct", 16, 20},    {"BadDrop.pct", 16, 20},
      {"Drop.pct", 8, 12},     {"bullet.pct", 4, 10},      {"MetalBkg.pct", 500, 400}, {"NextBtn.pct", 26, 20},
      {"PrevBtn.pct", 26, 20}, {"ExitBtn.pct", 80, 20}};
  for (const auto& [name, w, h] : sizes) {
    const auto img = DecodePICT(MediaFile(name));
    ASSERT_TRUE(img) << name;
    EXPECT_EQ(img->width, w) << name;
    EXPECT_EQ(img->height, h) << name;
  }
  const auto score = DecodePSD(MediaFile("ScoreBkg.psd"));
  ASSERT_TRUE(score);
  EXPECT_EQ(score->width, 140);
  EXPECT_EQ(score->height, 500);
}

TEST(CommittedMedia, SpritesShowTheirFigureOnWhite) {
  const auto ball = DecodePICT(MediaFile("redSprite.pct"));
  ASSERT_TRUE(ball);
  for (int i : {0, 7, 56, 63}) EXPECT_EQ(ball->pixels[static_cast<std::size_t>(i)], 0xFFFFFFFFu) << i;
  const std::uint32_t centre = ball->pixels[4 * 8 + 4];
  EXPECT_GT(Red(centre), Green(centre) + 100);
  EXPECT_GT(Red(centre), Blue(centre) + 100);

  const auto bubble = DecodePICT(MediaFile("BlueBubble.pct"));
  const auto purple = DecodePICT(MediaFile("PurpBub.pct"));
  ASSERT_TRUE(bubble && purple);
  EXPECT_EQ(bubble->pixels[0], 0xFFFFFFFFu);
  const std::uint32_t blue = bubble->pixels[14 * 32 + 14];
  EXPECT_GT(Blue(blue), Red(blue) + 80);
  const std::uint32_t violet = purple->pixels[14 * 32 + 14];
  EXPECT_GT(Red(violet), Green(violet) + 60);
  EXPECT_GT(Blue(violet), Green(violet) + 60);
}

TEST(CommittedMedia, BackdropsHaveTheirTones) {
  const auto metal = DecodePICT(MediaFile("MetalBkg.pct"));
  ASSERT_TRUE(metal);
  const std::uint32_t mid = metal->pixels[190 * 500 + 250];
  EXPECT_GT(Red(mid), 140);
  EXPECT_NEAR(Red(mid), Blue(mid), 12);  // grey

  const auto score = DecodePSD(MediaFile("ScoreBkg.psd"));
  ASSERT_TRUE(score);
  const std::uint32_t top = score->pixels[20 * 140 + 70];
  const std::uint32_t bottom = score->pixels[480 * 140 + 70];
  EXPECT_GT(Blue(top), Red(top) + 30);  // dark blue at the top, greyer below
  EXPECT_LT(Blue(bottom) - Red(bottom), Blue(top) - Red(top));
}

// ---------------------------------------------------------------- round trips

TEST(PictRoundTrip, BothPackingsGiveBackTheImage) {
  // 70 wide has rows over 250 bytes (word counts), 9 has byte counts, 1 has
  // rows under 8 bytes, which are never packed.
  for (int w : {70, 9, 1}) {
    const auto image = Pattern(w, 5);
    for (auto packing : {mkmedia::PictPacking::kPlanarPackBits, mkmedia::PictPacking::kUnpacked}) {
      const auto decoded = DecodePICT(mkmedia::EncodePICT(image, packing));
      ASSERT_TRUE(decoded) << w;
      EXPECT_EQ(*decoded, Expected(image)) << w << " packType " << static_cast<int>(packing);
    }
  }
}

TEST(PictRoundTrip, FileHeaderIsOptional) {
  const auto image = Pattern(12, 4);
  const Bytes file = mkmedia::EncodePICT(image);
  const auto bare = DecodePICT(std::span(file).subspan(512));
  ASSERT_TRUE(bare);
  EXPECT_EQ(*bare, Expected(image));
}

TEST(PictRoundTrip, SkipsStateOpcodesAndComments) {
  const auto image = Pattern(6, 3);
  Bytes file = mkmedia::EncodePICT(image);
  Bytes extra;
  Append16(extra, 0x0000);  // NOP
  Append16(extra, 0x001A);  // RGBFgCol
  extra.insert(extra.end(), 6, 0x11);
  Append16(extra, 0x00A1);  // LongComment: kind, size, data
  Append16(extra, 100);
  Append16(extra, 3);
  extra.insert(extra.end(), {1, 2, 3, 0});  // the data and the pad to an even offset
  Append16(extra, 0x0031);                  // paintRect: vector drawing is not rendered
  extra.insert(extra.end(), 8, 0);
  file.insert(file.begin() + kBitsOpcodeAt, extra.begin(), extra.end());
  const auto decoded = DecodePICT(file);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, Expected(image));
}

// A PackBitsRect with an 8-bit colour table, built by hand: 10 x 2 pixels.
Bytes IndexedPict() {
  Bytes b(512, 0);
  auto rect = [&b](int t, int l, int bo, int r) {
    for (int v : {t, l, bo, r}) Append16(b, static_cast<unsigned>(v));
  };
  Append16(b, 0);
  rect(0, 0, 2, 10);
  for (unsigned v : {0x0011u, 0x02FFu, 0x0098u, 0x800Au}) Append16(b, v);  // rowBytes 10
  rect(0, 0, 2, 10);
  for (unsigned v : {0u, 0u, 0u, 0u, 0x48u, 0u, 0x48u, 0u, 0u, 8u, 1u, 8u, 0u, 0u, 0u, 0u, 0u, 0u}) Append16(b, v);
  for (unsigned v : {0u, 0u, 0u, 1u}) Append16(b, v);                            // ctSeed, ctFlags, two entries
  for (unsigned v : {0u, 0xFFFFu, 0u, 0u, 1u, 0u, 0u, 0xFFFFu}) Append16(b, v);  // 0 red, 1 blue
  rect(0, 0, 2, 10);
  rect(0, 0, 2, 10);
  Append16(b, 0);
  b.insert(b.end(), {2, 0xF7, 1});                    // row 0: ten 1s
  b.insert(b.end(), {8, 4, 0, 1, 0, 1, 0, 0xFC, 1});  // row 1: 0 1 0 1 0, five 1s
  if (b.size() % 2) b.push_back(0);
  Append16(b, 0x00FF);
  return b;
}

TEST(PictRoundTrip, IndexedPixelsUseTheirColourTable) {
  const auto img = DecodePICT(IndexedPict());
  ASSERT_TRUE(img);
  ASSERT_EQ(img->width, 10);
  ASSERT_EQ(img->height, 2);
  EXPECT_EQ(img->pixels[0], 0xFF0000FFu);
  EXPECT_EQ(img->pixels[10], 0xFFFF0000u);
  EXPECT_EQ(img->pixels[11], 0xFF0000FFu);
  EXPECT_EQ(img->pixels[19], 0xFF0000FFu);
}

TEST(PsdRoundTrip, RawAndRleGiveBackTheImage) {
  for (int w : {1, 7, 300}) {
    const auto image = Pattern(w, 4);
    for (auto compression : {mkmedia::PsdCompression::kRaw, mkmedia::PsdCompression::kRLE}) {
      const auto decoded = DecodePSD(mkmedia::EncodePSD(image, compression));
      ASSERT_TRUE(decoded) << w;
      EXPECT_EQ(*decoded, Expected(image)) << w << " compression " << static_cast<int>(compression);
    }
  }
}

TEST(PsdRoundTrip, FourthChannelIsAlpha) {
  Bytes psd = mkmedia::EncodePSD(Pattern(2, 1), mkmedia::PsdCompression::kRaw);
  psd[13] = 4;                          // channels
  psd.insert(psd.end(), {0x80, 0x00});  // the alpha plane
  const auto img = DecodePSD(psd);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->pixels[0] >> 24, 0x80u);
  EXPECT_EQ(img->pixels[1] >> 24, 0x00u);
}

// ---------------------------------------------------------------- work per picture

// A picture of a side x side frame whose opcodes each scale a 1x1 bitmap over
// dst: black for true in `black`, white for false. No file header.
Bytes ScaledPixels(int side, const std::vector<bool>& black, int dstTop = 0, int dstSide = -1) {
  if (dstSide < 0) dstSide = side;
  const auto s = static_cast<unsigned>(side);
  Bytes b;
  for (unsigned v : {0u, 0u, 0u, s, s, 0x0011u, 0x02FFu}) Append16(b, v);
  for (bool pixel : black) {
    // BitsRect, rowBytes 2, bounds and srcRect 0,0,1,1, dstRect, srcCopy, one row.
    for (unsigned v : {0x0090u, 2u, 0u, 0u, 1u, 1u, 0u, 0u, 1u, 1u}) Append16(b, v);
    const auto top = static_cast<unsigned>(dstTop) & 0xFFFF;
    for (unsigned v : {top, top, (top + static_cast<unsigned>(dstSide)) & 0xFFFF,
                       (top + static_cast<unsigned>(dstSide)) & 0xFFFF})
      Append16(b, v);
    Append16(b, 0);
    Append16(b, pixel ? 0x8000 : 0);
  }
  Append16(b, 0x00FF);
  return b;
}

TEST(PictWork, OpcodesThatRepaintTheFrameOverAndOverAreRefusedAtOnce) {
  // Each 32-byte opcode paints 16.7 million pixels: painting them all took half
  // a minute for 1000 opcodes, and the refusal must not wait for the first few.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(DecodePICT(ScaledPixels(4096, std::vector<bool>(1000, true))));
  EXPECT_FALSE(DecodePICT(ScaledPixels(4096, std::vector<bool>(100000, true))));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PictWork, AFewLayersAreDrawnAndTheLimitHoldsForAnyNumberBeyond) {
  constexpr int kSide = 300;  // large enough that the limit follows the frame
  std::optional<std::size_t> firstRefused;
  for (std::size_t layers = 1; layers <= 16; ++layers) {
    std::vector<bool> black(layers);
    for (std::size_t i = 0; i < layers; ++i) black[i] = i % 2 == 0;  // the top layer decides the colour
    const auto img = DecodePICT(ScaledPixels(kSide, black));
    if (!img) {
      if (!firstRefused) firstRefused = layers;
      continue;
    }
    EXPECT_FALSE(firstRefused) << layers << " layers drawn after " << *firstRefused << " were refused";
    ASSERT_EQ(img->width, kSide);
    const std::uint32_t top = black.back() ? 0xFF000000u : 0xFFFFFFFFu;
    EXPECT_EQ(std::count(img->pixels.begin(), img->pixels.end(), top), kSide * kSide) << layers;
  }
  ASSERT_TRUE(firstRefused) << "sixteen full repaints still drawn";
  EXPECT_GE(*firstRefused, 4u) << "a picture of three layers is plausible";
}

TEST(PictWork, OnlyPixelsInsideTheFrameCount) {
  // Destinations far larger than the frame, or beside it, paint the frame at most once each.
  const auto oversized = DecodePICT(ScaledPixels(300, {true, false, true}, -3000, 9000));
  ASSERT_TRUE(oversized);
  EXPECT_EQ(oversized->pixels[150 * 300 + 150], 0xFF000000u);
  const auto beside = DecodePICT(ScaledPixels(300, std::vector<bool>(200, true), 400, 300));
  ASSERT_TRUE(beside) << "nothing painted inside the frame costs nothing";
  EXPECT_EQ(beside->pixels[0], 0xFFFFFFFFu);
}

// ---------------------------------------------------------------- refusals

TEST(PictRefuses, WhatItDoesNotUnderstand) {
  const Bytes good = mkmedia::EncodePICT(Pattern(9, 3));
  ASSERT_TRUE(DecodePICT(good));
  auto patched = [&good](std::size_t at, unsigned v) {
    Bytes b = good;
    Put16(b, at, v);
    return b;
  };
  EXPECT_FALSE(DecodePICT(Bytes(600, 0)));
  EXPECT_FALSE(DecodePICT(patched(kFrameAt + 8, 0x1101))) << "version 1";
  EXPECT_FALSE(DecodePICT(patched(kPixelSizeAt, 16))) << "16-bit pixels";
  EXPECT_FALSE(DecodePICT(patched(kPackTypeAt, 3))) << "packType 3";
  EXPECT_FALSE(DecodePICT(patched(kBitsOpcodeAt, 0x0012))) << "pixel pattern opcode";
  EXPECT_FALSE(DecodePICT(patched(kRowBytesAt, 0x8000 | 8))) << "rows too short for the width";
}

TEST(PictRefuses, OversizedDimensions) {
  const Bytes good = mkmedia::EncodePICT(Pattern(9, 3));
  auto sized = [&good](std::vector<std::size_t> rects, int w, int h) {
    Bytes b = good;
    for (std::size_t at : rects) {
      Put16(b, at + 4, static_cast<unsigned>(h));
      Put16(b, at + 6, static_cast<unsigned>(w));
    }
    Put16(b, kRowBytesAt, 0x8000 | static_cast<unsigned>(4 * std::min(w, 4095)));
    return b;
  };
  EXPECT_FALSE(DecodePICT(sized({kFrameAt, kHeaderRectAt}, 30000, 30000))) << "picture past the side limit";
  EXPECT_FALSE(DecodePICT(sized({kFrameAt, kHeaderRectAt}, 16000, 16000))) << "picture past the pixel limit";
  EXPECT_FALSE(DecodePICT(sized({kBoundsAt}, 4000, 4000))) << "bitmap larger than the file could hold";
}

TEST(PictRefuses, PackBitsRunsThatOverflowTheRow) {
  Bytes b = mkmedia::EncodePICT(Pattern(9, 3));
  // Row 0 is 27 plane bytes; a repeat of 28 spills past it.
  b[kRowsAt] = 2;
  b[kRowsAt + 1] = static_cast<std::uint8_t>(257 - 28);
  b[kRowsAt + 2] = 0x55;
  EXPECT_FALSE(DecodePICT(b));
}

TEST(PictRefuses, LengthsPastTheEnd) {
  Bytes b = mkmedia::EncodePICT(Pattern(4, 2));
  Bytes comment;
  for (unsigned v : {0x00A1u, 100u, 0xFFF0u}) Append16(comment, v);
  b.insert(b.begin() + kBitsOpcodeAt, comment.begin(), comment.end());
  EXPECT_FALSE(DecodePICT(b));
}

TEST(PictRefuses, EveryTruncation) {
  for (auto packing : {mkmedia::PictPacking::kPlanarPackBits, mkmedia::PictPacking::kUnpacked}) {
    const Bytes file = mkmedia::EncodePICT(Pattern(70, 3), packing);
    for (std::size_t n = 0; n < file.size(); ++n) {
      EXPECT_FALSE(DecodePICT(std::span(file).first(n))) << n;  // the end opcode is always missing
    }
  }
}

TEST(PsdRefuses, WhatItDoesNotUnderstand) {
  const Bytes good = mkmedia::EncodePSD(Pattern(5, 2), mkmedia::PsdCompression::kRLE);
  ASSERT_TRUE(DecodePSD(good));
  auto patched = [&good](std::size_t at, unsigned v) {
    Bytes b = good;
    Put16(b, at, v);
    return b;
  };
  EXPECT_FALSE(DecodePSD(patched(2, 0x3842))) << "signature";  // "8B8B"
  EXPECT_FALSE(DecodePSD(patched(4, 2))) << "large-document version";
  EXPECT_FALSE(DecodePSD(patched(12, 1))) << "one channel";
  EXPECT_FALSE(DecodePSD(patched(22, 16))) << "16-bit depth";
  EXPECT_FALSE(DecodePSD(patched(24, 4))) << "CMYK";
  EXPECT_FALSE(DecodePSD(patched(38, 2))) << "ZIP compression";
  EXPECT_FALSE(DecodePSD(patched(26, 0x7FFF))) << "colour data longer than the file";
}

TEST(PsdRefuses, OversizedDimensions) {
  const Bytes good = mkmedia::EncodePSD(Pattern(5, 2), mkmedia::PsdCompression::kRLE);
  auto sized = [&good](std::uint32_t w, std::uint32_t h) {
    Bytes b = good;
    Put16(b, 14, h >> 16);
    Put16(b, 16, h & 0xFFFF);
    Put16(b, 18, w >> 16);
    Put16(b, 20, w & 0xFFFF);
    return b;
  };
  EXPECT_FALSE(DecodePSD(sized(5, 65538))) << "past the side limit";
  EXPECT_FALSE(DecodePSD(sized(16000, 16000))) << "past the pixel limit";
  EXPECT_FALSE(DecodePSD(sized(4000, 4000))) << "more rows than the file holds";
  EXPECT_FALSE(DecodePSD(sized(0, 2))) << "empty";
}

TEST(PsdRefuses, PackBitsRunsThatOverflowTheRow) {
  Bytes b = mkmedia::EncodePSD(Pattern(5, 1), mkmedia::PsdCompression::kRLE);
  // The first row's data follows the 3 row counts at 40; make it a repeat of 6.
  const std::size_t data = 40 + 3 * 2;
  const std::size_t firstLen = static_cast<std::size_t>(b[40] << 8 | b[41]);
  b.erase(b.begin() + static_cast<std::ptrdiff_t>(data), b.begin() + static_cast<std::ptrdiff_t>(data + firstLen));
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(data), {static_cast<std::uint8_t>(257 - 6), 9});
  Put16(b, 40, 2);
  EXPECT_FALSE(DecodePSD(b));
}

TEST(PsdRefuses, EveryTruncation) {
  for (auto compression : {mkmedia::PsdCompression::kRaw, mkmedia::PsdCompression::kRLE}) {
    const auto image = Pattern(9, 3);
    const Bytes file = mkmedia::EncodePSD(image, compression);
    for (std::size_t n = 0; n <= file.size(); ++n) {
      const auto img = DecodePSD(std::span(file).first(n));
      if (n == file.size()) {
        ASSERT_TRUE(img);
        EXPECT_EQ(*img, Expected(image));
      } else {
        EXPECT_FALSE(img) << n;
      }
    }
  }
}

}  // namespace
}  // namespace fw::codec
