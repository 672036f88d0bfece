#include "framework/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Encoders.h"
#include "framework/FolderItem.h"
#include "framework/ImageCodecs.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}
void Append32(Bytes& b, std::uint32_t v) {
  Append16(b, v >> 16);
  Append16(b, v & 0xFFFF);
}
// A row of n zero bytes in PackBits: repeats of at most 128.
void AppendZeroRow(Bytes& b, std::size_t n) {
  while (n > 0) {
    const std::size_t run = std::min<std::size_t>(n, 128);
    b.insert(b.end(), {static_cast<std::uint8_t>(257 - run), 0});
    n -= run;
  }
}

// The cheapest pictures of a size, a few bytes a row: a one-bit PICT all white
// (width a multiple of 16) and an RGB Photoshop file all black.
Bytes WhitePICT(int w, int h) {
  const auto rowBytes = static_cast<std::size_t>(w / 8);
  Bytes b;
  for (unsigned v : {0u, 0u, 0u, unsigned(h), unsigned(w), 0x0011u, 0x02FFu}) Append16(b, v);
  // PackBitsRect of a BitMap: rowBytes, bounds, srcRect, dstRect, srcCopy, rows.
  for (unsigned v : {0x0098u, unsigned(rowBytes)}) Append16(b, v);
  for (int r = 0; r < 3; ++r)
    for (unsigned v : {0u, 0u, unsigned(h), unsigned(w)}) Append16(b, v);
  Append16(b, 0);
  for (int y = 0; y < h; ++y) {
    Bytes row;
    AppendZeroRow(row, rowBytes);
    if (rowBytes > 250) Append16(b, unsigned(row.size()));
    else b.push_back(static_cast<std::uint8_t>(row.size()));
    b.insert(b.end(), row.begin(), row.end());
  }
  if (b.size() % 2) b.push_back(0);
  Append16(b, 0x00FF);
  return b;
}

Bytes BlackPSD(int w, int h) {
  Bytes b = {'8', 'B', 'P', 'S'};
  Append16(b, 1);
  b.insert(b.end(), 6, 0);
  Append16(b, 3);
  Append32(b, std::uint32_t(h));
  Append32(b, std::uint32_t(w));
  for (unsigned v : {8u, 3u}) Append16(b, v);  // depth, RGB
  for (int section = 0; section < 3; ++section) Append32(b, 0);
  Append16(b, 1);  // PackBits
  Bytes row;
  AppendZeroRow(row, static_cast<std::size_t>(w));
  for (int i = 0; i < 3 * h; ++i) Append16(b, unsigned(row.size()));
  for (int i = 0; i < 3 * h; ++i) b.insert(b.end(), row.begin(), row.end());
  return b;
}

