#include "framework/SpriteSurface.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "framework/Timer.h"

namespace {

using fw::test::Advance;
using SpritePair = std::pair<const fw::Sprite*, const fw::Sprite*>;

constexpr fw::Color kBlack = fw::RGB(0, 0, 0);
constexpr fw::Color kWhite = fw::RGB(255, 255, 255);
constexpr fw::Color kRed = fw::RGB(255, 0, 0);
constexpr fw::Color kBlue = fw::RGB(0, 0, 255);
constexpr fw::Color kWindowGreen = fw::RGB(0, 160, 0);

// A window with a 100 x 80 surface at 10, 4 that logs every frame and pair.
struct Field : fw::Window {
  Field() {
    SetSize(140, 110);
    SetTitle("Field");
    SetBackColor(kWindowGreen, true);
    ss.NextFrame = [this] {
      ticks.push_back(fw::Ticks());
      frameUs.push_back(fw::NowUs());
      pairs.emplace_back();
      if (onFrame) onFrame();
    };
    ss.Collision = [this](fw::Sprite& a, fw::Sprite& b) {
      pairs.back().emplace_back(&a, &b);
      if (onCollision) onCollision(a, b);
    };
  }

  fw::SpriteSurface ss{this, "ss", 10, 4, 100, 80};
  std::vector<std::int64_t> ticks;
  std::vector<std::int64_t> frameUs;
  std::vector<std::vector<SpritePair>> pairs;  // one entry per frame
  std::function<void()> onFrame;
  std::function<void(fw::Sprite&, fw::Sprite&)> onCollision;
};

fw::Ref<fw::Picture> Solid(int w, int h, fw::Color c = kBlack) {
  auto pic = fw::New<fw::Picture>(w, h);
  pic->Graphics().SetForeColor(c);
  pic->Graphics().FillRect(0, 0, w, h);
  return pic;
}

// A black square with a white (see-through) square hole.
fw::Ref<fw::Picture> Ring(int size, int holeAt, int holeSize) {
  auto pic = Solid(size, size);
  pic->Graphics().ClearRect(holeAt, holeAt, holeSize, holeSize);
  return pic;
}

fw::Ref<fw::Sprite> Add(Field& f, fw::Ref<fw::Picture> pic, int x, int y) { return f.ss.NewSprite(std::move(pic), x, y); }

// Runs exactly n frames, then stops the surface.
void RunFrames(Field& f, int n) {
  std::size_t target = f.pairs.size() + static_cast<std::size_t>(n);
  f.ss.Run();
  while (f.pairs.size() < target) Advance(1);
  f.ss.Stop();
}

// The pairs of one frame.
std::vector<SpritePair> OneFrame(Field& f) {
  RunFrames(f, 1);
  return f.pairs.back();
}

bool Collide(Field& f) { return !OneFrame(f).empty(); }

// A pixel of the rendered window, in the surface's coordinates.
fw::Color FieldPixel(Field& f, int x, int y) { return fw::test::Render(f)->Pixel(10 + x, 4 + y); }

// Moves the clock to the start of a tick that is a whole number of milliseconds.
void ToWholeMsTick() {
  std::int64_t tick = (fw::Ticks() / 3 + 1) * 3;  // every third tick starts on a whole 50 ms
  fw::clock_hooks::SetManualNowUs(fw::TickStartUs(tick));
}

// Frames and the clock

TEST(SpriteSurfaceFrames, TenThousandFramesTakeExactlyTenThousandTicks) {
  Field& f = fw::Implicit<Field>();
  f.onFrame = [&] {
    if (f.ticks.size() == 10000) f.ss.Stop();
  };
  std::int64_t start = fw::Ticks();
  f.ss.Run();
  EXPECT_TRUE(f.ss.IsRunning());
  Advance(10000 * 1000 / 60 + 1000);
  ASSERT_EQ(f.ticks.size(), 10000u);
  for (std::size_t k = 0; k < f.ticks.size(); ++k) ASSERT_EQ(f.ticks[k], start + 1 + static_cast<std::int64_t>(k)) << k;
  EXPECT_FALSE(f.ss.IsRunning());
  for (std::int64_t us : f.frameUs) ASSERT_EQ(us, fw::TickStartUs(us * 60 / 1'000'000)) << "at the start of its tick";
}

TEST(SpriteSurfaceFrames, RunReturnsAtOnceAndTheFirstFrameComesAtTheNextTick) {
  Field& f = fw::Implicit<Field>();
  ToWholeMsTick();
  std::int64_t tick = fw::Ticks();
  f.ss.Run();
  EXPECT_TRUE(f.ticks.empty()) << "no frame inside Run, even at a tick's start";
  Advance(16);
  EXPECT_TRUE(f.ticks.empty());
  Advance(1);
  ASSERT_EQ(f.ticks.size(), 1u);
  EXPECT_EQ(f.ticks[0], tick + 1);
  EXPECT_EQ(f.frameUs[0], fw::TickStartUs(tick + 1));

  f.ss.Run();  // already running: the schedule stays
  Advance(16);
  EXPECT_EQ(f.ticks.size(), 1u);
  Advance(1);
  EXPECT_EQ(f.ticks.size(), 2u);

  f.ss.Stop();
  Advance(100);
  EXPECT_EQ(f.ticks.size(), 2u) << "no frame after Stop";
  fw::clock_hooks::SetManualNowUs(fw::NowUs() + 5000);  // mid-tick
  tick = fw::Ticks();
  f.ss.Run();
  Advance(40);
  ASSERT_GE(f.ticks.size(), 3u);
  EXPECT_EQ(f.ticks[2], tick + 1);
}

TEST(SpriteSurfaceFrames, TimersKeepTheirTimesAndComeAfterTheFrameOfTheirTick) {
  Field& f = fw::Implicit<Field>();
  std::vector<std::string> log;
  f.onFrame = [&] { log.push_back("frame " + std::to_string(fw::Ticks())); };
  ToWholeMsTick();
  std::int64_t t0 = fw::NowUs();
  std::int64_t tick0 = fw::Ticks();
  std::vector<std::int64_t> repeats;
  fw::Timer every800(fw::Timer::kMultiple, 800);
  every800.Action = [&] { repeats.push_back(fw::NowUs() - t0); };
  fw::Timer once(fw::Timer::kSingle, 50);  // 50 ms: exactly three ticks
  once.Action = [&] { log.push_back("timer " + std::to_string(fw::Ticks())); };
  f.ss.Run();
  Advance(4000);
  EXPECT_EQ(repeats, (std::vector<std::int64_t>{800'000, 1'600'000, 2'400'000, 3'200'000, 4'000'000}));
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[2], "frame " + std::to_string(tick0 + 3));
  EXPECT_EQ(log[3], "timer " + std::to_string(tick0 + 3)) << "the frame of a tick runs before its timers";
  EXPECT_EQ(f.ticks.size(), 240u) << "4 s of frames";
}

TEST(SpriteSurfaceFrames, ALateFrameIsNotFollowedByABurst) {
  Field& f = fw::Implicit<Field>();
  ToWholeMsTick();
  std::int64_t tick0 = fw::Ticks();
  // A timer handler that holds the loop for 100 ms, and a frame that takes 60 ms.
  fw::Timer hog(fw::Timer::kSingle, 20);
  hog.Action = [] { fw::clock_hooks::SetManualNowUs(fw::NowUs() + 100'000); };
  std::int64_t afterSlowFrame = -1;
  f.onFrame = [&] {
    if (f.ticks.size() == 4) {
      fw::clock_hooks::SetManualNowUs(fw::NowUs() + 60'000);
      afterSlowFrame = fw::Ticks();
    }
  };
  f.ss.Run();
  Advance(300);
  f.ss.Stop();
  // Frame 1 at tick0+1; the hog at 20 ms runs to 120 ms (tick 7): one late frame
  // then, the next at tick 8.
  ASSERT_GE(f.ticks.size(), 6u);
  EXPECT_EQ(f.ticks[0], tick0 + 1);
  EXPECT_EQ(f.ticks[1], tick0 + 7);
  EXPECT_EQ(f.ticks[2], tick0 + 8);
  EXPECT_EQ(f.ticks[3], tick0 + 9);
  EXPECT_EQ(f.ticks[4], afterSlowFrame + 1) << "after a slow frame the next comes at the next tick";
  for (std::size_t k = 5; k < f.ticks.size(); ++k) EXPECT_EQ(f.ticks[k], f.ticks[k - 1] + 1);
}

struct Question : fw::Window {
  Question() { SetTitle("Question"); }
};

TEST(SpriteSurfaceFrames, AModalWindowShownFromAFrameDoesNotStartANestedFrame) {
  Field& f = fw::Implicit<Field>();
  int depth = 0, deepest = 0, timerFires = 0;
  fw::Timer timer(fw::Timer::kMultiple, 10);
  timer.Action = [&] { ++timerFires; };
  f.onFrame = [&] {
    ++depth;
    deepest = std::max(deepest, depth);
    if (f.ticks.size() == 2) fw::Implicit<Question>().ShowModal();
    --depth;
  };
  fw::test::OnModal([&](fw::Window& w) {
    std::size_t framesBefore = f.ticks.size();
    int firesBefore = timerFires;
    Advance(200);
    EXPECT_EQ(f.ticks.size(), framesBefore) << "no frame while the frame that showed it is in progress";
    EXPECT_GE(timerFires - firesBefore, 19) << "timers go on under the modal window";
    w.Close();
  });
  f.ss.Run();
  Advance(400);
  EXPECT_EQ(deepest, 1);
  EXPECT_GT(f.ticks.size(), 5u) << "frames go on after the modal window";
}

struct Doomed : fw::Window {
  Doomed() {
    // Closes its own window and shows a modal one while its handler still runs.
    ss.Collision = [](fw::Sprite&, fw::Sprite&) {
      ++pairsSeen;
      if (current) std::exchange(current, nullptr)->Close();
      fw::Implicit<Question>().ShowModal();
    };
  }
  static inline Doomed* current = nullptr;
  static inline int pairsSeen = 0;
  fw::SpriteSurface ss{this, "ss", 0, 0, 50, 50};
};

TEST(SpriteSurfaceFrames, AWindowClosedByItsHandlerOutlivesTheModalLoopThatHandlerRuns) {
  Doomed& d = fw::Implicit<Doomed>();
  Doomed::current = &d;
  Doomed::pairsSeen = 0;
  auto a = d.ss.NewSprite(Solid(10, 10), 0, 0);
  auto b = d.ss.NewSprite(Solid(10, 10), 5, 5);
  std::vector<bool> attachedUnderModal;
  fw::test::OnModal([&](fw::Window& w) {
    Advance(50);
    attachedUnderModal.push_back(b->IsAttached());
    w.Close();
  });
  d.ss.Run();
  Advance(200);
  ASSERT_FALSE(attachedUnderModal.empty());
  EXPECT_TRUE(attachedUnderModal.front()) << "not destroyed under the handler that closed it";
  EXPECT_FALSE(b->IsAttached()) << "gone once that handler has returned";
  b->Close();
}

// Pairs

TEST(SpriteSurfacePairs, ArriveOnceEachInAttachOrderWithTheEarlierSpriteFirst) {
  Field& f = fw::Implicit<Field>();
  auto a = Add(f, Solid(30, 30), 50, 10);
  auto b = Add(f, Solid(30, 30), 10, 10);
  auto c = Add(f, Solid(30, 30), 30, 10);
  auto d = Add(f, Solid(100, 10), 0, 30);
  auto gone = Add(f, Solid(100, 80), 0, 0);
  gone->Close();
  auto e = Add(f, Solid(5, 5), 35, 15);  // attached last, inside b and c
  RunFrames(f, 3);
  std::vector<SpritePair> want{{a.get(), c.get()}, {a.get(), d.get()}, {b.get(), c.get()}, {b.get(), d.get()},
                               {b.get(), e.get()}, {c.get(), d.get()}, {c.get(), e.get()}};
  for (const auto& frame : f.pairs) EXPECT_EQ(frame, want);
}

TEST(SpriteSurfacePairs, ASpriteClosedEarlierInTheFrameIsNotReported) {
  Field& f = fw::Implicit<Field>();
  auto a = Add(f, Solid(30, 30), 0, 0);
  auto b = Add(f, Solid(30, 30), 10, 0);
  auto c = Add(f, Solid(30, 30), 20, 0);
  auto d = Add(f, Solid(30, 30), 25, 0);
  f.onFrame = [&] {
    if (f.pairs.size() == 1) d->Close();
  };
  f.onCollision = [&](fw::Sprite& first, fw::Sprite& second) {
    if (&first == a.get() && &second == b.get()) b->Close();  // the bubble burst by the first pair
  };
  RunFrames(f, 2);
  EXPECT_EQ(f.pairs[0], (std::vector<SpritePair>{{a.get(), b.get()}, {a.get(), c.get()}}));
  EXPECT_EQ(f.pairs[1], (std::vector<SpritePair>{{a.get(), c.get()}}));
}

TEST(SpriteSurfacePairs, NoneAfterStop) {
  Field& f = fw::Implicit<Field>();
  Add(f, Solid(30, 30), 0, 0);
  Add(f, Solid(30, 30), 10, 0);
  Add(f, Solid(30, 30), 20, 0);
  f.onCollision = [&](fw::Sprite&, fw::Sprite&) { f.ss.Stop(); };
  f.ss.Run();
  Advance(100);
  ASSERT_EQ(f.pairs.size(), 1u) << "Stop in a pair ends the frames";
  EXPECT_EQ(f.pairs[0].size(), 1u) << "and the frame's other pairs";

  f.onCollision = nullptr;
  f.onFrame = [&] { f.ss.Stop(); };
  f.ss.Run();
  Advance(100);
  ASSERT_EQ(f.pairs.size(), 2u);
  EXPECT_TRUE(f.pairs[1].empty()) << "Stop in NextFrame: no pair at all";

  f.onFrame = nullptr;
  EXPECT_EQ(OneFrame(f).size(), 3u) << "running again reports them again";
}

TEST(SpriteSurfacePairs, AnEscapingExceptionIsReportedAndTheOtherPairsStillCome) {
  Field& f = fw::Implicit<Field>();
  Add(f, Solid(30, 30), 0, 0);
  Add(f, Solid(30, 30), 10, 0);
  Add(f, Solid(30, 30), 20, 0);
  f.onCollision = [&](fw::Sprite&, fw::Sprite&) { throw std::runtime_error("bad pair"); };
  RunFrames(f, 2);
  EXPECT_EQ(f.pairs[0].size(), 3u);
  EXPECT_EQ(f.pairs[1].size(), 3u);
  EXPECT_EQ(fw::test::TakeUnhandledReports().size(), 6u);
}

// Overlap, pixel by pixel

TEST(SpriteSurfaceOverlap, BoxesThatTouchOnlyAtTheirEdgesDoNotCollide) {
  Field& f = fw::Implicit<Field>();
  Add(f, Solid(10, 10), 20, 20);
  auto b = Add(f, Solid(10, 10), 29, 29);
  EXPECT_TRUE(Collide(f)) << "one pixel in common";
  b->SetX(30);
  EXPECT_FALSE(Collide(f));
  b->SetX(29);
  b->SetY(30);
  EXPECT_FALSE(Collide(f));
}

TEST(SpriteSurfaceOverlap, WhitePixelsAreHoles) {
  Field& f = fw::Implicit<Field>();
  Add(f, Ring(20, 5, 10), 20, 20);  // hole: 25..34 both ways
  auto dot = Add(f, Solid(4, 4, kRed), 28, 28);
  EXPECT_FALSE(Collide(f)) << "inside the hole";
  dot->SetX(25);
  EXPECT_FALSE(Collide(f)) << "on the hole's left edge";
  dot->SetX(24);
  EXPECT_TRUE(Collide(f)) << "one column on the ring";
  dot->SetX(28);
  dot->SetY(31);
  EXPECT_FALSE(Collide(f));
  dot->SetY(32);
  EXPECT_TRUE(Collide(f)) << "one row on the ring";
  dot->SetImage(Solid(4, 4, kWhite));
  EXPECT_FALSE(Collide(f)) << "an all-white picture never collides";
}

TEST(SpriteSurfaceOverlap, TheMaskDecidesFromOpacityHalfUp) {
  Field& f = fw::Implicit<Field>();
  auto pic = Solid(20, 20);
  fw::Graphics& mask = pic->Mask(true)->Graphics();
  mask.SetForeColor(kWhite);
  mask.FillRect(0, 0, 5, 5);  // a transparent corner
  auto masked = Add(f, pic, 20, 20);
  auto dot = Add(f, Solid(4, 4, kRed), 21, 21);
  EXPECT_FALSE(Collide(f));
  dot->SetX(22);
  dot->SetY(22);
  EXPECT_TRUE(Collide(f)) << "touches 25,25, the first masked-in pixel";

  mask.SetForeColor(fw::RGB(128, 128, 128));  // opacity 127
  mask.FillRect(0, 0, 20, 20);
  EXPECT_FALSE(Collide(f)) << "a redrawn mask makes a new shape";
  mask.SetForeColor(fw::RGB(127, 127, 127));  // opacity 128
  mask.FillRect(0, 0, 20, 20);
  EXPECT_TRUE(Collide(f));
}

TEST(SpriteSurfaceOverlap, ASpriteWithoutAPictureNeverCollides) {
  Field& f = fw::Implicit<Field>();
  auto big = Add(f, Solid(100, 80), 0, 0);
  auto none = Add(f, nullptr, 10, 10);
  auto other = Add(f, nullptr, 10, 10);
  EXPECT_TRUE(OneFrame(f).empty());
  none->SetImage(Solid(4, 4));
  EXPECT_EQ(OneFrame(f), (std::vector<SpritePair>{{big.get(), none.get()}})) << "a picture makes a shape";
  none->SetImage(nullptr);
  EXPECT_TRUE(OneFrame(f).empty());
}

TEST(SpriteSurfaceOverlap, OnlyPixelsOnTheSurfaceCollide) {
  Field& f = fw::Implicit<Field>();
  // Dead raindrops below the field, piled on one another.
  for (int i = 0; i < 50; ++i) Add(f, Solid(8, 12), 40, 90 + i % 3);
  Add(f, Solid(10, 10), -15, 10);
  Add(f, Solid(10, 10), -12, 12);
  EXPECT_TRUE(OneFrame(f).empty());

  auto a = Add(f, Solid(10, 10), 60, 75);  // rows 75..84, of which 75..79 are on the field
  auto b = Add(f, Solid(10, 10), 60, 80);
  EXPECT_TRUE(OneFrame(f).empty()) << "they meet only below the field";
  b->SetY(79);
  EXPECT_EQ(OneFrame(f), (std::vector<SpritePair>{{a.get(), b.get()}}));
}

TEST(SpriteSurfaceOverlap, WidePicturesAreExactAtEveryColumn) {
  Field& f = fw::Implicit<Field>();
  auto wide = Solid(150, 3);
  wide->Graphics().ClearRect(95, 0, 1, 3);  // white columns inside the second word of a row
  wide->Graphics().ClearRect(64, 0, 1, 3);  // and at its first bit
  Add(f, wide, -20, 10);                    // starts left of the field
  auto dot = Add(f, Solid(1, 1), 75, 11);   // over column 95
  EXPECT_FALSE(Collide(f));
  dot->SetX(44);  // over column 64
  EXPECT_FALSE(Collide(f));
  for (int x : {74, 76, 0, 99}) {
    dot->SetX(x);
    EXPECT_TRUE(Collide(f)) << x;
  }
  auto bar = Add(f, Solid(70, 1, kRed), 3, 11);  // both pictures wider than a word
  dot->Close();
  bar->SetX(76);
  EXPECT_TRUE(Collide(f));
  bar->SetImage(Solid(1, 1));
  bar->SetX(75);
  EXPECT_FALSE(Collide(f)) << "a new picture gives a new shape";
}

// Lifetime of sprites

TEST(SpriteSurfaceSprites, CloseTakesTheSpriteOffOnceAndLeavesItUsable) {
  Field& f = fw::Implicit<Field>();
  auto a = Add(f, Solid(10, 10), 0, 0);
  auto b = Add(f, Solid(10, 10), 5, 5);
  auto c = Add(f, Solid(10, 10), 8, 8);
  EXPECT_TRUE(b->IsAttached());
  b->Close();
  b->Close();
  EXPECT_TRUE(b->IsClosed());
  EXPECT_FALSE(b->IsAttached());
  b->SetX(40);
  b->SetGroup(-3);
  b->SetImage(Solid(2, 2));
  EXPECT_EQ(b->X(), 40);
  EXPECT_EQ(b->Group(), -3);
  EXPECT_EQ(f.ss.Sprites(), (std::vector<fw::Ref<fw::Sprite>>{a, c}));

  f.ss.Attach(b);
  EXPECT_FALSE(b->IsAttached()) << "a closed sprite cannot come back";
  f.ss.Attach(c);
  EXPECT_EQ(f.ss.Sprites().size(), 2u) << "attaching twice keeps one";
  EXPECT_EQ(OneFrame(f), (std::vector<SpritePair>{{a.get(), c.get()}}));

  auto neverAttached = fw::New<fw::Sprite>();
  neverAttached->Close();
  f.ss.Attach(neverAttached);
  EXPECT_EQ(f.ss.Sprites().size(), 2u);
  EXPECT_THROW(f.ss.Attach(nullptr), fw::NilObjectException);
}

struct Drifter : fw::Sprite {
  int moves = 0;
};

TEST(SpriteSurfaceSprites, ASpriteTheGameLetGoOfStaysOnTheSurface) {
  Field& f = fw::Implicit<Field>();
  std::weak_ptr<fw::Sprite> watch;
  {
    auto d = fw::New<Drifter>();
    d->SetImage(Solid(4, 4, kRed));
    d->SetX(10);
    d->SetY(10);
    f.ss.Attach(d);
    watch = d.shared();
    f.ss.NewSprite(Solid(4, 4), 20, 10);  // result not kept
  }
  Add(f, Solid(2, 20, kBlue), 17, 0);
  f.onFrame = [&] {
    for (auto& s : f.ss.Sprites())
      if (auto* d = dynamic_cast<Drifter*>(s.get())) {
        d->SetX(d->X() + 1);
        ++d->moves;
      }
  };
  RunFrames(f, 5);
  ASSERT_FALSE(watch.expired());
  EXPECT_EQ(static_cast<Drifter&>(*watch.lock()).moves, 5);
  EXPECT_EQ(f.pairs[3].size(), 1u) << "the drifter reaches the blue bar at x 15 and meets it";
  EXPECT_EQ(FieldPixel(f, 15, 12), kRed);
  EXPECT_EQ(FieldPixel(f, 21, 12), kBlack);

  watch.lock()->Close();
  EXPECT_TRUE(watch.expired()) << "closed and let go: freed";
}

TEST(SpriteSurfaceSprites, TheSpritesOfAPairLiveThroughItsHandler) {
  Field& f = fw::Implicit<Field>();
  auto keep = Add(f, Solid(10, 10), 0, 0);
  auto held = Add(f, Solid(10, 10), 5, 0);
  auto third = Add(f, Solid(10, 10), 8, 0);
  auto early = Add(f, Solid(10, 10), 50, 50);
  const fw::Sprite* heldAt = held.get();
  std::weak_ptr<fw::Sprite> watchHeld = held.shared(), watchEarly = early.shared();
  std::vector<std::string> seen;
  f.onFrame = [&] {
    early->Close();
    early = nullptr;  // closed and let go in NextFrame
  };
  f.onCollision = [&](fw::Sprite&, fw::Sprite& second) {
    if (&second == heldAt && held) {
      second.Close();
      held = nullptr;  // the game drops its last reference
      seen.push_back("held " + std::string(watchHeld.expired() ? "gone" : std::to_string(second.X())));
      seen.push_back("early " + std::string(watchEarly.expired() ? "gone" : "alive"));
    }
  };
  RunFrames(f, 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"held 5", "early alive"}));
  EXPECT_EQ(f.pairs[0], (std::vector<SpritePair>{{keep.get(), heldAt}, {keep.get(), third.get()}}));
  EXPECT_TRUE(watchHeld.expired()) << "let go once the frame is over";
  EXPECT_TRUE(watchEarly.expired());
}

TEST(SpriteSurfaceSprites, SpritesOutliveTheirSurface) {
  auto sprite = fw::New<fw::Sprite>();
  {
    Field& f = fw::Implicit<Field>();
    f.ss.Attach(sprite);
    EXPECT_TRUE(sprite->IsAttached());
    f.Close();
    Advance(1);  // the closed window is destroyed
  }
  EXPECT_FALSE(sprite->IsAttached());
  sprite->Close();
  EXPECT_TRUE(sprite->IsClosed());
}

// Painting

TEST(SpriteSurfacePaint, BackColourThenSpritesInAttachOrderWithWhiteKeyedOutClippedToTheSurface) {
  Field& f = fw::Implicit<Field>();
  f.ss.SetBackColor(kBlue);
  Add(f, Solid(30, 30, kRed), 20, 20);
  Add(f, Ring(20, 5, 10), 25, 25);  // over the red one: red shows through the hole
  Add(f, Solid(10, 10, kRed), 95, 75);  // mostly outside
  Add(f, nullptr, 0, 0);
  RunFrames(f, 1);
  auto shot = fw::test::Render(f);
  auto at = [&](int x, int y) { return shot->Pixel(10 + x, 4 + y); };
  EXPECT_EQ(at(0, 0), kBlue);
  EXPECT_EQ(at(21, 21), kRed);
  EXPECT_EQ(at(26, 26), kBlack) << "the later sprite is on top";
  EXPECT_EQ(at(30, 30), kRed) << "through the white hole";
  EXPECT_EQ(at(99, 79), kRed);
  EXPECT_EQ(at(100, 79), kWindowGreen) << "nothing is drawn past the surface";
  EXPECT_EQ(at(99, 80), kWindowGreen);
  EXPECT_EQ(at(-1, 30), kWindowGreen);
}

TEST(SpriteSurfacePaint, TheFieldIsPaintedOncePerFrameAndOnRefresh) {
  Field& f = fw::Implicit<Field>();
  auto s = Add(f, Solid(10, 10, kRed), 0, 0);
  EXPECT_EQ(FieldPixel(f, 5, 5), kWhite) << "a new surface shows its back colour";
  RunFrames(f, 1);
  EXPECT_EQ(FieldPixel(f, 5, 5), kRed);
  s->SetX(50);
  EXPECT_EQ(FieldPixel(f, 5, 5), kRed) << "a stopped field keeps its last frame";
  EXPECT_EQ(FieldPixel(f, 55, 5), kWhite);
  f.ss.Refresh();
  EXPECT_EQ(FieldPixel(f, 5, 5), kWhite);
  EXPECT_EQ(FieldPixel(f, 55, 5), kRed);
  s->Close();
  f.ss.Refresh();
  EXPECT_EQ(FieldPixel(f, 55, 5), kWhite) << "a closed sprite is not drawn";
}

TEST(SpriteSurfacePaint, ARedrawnPictureIsDrawnAnew) {
  Field& f = fw::Implicit<Field>();
  auto pic = Solid(10, 10, kRed);
  Add(f, pic, 0, 0);
  RunFrames(f, 1);
  EXPECT_EQ(FieldPixel(f, 5, 5), kRed);
  pic->Graphics().SetForeColor(kBlue);
  pic->Graphics().FillRect(0, 0, 10, 10);
  RunFrames(f, 1);
  EXPECT_EQ(FieldPixel(f, 5, 5), kBlue);
}

}  // namespace
