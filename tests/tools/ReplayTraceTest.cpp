// The replay trace: line layout, exact doubles, draws and sprites as the hooks
// report them, and snapshots that decode back to the rendered pixels.
#include "tools/replay/Trace.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "framework/Picture.h"
#include "framework/SpriteSurface.h"
#include "framework/Values.h"
#include "tests/support/TempDir.h"
#include "tools/replay/Snapshot.h"

namespace {

using replay::Json;

TEST(ReplayTrace, LineHoldsTheTicksEventsInOrderAndTheState) {
  replay::TickRecord rec;
  rec.f = 42;
  rec.ran = true;
  rec.rng = {{1, 1000, 523}, {0, 255, 7}};
  rec.pairs = {{12, -3, 3, -1}};
  rec.sounds = {"pop", "Ding"};
  Json state;
  state["round"] = 3;
  state["ball"] = nullptr;
  EXPECT_EQ(replay::TraceLine(rec, state),
            R"({"f":42,"ran":true,"rng":[[1,1000,523],[0,255,7]],"pairs":[[12,-3,3,-1]],)"
            R"("sounds":["pop","Ding"],"state":{"round":3,"ball":null}})");

  replay::TickRecord quiet;
  EXPECT_FALSE(quiet.Eventful());
  EXPECT_EQ(replay::TraceLine(quiet, Json::object()),
            R"({"f":0,"ran":false,"rng":[],"pairs":[],"sounds":[],"state":{}})");
}

TEST(ReplayTrace, DoublesReadBackExactly) {
  const double values[] = {0.1, 1.0 / 3.0, -2.6666666666666665, 468.0, 1e-7, 123456789.123456789, -0.0};
  for (double v : values) {
    Json state;
    state["xPos"] = v;
    std::string line = replay::TraceLine({}, state);
    double back = Json::parse(line)["state"]["xPos"].get<double>();
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << line;
  }
  Json state;
  state["x"] = 0.1;
  EXPECT_NE(replay::TraceLine({}, state).find("\"x\":0.1}"), std::string::npos);
}

TEST(ReplayTrace, RecorderSeesEveryDrawOfTheTickAndStartsEachTickEmpty) {
  replay::Recorder rec;
  fw::random_hooks::SetObserver([&](int lo, int hi, int v) { rec.OnDraw(lo, hi, v); });
  fw::Random r;
  rec.Begin(5);
  int a = r.InRange(1, 1000);
  int b = r.InRange(7, 3);  // reversed bounds are reported as asked
  fw::random_hooks::SetObserver(nullptr);
  r.InRange(0, 255);  // not seen any more

  ASSERT_EQ(rec.Current().rng.size(), 2u);
  EXPECT_EQ(rec.Current().rng[0], (std::array<int, 3>{1, 1000, a}));
  EXPECT_EQ(rec.Current().rng[1], (std::array<int, 3>{7, 3, b}));
  EXPECT_GE(b, 3);
  EXPECT_LE(b, 7);
  EXPECT_EQ(rec.Current().f, 5);
  EXPECT_TRUE(rec.Current().Eventful());

  rec.Begin(6);
  EXPECT_TRUE(rec.Current().rng.empty());
  EXPECT_EQ(rec.Current().f, 6);
  EXPECT_FALSE(rec.Current().Eventful());
}

TEST(ReplayTrace, SpritesAreNumberedInCreationOrderFromTheRecordersStart) {
  fw::Sprite before;
  replay::Recorder rec;
  fw::Sprite first, second, third;
  EXPECT_EQ(rec.Ids()(first), 1);
  EXPECT_EQ(rec.Ids()(second), 2);
  EXPECT_EQ(rec.Ids()(third), 3);
  EXPECT_LE(rec.Ids()(before), 0);

  third.SetGroup(-1);
  first.SetGroup(-3);
  rec.Begin(0);
  rec.OnPair(third, first);
  ASSERT_EQ(rec.Current().pairs.size(), 1u);
  EXPECT_EQ(rec.Current().pairs[0], (std::array<std::int64_t, 4>{3, -1, 1, -3}));
}

TEST(ReplayTrace, SnapshotDecodesToThePicturesPixels) {
  auto pic = fw::New<fw::Picture>(37, 21);
  fw::Graphics& g = pic->Graphics();
  g.SetForeColor(fw::RGB(210, 225, 255));
  g.FillRect(0, 0, 37, 21);
  g.SetForeColor(fw::RGB(255, 0, 0));
  g.FillRect(3, 4, 5, 6);

  TempDir dir("replay-snapshot");
  ASSERT_TRUE(replay::WriteSnapshot(*pic, dir / "shot.png"));
  std::ifstream in(dir / "shot.png", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");

  auto back = fw::Picture::FromFileBytes("png", bytes);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 37);
  ASSERT_EQ(back->Height(), 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(back->Pixel(x, y), pic->Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(back->Pixel(5, 6), fw::RGB(255, 0, 0));
  EXPECT_EQ(back->Pixel(20, 10), fw::RGB(210, 225, 255));

  EXPECT_FALSE(replay::WriteSnapshot(*pic, dir / "missing-folder" / "shot.png"));
}

}  // namespace
