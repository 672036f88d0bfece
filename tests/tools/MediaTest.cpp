#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "Encoders.h"
#include "Media.h"
#include "Pictures.h"

namespace mkmedia {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kPictureNames = {
    "redSprite.pct",     "BlueBubble.pct", "PurpBub.pct",    "paddle.pct",     "Paddle2.pct",  "Paddle3.pct",
    "Paddle4.pct",       "BltDrop.pct",    "PadDrop.pct",    "BallDrop.pct",   "DblDrop.pct",  "BadDrop.pct",
    "Drop.pct",          "bullet.pct",     "Aqua120x30.png", "Mask120x30.png", "ScoreBkg.psd", "MetalBkg.pct",
    "newZemboTitle.png", "NextBtn.pct",    "PrevBtn.pct",    "ExitBtn.pct"};
const std::set<std::string> kSoundNames = {"bing.wav",    "Ding.wav", "fire.wav",   "larger.wav",
                                           "pop.wav",     "TaDa.wav", "Uh-Ohh.wav", "Wrong.wav",
                                           "newLife.wav", "shot.wav", "dud.wav"};

Bytes ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t Be32(const Bytes& b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}
std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return std::uint32_t{b[at + 3]} << 24 | std::uint32_t{b[at + 2]} << 16 | std::uint32_t{b[at + 1]} << 8 | b[at];
}
unsigned Le16(const Bytes& b, std::size_t at) { return unsigned{b[at + 1]} << 8 | b[at]; }

const std::map<std::string, Bytes>& Built() {
  static const auto* files = [] {
    auto* m = new std::map<std::string, Bytes>;
    for (auto& f : BuildMedia()) (*m)[f.name] = std::move(f.bytes);
    return m;
  }();
  return *files;
}

const Picture& Drawn(const std::string& name) {
  static const std::vector<Picture> pictures = DrawPictures();
  for (const Picture& p : pictures) {
    if (p.name == name) return p;
  }
  throw std::runtime_error("no picture " + name);
}

// ---------------------------------------------------------------- the set of files

TEST(MediaFiles, AreTheThirtyThreeTheGameLoads) {
  std::set<std::string> built;
  for (const auto& [name, bytes] : Built()) built.insert(name);
  std::set<std::string> expected = kPictureNames;
  expected.insert(kSoundNames.begin(), kSoundNames.end());
  EXPECT_EQ(built, expected);
  EXPECT_EQ(Built().size(), 33u);
}

TEST(MediaFiles, CommittedCopiesMatchAFreshBuild) {
  char dirTemplate[] = "/tmp/mkmedia-test-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  const fs::path dir = dirTemplate;
  ASSERT_FALSE(WriteMedia(dir, BuildMedia()));
  for (const auto& [name, bytes] : Built()) {
    const fs::path committed = fs::path(ZEMBO_MEDIA_DIR) / name;
    ASSERT_TRUE(fs::exists(committed)) << name << " is missing from media/";
    EXPECT_TRUE(ReadFile(dir / name) == ReadFile(committed)) << name << " is stale: rerun mkmedia into media/";
  }
  fs::remove_all(dir);
}

TEST(MediaFiles, WriteReportsAFolderItCannotWriteTo) {
  EXPECT_TRUE(WriteMedia("/nonexistent-folder/media", {{"x.wav", {1, 2}}}));
}

// ---------------------------------------------------------------- sounds

