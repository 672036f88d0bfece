// Shots: held keys, duds, the countdown's silence, the late-game bar and the
// unlimited shots of the first bonus round.
#include "tests/game/GameFixture.h"

namespace {

class ShootingTest : public GameFixture {
 protected:
  GameScrn& Round(replay::Setup s) {
    GameScrn& w = Play(s);
    ParkBubbles(w);
    w.redBall->SetMotion(250, 100, 0, -3);
    sounds.clear();
    return w;
  }
};

TEST_F(ShootingTest, HeldSpaceFiresAgainAsSoonAsTheBulletIsGone) {
  GameScrn& w = Round({.seed = 31});
  Mouse(200);
  Key(49, true);
  EXPECT_EQ(Count("shot"), 1);
  EXPECT_EQ(w.bltCt, 9);
  EXPECT_TRUE(w.theBlt->isFiring);
  EXPECT_FALSE(w.theBlt->isRichochet);
  EXPECT_EQ(w.theBlt->X(), w.myPAD->X() + 32);
  Steps(64);  // the flight ends in the 64th frame after the shot
  EXPECT_FALSE(w.theBlt->isFiring);
  EXPECT_EQ(Count("shot"), 1);
  Steps(1);
  EXPECT_EQ(Count("shot"), 2);
  EXPECT_EQ(w.bltCt, 8);
}

TEST_F(ShootingTest, SpaceWinsOverCAndCFiresARicochet) {
  GameScrn& w = Round({.seed = 32});
  replay::TickInput both;
  both.keys = {{49, true}, {8, true}};
  stepper->Step(both);
  EXPECT_FALSE(w.theBlt->isRichochet);
  Key(49, false);
  Steps(64);
  EXPECT_TRUE(w.theBlt->isRichochet);
  EXPECT_EQ(Count("shot"), 2);
}

TEST_F(ShootingTest, NoBulletsPlaysADudEveryFrame) {
  GameScrn& w = Round({.seed = 33, .bltCt = 0});
  Key(49, true);
  Steps(9);
  EXPECT_EQ(Count("dud"), 10);
  EXPECT_EQ(Count("shot"), 0);
  EXPECT_EQ(w.bltCt, 0);
  EXPECT_FALSE(w.theBlt->isFiring);
}

TEST_F(ShootingTest, NothingIsFiredOrHeardDuringACountdown) {
  GameScrn& w = Round({.seed = 34, .bltCt = 0});
  w.ctDown = 50;
  Key(49, true);
  Steps(20);
  EXPECT_TRUE(sounds.empty());
  w.bltCt = 5;
  Steps(25);
  EXPECT_EQ(w.bltCt, 5);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(ShootingTest, FromRoundThirteenEachShotWaitsForABurstByTheBall) {
  GameScrn& w = Round({.seed = 35, .round = 12 + 1});
  EXPECT_FALSE(w.prohibitShot);
  Key(49, true);
  EXPECT_EQ(Count("shot"), 1);
  EXPECT_TRUE(w.prohibitShot);
  Steps(65);
  EXPECT_EQ(Count("shot"), 1);
  EXPECT_EQ(Count("dud"), 1);
  EXPECT_EQ(w.bltCt, 9);
  // A burst by the ball lifts the bar.
  w.mySS_Collision(*w.blBubble[0], *w.redBall);
  Steps(1);
  EXPECT_EQ(Count("shot"), 2);

  fw::test::SetKey(49, false);
  GameScrn& v = Round({.seed = 36, .round = 12 - 1});
  Key(49, true);
  Steps(65);
  EXPECT_FALSE(v.prohibitShot);
  EXPECT_EQ(Count("shot"), 2);
}

TEST_F(ShootingTest, BonusOneShotsAreUnlimitedAndPDoesNotPause) {
  GameScrn& w = Play({.seed = 37, .round = 6, .bltCt = 0});
  sounds.clear();
  replay::TickInput in;
  in.keys = {{49, true}, {35, true}};
  stepper->Step(in);
  EXPECT_EQ(Count("shot"), 1);
  Steps(65 * 3);
  EXPECT_EQ(Count("shot"), 4);
  EXPECT_FALSE(w.prohibitShot);
  EXPECT_EQ(Count("dud"), 0);
  EXPECT_EQ(w.bltCt, 0);
  EXPECT_FALSE(w.isPause);
  EXPECT_TRUE(w.mySS.IsRunning());
}

}  // namespace