fw::Ref<fw::Picture> FromBytes(std::string_view ext, const Bytes& bytes) {
  return fw::Picture::FromFileBytes(ext, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void Put(const std::filesystem::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(Picture, NewPicturesAreWhiteAndOpaque) {
  fw::Picture p(4, 3);
  EXPECT_EQ(p.Width(), 4);
  EXPECT_EQ(p.Height(), 3);
  EXPECT_EQ(p.Pixel(3, 2), fw::RGB(255, 255, 255));
  EXPECT_EQ(p.Opacity(3, 2), 255);
  EXPECT_FALSE(p.HasMask());
}

TEST(Picture, MaskIsBlackOpaqueWhiteTransparentGreysBetween) {
  fw::Picture face(3, 1);
  face.Graphics().SetForeColor(fw::RGB(0, 128, 255));
  face.Graphics().FillRect(0, 0, 3, 1);

  fw::Picture* mask = face.Mask(true);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(face.Mask(false), mask);
  EXPECT_EQ(face.Opacity(0, 0), 255) << "a new mask keeps the picture opaque";

  mask->Graphics().SetForeColor(fw::RGB(255, 255, 255));
  mask->Graphics().FillRect(1, 0, 1, 1);
  mask->Graphics().SetForeColor(fw::RGB(128, 128, 128));
  mask->Graphics().FillRect(2, 0, 1, 1);
  EXPECT_EQ(face.Opacity(0, 0), 255);
  EXPECT_EQ(face.Opacity(1, 0), 0);
  EXPECT_NEAR(face.Opacity(2, 0), 127, 1);
  EXPECT_EQ(face.Pixel(1, 0), fw::RGB(0, 128, 255)) << "the mask leaves the colours alone";
}

TEST(Picture, DrawingAMaskedPictureBlendsByTheMask) {
  fw::Picture face(2, 1);
  face.Graphics().SetForeColor(fw::RGB(0, 0, 0));
  face.Graphics().FillRect(0, 0, 2, 1);
  face.Mask(true)->Graphics().SetForeColor(fw::RGB(255, 255, 255));
  face.Mask(false)->Graphics().FillRect(1, 0, 1, 1);

  fw::Picture target(2, 1);  // white
  target.Graphics().DrawPicture(&face, 0, 0);
  EXPECT_EQ(target.Pixel(0, 0), fw::RGB(0, 0, 0));
  EXPECT_EQ(target.Pixel(1, 0), fw::RGB(255, 255, 255));
}

TEST(Picture, ScaledDrawingFillsTheDestination) {
  fw::Picture src(2, 2);
  src.Graphics().SetForeColor(fw::RGB(200, 0, 0));
  src.Graphics().FillRect(0, 0, 2, 2);
  fw::Picture target(10, 6);
  target.Graphics().DrawPicture(&src, 0, 0, 10, 6, 0, 0, 2, 2);
  EXPECT_EQ(target.Pixel(0, 0), fw::RGB(200, 0, 0));
  EXPECT_EQ(target.Pixel(9, 5), fw::RGB(200, 0, 0));
  target.Graphics().DrawPicture(nullptr, 0, 0);  // nothing to draw is no failure
}

TEST(Picture, FromRGBAKeepsPixelsAndRefusesBadSizes) {
  fw::codec::RGBAImage img{2, 1, {0xFFFF0000u, 0x00000000u}};
  auto pic = fw::Picture::FromRGBA(img);
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->Pixel(0, 0), fw::RGB(255, 0, 0));
  EXPECT_EQ(pic->Opacity(1, 0), 0);
  EXPECT_FALSE(fw::Picture::FromRGBA({2, 2, {0xFF000000u}}));
  EXPECT_FALSE(fw::Picture::FromRGBA({0, 0, {}}));
}

TEST(Picture, NoSideOfAPictureMayBeLargerThanTheGameCanUse) {
  auto side = [](const fw::Ref<fw::Picture>& p) { return p ? std::max(p->Width(), p->Height()) : 0; };
  EXPECT_EQ(side(FromBytes("pct", WhitePICT(2048, 2048))), 2048);
  EXPECT_EQ(side(FromBytes("psd", BlackPSD(2048, 2048))), 2048);
  EXPECT_EQ(side(FromBytes("png", mkmedia::EncodePNG(mkmedia::Canvas(1, 2048)))), 2048);

  // Past the cap a file of a few kilobytes would cost 64 MiB decoded: refused
  // before anything is decoded.
  const std::vector<std::pair<const char*, Bytes>> oversized = {
      {"pct", WhitePICT(4096, 4096)}, {"psd", BlackPSD(4096, 4096)},
      {"pct", WhitePICT(2064, 16)},   {"psd", BlackPSD(1, 2049)},
      {"png", mkmedia::EncodePNG(mkmedia::Canvas(2049, 1))}};
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [ext, bytes] : oversized) EXPECT_FALSE(FromBytes(ext, bytes)) << ext << " of " << bytes.size();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(Picture, APictureThatMemoryCannotHoldIsUnreadable) {
  if (!kMemoryLimitsTestable) GTEST_SKIP() << "memory limits end a sanitized process";
  TempDir dir("picture-memory");
  // Two take a few kilobytes of file and 16 MiB or more to decode; the last
  // takes 60 MiB to read.
  Put(dir / "ScoreBkg.psd", BlackPSD(2048, 2048));
  Put(dir / "MetalBkg.pct", WhitePICT(2048, 2048));
  std::ofstream(dir / "newZemboTitle.png").put('\x89');
  std::filesystem::resize_file(dir / "newZemboTitle.png", 60 << 20);
  const char* names[] = {"ScoreBkg.psd", "MetalBkg.pct", "newZemboTitle.png"};
  auto openWithLittleMemory = [&] {
    AddressSpaceLimit limit(8 << 20);
    if (!limit) return 64;
    int opened = 0;
    try {
      for (int i = 0; i < 3; ++i)
        if (fw::FolderItem(dir / names[i]).OpenAsPicture()) opened |= 1 << i;
    } catch (...) {
      return 32;
    }
    return opened;
  };
  // In a process of its own, whose heap holds no memory that earlier tests freed.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const int opened = openWithLittleMemory();
        std::filesystem::remove_all(dir.path());  // its own copy: no destructor runs
        std::_Exit(opened);
      },
      testing::ExitedWithCode(0), "")
      << "bits 1, 2, 4: opened; 32: the failure escaped; 64: no limit";
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(fw::FolderItem(dir / names[i]).OpenAsPicture()) << "with memory: " << names[i];
}

TEST(Picture, NilReferencesRaiseInsteadOfCrashing) {
  fw::Ref<fw::Picture> none;
  EXPECT_THROW(none->Width(), fw::NilObjectException);
}

TEST(Graphics, TextMeasuresGrowWithSizeAndBold) {
  fw::Picture p(200, 40);
  fw::Graphics& g = p.Graphics();
  g.SetTextSize(10);
  double small = g.StringWidth("New Game");
  g.SetTextSize(14);
  double large = g.StringWidth("New Game");
  g.SetBold(true);
  double bold = g.StringWidth("New Game");
  EXPECT_GT(small, 0);
  EXPECT_GT(large, small);
  EXPECT_GE(bold, large);
  EXPECT_EQ(g.StringWidth(""), 0);
}

TEST(Graphics, ControlCharactersDrawNothingAndTakeNoWidth) {
  fw::Picture plain(200, 30), marked(200, 30);
  for (fw::Picture* p : {&plain, &marked}) p->Graphics().SetTextSize(12);
  plain.Graphics().DrawString("free to", 5, 20);
  marked.Graphics().DrawString(std::string("free") + '\x17' + " to", 5, 20);
  EXPECT_EQ(plain.Graphics().StringWidth("free to"), marked.Graphics().StringWidth(std::string("free\x17 to")));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(plain.Pixel(x, y), marked.Pixel(x, y)) << x << "," << y;

  // Nor do the other controls and the format characters, which would turn text around.
  for (const char* text : {"free\x7F to", "free\u0085 to", "free\u202E to", "free\u2067 to\u2069", "free\u200B to",
                           "free\U000E0001 to"}) {
    SCOPED_TRACE(text);
    fw::Picture other(200, 30);
    other.Graphics().SetTextSize(12);
    other.Graphics().DrawString(text, 5, 20);
    EXPECT_EQ(plain.Graphics().StringWidth("free to"), other.Graphics().StringWidth(text));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 200; ++x) ASSERT_EQ(plain.Pixel(x, y), other.Pixel(x, y)) << x << "," << y;
  }
}

}  // namespace