TEST(Sounds, AreShortEnvelopedPcm16Mono) {
  double totalSeconds = 0;
  for (const std::string& name : kSoundNames) {
    const Bytes& w = Built().at(name);
    ASSERT_GE(w.size(), 44u) << name;
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF") << name;
    EXPECT_EQ(Le32(w, 4), w.size() - 8) << name;
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ") << name;
    EXPECT_EQ(Le16(w, 20), 1u) << name << ": PCM";
    EXPECT_EQ(Le16(w, 22), 1u) << name << ": mono";
    EXPECT_EQ(Le32(w, 24), 22050u) << name;
    EXPECT_EQ(Le16(w, 34), 16u) << name;
    EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data") << name;
    const std::uint32_t dataBytes = Le32(w, 40);
    ASSERT_EQ(dataBytes, w.size() - 44) << name;
    const std::size_t frames = dataBytes / 2;
    totalSeconds += static_cast<double>(frames) / 22050;

    auto sample = [&w](std::size_t i) { return static_cast<std::int16_t>(Le16(w, 44 + 2 * i)); };
    int peak = 0;
    for (std::size_t i = 0; i < frames; ++i) peak = std::max(peak, std::abs(int{sample(i)}));
    EXPECT_GT(peak, 8000) << name << " is nearly silent";
    EXPECT_LT(std::abs(int{sample(0)}), 500) << name << " starts with a click";
    EXPECT_LT(std::abs(int{sample(frames - 1)}), 500) << name << " ends with a click";
  }
  EXPECT_LE(totalSeconds, 2.5);
  EXPECT_NEAR(static_cast<double>(Built().at("pop.wav").size() - 44) / 2 / 22050, 0.08, 0.02);
}

// ---------------------------------------------------------------- PNG

// Inflates and unfilters a PNG from the encoder into 8-bit RGBA, checking
// every chunk's CRC on the way; empty on any fault.
Bytes DecodeOwnPng(const Bytes& png, int& width, int& height, int& colourType) {
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!std::equal(signature.begin(), signature.end(), png.begin())) return {};
  Bytes idat;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t len = Be32(png, at);
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    const uLong crc = crc32(0L, png.data() + at + 4, static_cast<uInt>(len + 4));
    if (crc != Be32(png, at + 8 + len)) return {};
    if (type == "IHDR") {
      width = static_cast<int>(Be32(png, at + 8));
      height = static_cast<int>(Be32(png, at + 12));
      colourType = png[at + 17];
    }
    if (type == "IDAT")
      idat.insert(idat.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                  png.begin() + static_cast<std::ptrdiff_t>(at + 8 + len));
    at += 12 + len;
  }
  const int channels = colourType == 2 ? 3 : 4;
  const auto stride = static_cast<std::size_t>(width * channels);
  Bytes raw((stride + 1) * static_cast<std::size_t>(height));
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, idat.data(), static_cast<uLong>(idat.size())) != Z_OK || rawLen != raw.size())
    return {};
  Bytes rgba, prev(stride, 0), cur(stride);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t filter = raw[static_cast<std::size_t>(y) * (stride + 1)];
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<std::size_t>(channels) ? cur[i - static_cast<std::size_t>(channels)] : 0;
      const int b = prev[i];
      const int c = i >= static_cast<std::size_t>(channels) ? prev[i - static_cast<std::size_t>(channels)] : 0;
      const int p = a + b - c;
      const int paeth = (std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c)) ? a
                        : std::abs(p - b) <= std::abs(p - c)                                       ? b
                                                                                                   : c;
      const int predictors[] = {0, a, b, (a + b) / 2, paeth};
      cur[i] = static_cast<std::uint8_t>(raw[static_cast<std::size_t>(y) * (stride + 1) + 1 + i] + predictors[filter]);
    }
    for (int x = 0; x < width; ++x) {
      for (int ch = 0; ch < 4; ++ch) {
        rgba.push_back(ch < channels ? cur[static_cast<std::size_t>(x * channels + ch)] : 255);
      }
    }
    prev = cur;
  }
  return rgba;
}

TEST(Png, DecodesBackToTheDrawnPicture) {
  for (const std::string name : {"Aqua120x30.png", "Mask120x30.png", "newZemboTitle.png"}) {
    int w = 0, h = 0, type = 0;
    const Bytes rgba = DecodeOwnPng(Built().at(name), w, h, type);
    ASSERT_FALSE(rgba.empty()) << name;
    EXPECT_EQ(w, Drawn(name).image.Width()) << name;
    EXPECT_EQ(h, Drawn(name).image.Height()) << name;
    EXPECT_EQ(type, 2) << name << " is opaque, so RGB";
    EXPECT_TRUE(rgba == Drawn(name).image.ToRGBA8()) << name;
  }
}

