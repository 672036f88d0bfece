// Movement, bounds and random set-up of the play field's sprites.
#include <gtest/gtest.h>

#include <set>

#include "game/Bubble.h"
#include "game/ball.h"
#include "game/myBullet.h"
#include "game/myDrop.h"
#include "game/myRain.h"
#include "shell/globals.h"

namespace {

class SpritesTest : public testing::Test {
 protected:
  void SetUp() override { Seed(7); globals::gSpeed = 1; globals::gPadWidth = 64; }
  void TearDown() override {
    globals::gR = nullptr;
    fw::random_hooks::SetSeed(std::nullopt);
  }
  // The game's source and a twin that replays the same draws.
  void Seed(std::uint32_t seed) {
    fw::random_hooks::SetSeed(seed);
    globals::gR = fw::New<fw::Random>();
    fw::random_hooks::SetSeed(seed);
    twin_ = std::make_unique<fw::Random>();
  }
  std::unique_ptr<fw::Random> twin_;
};

TEST_F(SpritesTest, BallTurnsAtTheSideWallsBeforeMoving) {
  ball b;
  b.SetMotion(496, 100, 3, 3);
  EXPECT_FALSE(b.move());
  EXPECT_EQ(b.xPos(), 493);
  EXPECT_EQ(b.dx(), -3);
  EXPECT_EQ(b.X(), 493);
  b.SetMotion(1, 100, -2, 3);
  b.move();
  EXPECT_EQ(b.xPos(), 3);
  EXPECT_EQ(b.dx(), 2);
  b.SetMotion(200, 2, 1, -3);
  b.move();
  EXPECT_EQ(b.yPos(), 5);
  EXPECT_EQ(b.dy(), 3);
}

TEST_F(SpritesTest, BallIsLostBelowTheFieldAndStaysPut) {
  ball b;
  b.SetMotion(200, 502, 2, 3);
  EXPECT_TRUE(b.move());
  EXPECT_EQ(b.yPos(), 502);
  EXPECT_EQ(b.xPos(), 200);
  EXPECT_TRUE(b.move());
  b.SetMotion(200, 501, 2, 3);
  EXPECT_FALSE(b.move());
  EXPECT_EQ(b.yPos(), 504);
  EXPECT_TRUE(b.move());
}

TEST_F(SpritesTest, PaddleBounceDependsOnWhereTheBallStrikes) {
  ball b;
  struct Case { int padWidth, offset; double dx; };
  for (Case c : {Case{64, 0, -6}, Case{64, 64, 6}, Case{64, 30, 0}, Case{64, 34, 0}, Case{64, 29, -0.2},
                 Case{64, 35, 0.2}, Case{90, 45, 0}, Case{90, 0, -8.6}}) {
    globals::gPadWidth = c.padWidth;
    b.SetMotion(100, 480, 1, 3);
    b.hndlCol(100 + c.offset, 100);
    EXPECT_NEAR(b.dx(), c.dx, 1e-9) << c.padWidth << " " << c.offset;
    EXPECT_EQ(b.dy(), -3);
  }
  // A second contact on the way up multiplies by the upward speed: the side flips.
  globals::gPadWidth = 64;
  b.SetMotion(100, 480, 1, -3);
  b.hndlCol(100, 100);
  EXPECT_NEAR(b.dx(), 6, 1e-9);
  EXPECT_EQ(b.dy(), -3);
}

TEST_F(SpritesTest, BallStartsAndReloadsWithinItsRangesHeadingToTheMiddle) {
  for (int speed = 0; speed <= 2; ++speed) {
    globals::gSpeed = speed;
    std::set<double> startSpeeds, reloadSpeeds;
    for (int i = 0; i < 300; ++i) {
      ball b;
      EXPECT_EQ(b.Group(), -1);
      EXPECT_EQ(b.yPos(), 1.0);
      EXPECT_EQ(b.dy(), 3.0);
      EXPECT_GE(b.xPos(), 100);
      EXPECT_LE(b.xPos(), 400);
      EXPECT_EQ(b.dx() < 0, b.xPos() > 250);
      startSpeeds.insert(std::abs(b.dx()));
      b.move();
      b.reload();
      EXPECT_EQ(b.yPos(), 0.0);
      EXPECT_EQ(b.Y(), 0);
      EXPECT_EQ(b.dx() < 0, b.xPos() > 250);
      reloadSpeeds.insert(std::abs(b.dx()));
    }
    EXPECT_EQ(*startSpeeds.begin(), 2);
    EXPECT_EQ(*startSpeeds.rbegin(), speed + 4);
    EXPECT_EQ(*reloadSpeeds.begin(), 1);
    EXPECT_EQ(*reloadSpeeds.rbegin(), speed + 3);
  }
}

TEST_F(SpritesTest, BubbleBouncesOffAllFourSides) {
  Bubble b;
  b.SetMotion(500, 100, 2, 1);
  b.move();
  EXPECT_EQ(b.xPos(), 498);
  EXPECT_EQ(b.dx(), -2);
  b.SetMotion(467, 467, 2, 3);
  b.move();
  EXPECT_EQ(b.xPos(), 465);
  EXPECT_EQ(b.yPos(), 464);
  b.SetMotion(466, 465, 2, 3);
  b.move();
  EXPECT_EQ(b.xPos(), 468);
  EXPECT_EQ(b.yPos(), 468);
  b.SetMotion(1, 0, -3, -1);
  b.move();
  EXPECT_EQ(b.xPos(), 4);
  EXPECT_EQ(b.yPos(), 1);
}

TEST_F(SpritesTest, BubbleDrawsPositionSpeedsAndTwoDirections) {
  for (int speed = 0; speed <= 2; ++speed) {
    globals::gSpeed = speed;
    Seed(11 + speed);
    for (int i = 0; i < 100; ++i) {
      Bubble b;
      int x = twin_->InRange(0, 500), y = twin_->InRange(0, 150);
      int dx = twin_->InRange(1, speed + 3), dy = twin_->InRange(1, speed + 2);
      if (twin_->InRange(0, 1) > 0) dx = -dx;
      if (twin_->InRange(0, 1) > 0) dy = -dy;
      EXPECT_EQ(b.xPos(), x);
      EXPECT_EQ(b.yPos(), y);
      EXPECT_EQ(b.dx(), dx);
      EXPECT_EQ(b.dy(), dy);
      EXPECT_EQ(b.Group(), -3);
    }
  }
}

TEST_F(SpritesTest, PlainBulletStopsAboveTheField) {
  myBullet blt;
  EXPECT_EQ(blt.Y(), 512);
  blt.init(100, false);
  EXPECT_EQ(blt.X(), 132);
  EXPECT_EQ(blt.Y(), 492);
  int frames = 0;
  while (blt.isFiring && frames < 200) {
    blt.move();
    ++frames;
  }
  EXPECT_EQ(frames, 64);
  EXPECT_EQ(blt.Y(), -20);
  EXPECT_FALSE(blt.allowCollision);
}

TEST_F(SpritesTest, RicochetBulletTurnsOnceAndEndsBelowTheField) {
  myBullet blt;
  blt.init(0, true);
  for (int i = 0; i < 63; ++i) blt.move();
  EXPECT_EQ(blt.Y(), -12);
  EXPECT_FALSE(blt.allowCollision);
  blt.move();
  EXPECT_EQ(blt.Y(), -20);
  EXPECT_TRUE(blt.allowCollision);
  blt.move();
  EXPECT_EQ(blt.Y(), -12);
  blt.move();
  EXPECT_EQ(blt.Y(), -4);
  while (blt.isFiring) blt.move();
  EXPECT_EQ(blt.Y(), 516);
  EXPECT_FALSE(blt.allowCollision);
  EXPECT_EQ(blt.speed(), 8);
  // The next shot rises again.
  blt.init(0, false);
  blt.move();
  EXPECT_EQ(blt.Y(), 484);
}

// The kind a launch should give, from the same draw the drop takes.
int ExpectedKind(int r, int previous, bool doDbl, int bltCt) {
  if (r >= 93) return doDbl ? myDrop::kBad : myDrop::kDouble;
  if (r >= 61) return myDrop::kBad;
  if (r >= 39) return bltCt < 16 ? myDrop::kBullets : previous;
  if (r >= 36) return myDrop::kBall;
  return globals::gPadWidth < 90 ? myDrop::kPaddle : previous;
}

TEST_F(SpritesTest, DropKindsFollowTheirDrawAndLimits) {
  struct Setting { bool doDbl; int bltCt; int padWidth; };
  for (Setting s : {Setting{false, 15, 80}, Setting{true, 16, 90}, Setting{false, 20, 64}, Setting{true, 0, 90}}) {
    globals::gPadWidth = s.padWidth;
    myDrop d;
    EXPECT_EQ(d.Y(), -16);
    EXPECT_EQ(d.mytype, 0);
    EXPECT_FALSE(d.Image());
    std::set<int> kinds;
    for (int i = 0; i < 400; ++i) {
      int previous = d.mytype;
      d.init(s.doDbl, s.bltCt);
      int x = twin_->InRange(1, 480);
      int dy = twin_->InRange(1, 6) + 1;
      int r = twin_->InRange(1, 100);
      EXPECT_EQ(d.X(), x);
      EXPECT_EQ(d.Y(), 0);
      EXPECT_EQ(d.speed(), dy);
      EXPECT_EQ(d.mytype, ExpectedKind(r, previous, s.doDbl, s.bltCt)) << r;
      kinds.insert(d.mytype);
      EXPECT_TRUE(d.isDropping);
    }
    EXPECT_EQ(kinds.count(myDrop::kBullets) > 0, s.bltCt < 16);
    EXPECT_EQ(kinds.count(myDrop::kPaddle) > 0, s.padWidth < 90);
    EXPECT_EQ(kinds.count(myDrop::kDouble) > 0, !s.doDbl);
  }
}

TEST_F(SpritesTest, DropsAndRainFallUntilBelowTheField) {
  myDrop d;
  d.init(false, 10);
  int frames = 0;
  while (d.isDropping) {
    int y = d.Y();
    d.move();
    EXPECT_EQ(d.Y(), y + d.speed());
    ++frames;
  }
  EXPECT_GT(d.Y(), 500);
  EXPECT_LE(d.Y() - d.speed(), 500);

  for (int speed = 0; speed <= 2; ++speed) {
    globals::gSpeed = speed;
    std::set<int> speeds;
    for (int i = 0; i < 200; ++i) {
      myRain r;
      EXPECT_EQ(r.Y(), -12);
      EXPECT_EQ(r.Group(), -6);
      EXPECT_EQ(r.mytype, 5);
      speeds.insert(r.myDy);
    }
    EXPECT_EQ(*speeds.begin(), 1 + speed);
    EXPECT_EQ(*speeds.rbegin(), 5 + 2 * speed);
  }
  myRain r;
  while (!r.dead) r.rainMove();
  EXPECT_GT(r.Y(), 500);
  EXPECT_LE(r.Y() - r.myDy, 500);
}

}  // namespace
