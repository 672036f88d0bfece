// The cost of one sprite-surface frame on the busiest field the rules make: ball,
// paddle, bullet, drop, 18 bubbles, 60 raindrops falling and 490 dead ones below
// the field. Pairs go to an empty handler. Run: build/bench/surface_bench [frames]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "framework/FolderItem.h"
#include "framework/Picture.h"
#include "framework/SpriteSurface.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr int kFieldSize = 500;  // pixels, both ways
constexpr int kBubbles = 18;
constexpr int kLiveDrops = 60;
constexpr int kDeadDrops = 490;

// The media picture, or one of the same size drawn here when media/ lacks it.
fw::Ref<fw::Picture> Media(const char* name, int w, int h, fw::Color c) {
  if (auto file = fw::FolderItem(ZEMBO_MEDIA_DIR).Child(name))
    if (auto pic = file->OpenAsPicture(); pic && pic->Width() == w && pic->Height() == h) return pic;
  std::fprintf(stderr, "%s: drawn instead\n", name);
  auto pic = fw::New<fw::Picture>(w, h);
  pic->Graphics().SetForeColor(c);
  pic->Graphics().FillOval(0, 0, w, h);
  return pic;
}

struct Mover {
  fw::Ref<fw::Sprite> sprite;
  int dx = 0, dy = 0;
};

struct BenchField : fw::Window {
  BenchField() { SetSize(640, 520); }
  fw::SpriteSurface mySS{this, "mySS", 0, 4, kFieldSize, kFieldSize};
};

double Percentile(const std::vector<double>& sorted, double p) {
  std::size_t i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
  fw::test::StartHeadless();
  BenchField& w = fw::Implicit<BenchField>();
  fw::SpriteSurface& ss = w.mySS;
  ss.SetBackColor(fw::RGB(0, 0, 0));

  auto ball = Media("redSprite.pct", 8, 8, fw::RGB(255, 0, 0));
  auto paddle = Media("paddle.pct", 64, 10, fw::RGB(0, 0, 200));
  auto bullet = Media("bullet.pct", 4, 10, fw::RGB(200, 200, 0));
  auto drop = Media("BadDrop.pct", 16, 20, fw::RGB(0, 200, 0));
  auto bubble = Media("BlueBubble.pct", 32, 32, fw::RGB(0, 0, 255));
  auto rain = Media("Drop.pct", 8, 12, fw::RGB(0, 200, 200));

  std::mt19937 rng(1);
  auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  std::vector<Mover> movers;
  ss.NewSprite(paddle, 218, 490);
  movers.push_back({ss.NewSprite(ball, 250, 300), 3, -3});
  movers.push_back({ss.NewSprite(bullet, 250, 400), 0, -8});
  movers.push_back({ss.NewSprite(drop, 100, 0), 0, 3});
  for (int i = 0; i < kBubbles; ++i)
    movers.push_back({ss.NewSprite(bubble, in(0, 468), in(0, 150)), in(1, 5) * (in(0, 1) ? 1 : -1), in(1, 4)});
  std::vector<Mover> rainDrops;
  for (int i = 0; i < kDeadDrops; ++i) ss.NewSprite(rain, in(1, 480), in(501, 509));
  for (int i = 0; i < kLiveDrops; ++i) rainDrops.push_back({ss.NewSprite(rain, in(1, 480), in(-12, 499)), 0, in(3, 9)});

  long pairs = 0;
  ss.NextFrame = [&] {
    for (Mover& m : movers) {
      fw::Sprite& s = *m.sprite;
      if (s.X() + m.dx < 0 || s.X() + m.dx > kFieldSize - s.Image()->Width()) m.dx = -m.dx;
      if (s.Y() + m.dy < 0 || s.Y() + m.dy > kFieldSize - s.Image()->Height()) m.dy = -m.dy;
      s.SetX(s.X() + m.dx);
      s.SetY(s.Y() + m.dy);
    }
    // Live raindrops start again at the top, so 60 stay on the field.
    for (Mover& m : rainDrops) {
      fw::Sprite& s = *m.sprite;
      s.SetY(s.Y() + m.dy > kFieldSize ? -12 : s.Y() + m.dy);
    }
  };
  ss.Collision = [&](fw::Sprite&, fw::Sprite&) { ++pairs; };

  ss.Run();
  for (int i = 0; i < 200; ++i) fw::surface_hooks::RunFrame(ss);  // warm the picture cache

  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    auto start = std::chrono::steady_clock::now();
    fw::surface_hooks::RunFrame(ss);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("frames: %d, sprites: %zu, pairs delivered: %ld\n", frames, ss.Sprites().size(), pairs);
  std::printf("median_ms=%.4f p99_ms=%.4f max_ms=%.4f\n", Percentile(ms, 0.5), Percentile(ms, 0.99), ms.back());
  fw::test::StopHeadless();
  return 0;
}