TEST(Png, KeepsAlphaWhenThePictureHasSome) {
  Canvas c(3, 2, {10, 20, 30, 255});
  c.Set(1, 1, {200, 100, 50, 128});
  int w = 0, h = 0, type = 0;
  const Bytes rgba = DecodeOwnPng(EncodePNG(c), w, h, type);
  EXPECT_EQ(type, 6);
  EXPECT_TRUE(rgba == c.ToRGBA8());
}

TEST(PackBits, SplitsLongRunsAndKeepsLiteralsApart) {
  EXPECT_EQ(PackBits(Bytes(300, 7)), (Bytes{0x81, 7, 0x81, 7, 0xD5, 7}));  // 128 + 128 + 44
  EXPECT_EQ(PackBits(Bytes{1, 2, 3, 3, 3, 3, 4}), (Bytes{1, 1, 2, 0xFD, 3, 0, 4}));
  EXPECT_EQ(PackBits(Bytes{5, 5}), (Bytes{1, 5, 5}));  // a pair costs less as a literal
}

// ---------------------------------------------------------------- pictures as the player sees them

// Pure white is see-through in a sprite: white that the border cannot reach
// would show as a hole in the figure.
TEST(Pictures, SpritesHaveNoWhiteHolesAndKeepTheirBorderClear) {
  for (const std::string& name : kPictureNames) {
    const Picture& p = Drawn(name);
    if (!p.sprite) continue;
    const Canvas& c = p.image;
    auto white = [&c](int x, int y) {
      const Rgba q = c.At(x, y);
      return q.r == 255 && q.g == 255 && q.b == 255;
    };
    std::vector<char> reached(static_cast<std::size_t>(c.Width() * c.Height()), 0);
    std::vector<std::pair<int, int>> todo;
    for (int x = 0; x < c.Width(); ++x) todo.insert(todo.end(), {{x, 0}, {x, c.Height() - 1}});
    for (int y = 0; y < c.Height(); ++y) todo.insert(todo.end(), {{0, y}, {c.Width() - 1, y}});
    while (!todo.empty()) {
      const auto [x, y] = todo.back();
      todo.pop_back();
      if (x < 0 || y < 0 || x >= c.Width() || y >= c.Height()) continue;
      char& r = reached[static_cast<std::size_t>(y * c.Width() + x)];
      if (r || !white(x, y)) continue;
      r = 1;
      todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    int holes = 0, background = 0;
    for (int y = 0; y < c.Height(); ++y) {
      for (int x = 0; x < c.Width(); ++x) {
        holes += white(x, y) && !reached[static_cast<std::size_t>(y * c.Width() + x)];
        background += white(x, y);
      }
    }
    EXPECT_EQ(holes, 0) << name;
    EXPECT_GT(background, 0) << name << " has no transparent background";
    EXPECT_TRUE(white(0, 0)) << name;
  }
}

bool KeyedOut(const Rgba& q) { return q.r == 255 && q.g == 255 && q.b == 255; }

// Once the white is keyed out the field shows around a sprite. A pixel on the
// figure's edge is partly figure, partly field: it may not be lighter, or
// darker, in every channel than both the field and the figure just inside it,
// as a blend towards white or black would be, showing as a fringe.
TEST(Pictures, SpriteEdgesBlendIntoThePlayField) {
  constexpr double kSlack = 4;  // per channel
  for (const std::string& name : kPictureNames) {
    const Picture& p = Drawn(name);
    if (!p.sprite) continue;
    const Canvas& c = p.image;
    auto figure = [&c](int x, int y) {
      return x >= 0 && y >= 0 && x < c.Width() && y < c.Height() && !KeyedOut(c.At(x, y));
    };
    auto onEdge = [&figure](int x, int y) {
      return figure(x, y) && !(figure(x - 1, y) && figure(x + 1, y) && figure(x, y - 1) && figure(x, y + 1));
    };
    int checked = 0;
    for (int y = 0; y < c.Height(); ++y) {
      for (int x = 0; x < c.Width(); ++x) {
        if (!onEdge(x, y)) continue;
        Rgba lo = kPlayfield, hi = kPlayfield;
        bool inside = false;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            if (!figure(x + dx, y + dy) || onEdge(x + dx, y + dy)) continue;
            const Rgba n = c.At(x + dx, y + dy);
            lo = {std::min(lo.r, n.r), std::min(lo.g, n.g), std::min(lo.b, n.b)};
            hi = {std::max(hi.r, n.r), std::max(hi.g, n.g), std::max(hi.b, n.b)};
            inside = true;
          }
        }
        if (!inside) continue;  // a sliver of the figure: nothing inside to compare with
        ++checked;
        const Rgba q = c.At(x, y);
        EXPECT_FALSE(q.r > hi.r + kSlack && q.g > hi.g + kSlack && q.b > hi.b + kSlack)
            << name << " has a light fringe at " << x << "," << y;
        EXPECT_FALSE(q.r < lo.r - kSlack && q.g < lo.g - kSlack && q.b < lo.b - kSlack)
            << name << " has a dark fringe at " << x << "," << y;
      }
    }
    EXPECT_GT(checked, 4) << name;
  }
}

// The bubbles bounce between 0 and 468 on the 500-pixel field and the purple
// ones start at -32: a bubble is a disc that fills a 32-pixel square.
TEST(Pictures, BubblesFillTheirThirtyTwoPixelSquare) {
  for (const std::string name : {"BlueBubble.pct", "PurpBub.pct"}) {
    const Canvas& c = Drawn(name).image;
    ASSERT_EQ(c.Width(), 32) << name;
    ASSERT_EQ(c.Height(), 32) << name;
    int left = 32, right = -1, top = 32, bottom = -1, opaque = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (KeyedOut(c.At(x, y))) continue;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        ++opaque;
      }
    }
    EXPECT_LE(left, 1) << name;
    EXPECT_GE(right, 30) << name;
    EXPECT_LE(top, 1) << name;
    EXPECT_GE(bottom, 30) << name;
    EXPECT_NEAR(opaque, 3.14159 * 15.4 * 15.4, 40) << name << " is not a round disc";
    EXPECT_TRUE(KeyedOut(c.At(0, 0)) && KeyedOut(c.At(31, 31))) << name << ": the corners are see-through";
  }
}

// The About window is 500 by 400 and its build line stands at the bottom.
TEST(Pictures, MetalBackdropCoversTheWholeAboutWindow) {
  const Canvas& m = Drawn("MetalBkg.pct").image;
  ASSERT_EQ(m.Width(), 500);
  ASSERT_EQ(m.Height(), 400);
  for (int y : {0, 200, 380, 399}) {
    double sum = 0;
    for (int x = 0; x < m.Width(); ++x) {
      const Rgba p = m.At(x, y);
      EXPECT_EQ(p.a, 255) << "row " << y;
      sum += p.r;
    }
    EXPECT_GT(sum / m.Width(), 140) << "row " << y << " is not light metal";
  }
}

TEST(Pictures, ButtonMaskIsBlackOnTheFaceAndWhiteInTheCorners) {
  const Canvas& m = Drawn("Mask120x30.png").image;
  EXPECT_EQ(m.At(60, 15), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(m.At(2, 15), (Rgba{0, 0, 0, 255}));
  for (auto [x, y] : {std::pair{0, 0}, {119, 0}, {0, 29}, {119, 29}}) EXPECT_EQ(m.At(x, y), (Rgba{255, 255, 255, 255}));
  const Rgba edge = m.At(5, 3);  // on the rounded end: partly covered
  EXPECT_GT(edge.r, 0);
  EXPECT_LT(edge.r, 255);
}

TEST(Pictures, TitleKeepsTheTextBandsDark) {
  const Canvas& t = Drawn("newZemboTitle.png").image;
  double brightest = 0;
  for (int y = 150; y < 236; ++y) {
    for (int x = 0; x < t.Width(); ++x) {
      const Rgba p = t.At(x, y);
      brightest = std::max(brightest, 0.3 * p.r + 0.59 * p.g + 0.11 * p.b);
    }
  }
  EXPECT_LT(brightest, 110);         // the splash draws light text (255, 240, 240) here
  const Rgba letter = t.At(60, 40);  // inside the Z's top bar
  EXPECT_GT(letter.r, 200);
}

}  // namespace
}  // namespace mkmedia
