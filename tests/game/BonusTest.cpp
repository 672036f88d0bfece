// Both bonus rounds from start to end.
#include "tests/game/GameFixture.h"

#include "framework/Clock.h"

namespace {

class BonusTest : public GameFixture {
 protected:
  // Runs Bonus #1, shooting down the first `hits` bubbles as they come on the field.
  GameScrn& PlayBonusOne(int hits, int ballCt = 2) {
    GameScrn& w = Play({.seed = 51, .round = 6, .ballCt = ballCt});
    int hit = 0;
    for (int i = 0; i < 3000 && !StatusWindow(); ++i) {
      for (int b = 0; b <= BonusRd::bonusBubCt && hit < hits; ++b) {
        fw::Ref<bonusBub> bub = BonusRd::tmpBubble[static_cast<std::size_t>(b)];
        if (!bub->IsClosed() && bub->X() > 0) {
          w.mySS_Collision(*w.theBlt, *bub);
          ++hit;
          if (hit == 10) waitPointer = fw::CurrentApp()->GetMouseCursor() == fw::Cursors::Wait();
        }
      }
      Steps(1);
    }
    return w;
  }
  // Moves the round clock of a running Bonus #2 so that `seconds` have passed.
  void SecondsPassed(GameScrn& w, double seconds) { w.startTicks = static_cast<double>(fw::Ticks()) - seconds * 60; }

  bool waitPointer = false;
};

TEST_F(BonusTest, BonusOneStartsWithBubblesBulletAndPaddleOnly) {
  GameScrn& w = Play({.seed = 52, .round = 6});
  EXPECT_TRUE(w.isBonusRnd);
  EXPECT_FALSE(w.redBall);
  EXPECT_FALSE(w.theDrop);
  EXPECT_EQ(BonusRd::myTotBubs, 10);
  int purple = 0;
  for (auto& s : w.mySS.Sprites()) purple += s->Group() == -3;
  EXPECT_EQ(purple, 10);
  std::set<int> lanes;
  for (int i = 0; i < 10; ++i) lanes.insert(BonusRd::tmpBubble[static_cast<std::size_t>(i)]->Y());
  EXPECT_TRUE(std::includes(std::set<int>{50, 100, 150}.begin(), std::set<int>{50, 100, 150}.end(), lanes.begin(),
                            lanes.end()));
  // Bubble k starts moving in frame 100 k.
  Steps(98);
  EXPECT_EQ(BonusRd::bonusBubCt, 0);
  EXPECT_EQ(BonusRd::tmpBubble[1]->X(), -32);
  Steps(1);
  EXPECT_EQ(BonusRd::bonusBubCt, 1);
  EXPECT_NE(BonusRd::tmpBubble[1]->X(), -32);
  EXPECT_EQ(w.lastTime, 0);
}

TEST_F(BonusTest, TenHitsScoreAThousandAndAnExtraBall) {
  GameScrn& w = PlayBonusOne(10);
  EXPECT_TRUE(waitPointer);
  ASSERT_TRUE(w.lastResult);
  EXPECT_EQ(*w.lastResult, (GameScrn::RoundResult{1000, 61, -1, true, false}));
  EXPECT_EQ(Count("pop"), 10);
  EXPECT_EQ(Count("newLife"), 1);
  EXPECT_EQ(w.ballCt, 3);
  EXPECT_EQ(fw::CurrentApp()->GetMouseCursor(), fw::Cursors::StandardPointer());
  NextRound();
  EXPECT_EQ(w.round, 7);
  EXPECT_EQ(BonusRd::missedTot, 0);
  EXPECT_EQ(BonusRd::bustedTot, 0);
  EXPECT_FALSE(w.gameRunning);
  EXPECT_TRUE(w.runBtn.Visible());
}

TEST_F(BonusTest, NineHitsScoreNineHundredWithoutABall) {
  GameScrn& w = PlayBonusOne(9);
  ASSERT_TRUE(w.lastResult);
  EXPECT_EQ(w.lastResult->points, 900);
  EXPECT_EQ(Count("newLife"), 0);
  EXPECT_EQ(w.ballCt, 2);
  EXPECT_FALSE(waitPointer);
}

TEST_F(BonusTest, SlowestBubbleIsCountedOnItsFiveHundredThirtyThirdStep) {
  fw::random_hooks::SetSeed(5);
  globals::gR = fw::New<fw::Random>();
  globals::gDiffFactor = 0;
  BonusRd::Reset();
  for (int tries = 0; tries < 50; ++tries) {
    bonusBub b;
    EXPECT_GE(b.dx(), 1);
    EXPECT_LE(b.dx(), 2);
    if (b.dx() != 1) continue;
    int steps = 0;
    while (!b.counted()) {
      b.bonusMove();
      ++steps;
    }
    EXPECT_EQ(steps, 533);
    b.bonusMove();
    EXPECT_EQ(BonusRd::missedTot, 1);
    return;
  }
  ADD_FAILURE() << "no bubble of speed 1";
}

TEST_F(BonusTest, RainScoresEveryTenSecondsAndEndsTheRoundOnThePaddle) {
  GameScrn& w = Play({.seed = 53, .round = 12});
  EXPECT_FALSE(w.theBlt);
  SecondsPassed(w, 10);
  Steps(1);
  EXPECT_EQ(w.lastTime, 10);
  EXPECT_EQ(w.curScore, 100);
  SecondsPassed(w, 57.5);
  Steps(1);
  EXPECT_EQ(w.lastTime, 57);
  EXPECT_EQ(w.curScore, 100);  // the score steps only at whole tens of seconds
  auto rain = fw::New<myRain>();
  w.mySS.Attach(rain);
  w.theRain.push_back(rain);
  ++w.rainCt;
  w.ctDown = 20;  // the countdown does not shield the paddle in a bonus round
  w.mySS_Collision(*w.myPAD, *rain);
  EXPECT_EQ(Count("UhOhh"), 1);
  ASSERT_TRUE(w.lastResult);
  EXPECT_EQ(*w.lastResult, (GameScrn::RoundResult{500, 61, -1, true, false}));
  EXPECT_EQ(Count("newLife"), 0);
  EXPECT_TRUE(rain->IsClosed());
  EXPECT_EQ(w.rainCt, 0);
  EXPECT_TRUE(w.theRain.empty());
  NextRound();
  EXPECT_EQ(w.round, 13);
  EXPECT_FALSE(w.mySS.IsRunning());
}

TEST_F(BonusTest, RainAtNineSecondsScoresNothing) {
  GameScrn& w = Play({.seed = 54, .round = 12});
  SecondsPassed(w, 9.2);
  Steps(1);
  w.mySS_Collision(*fw::New<myRain>(), *w.myPAD);
  EXPECT_EQ(w.lastResult->points, 0);
}

TEST_F(BonusTest, SurvivingAHundredSecondsScoresAThousandAndABall) {
  GameScrn& w = Play({.seed = 55, .round = 12});
  SecondsPassed(w, 99.5);
  Steps(1);
  EXPECT_EQ(w.lastTime, 99);
  EXPECT_EQ(w.round, 12);
  Steps(30);
  ASSERT_TRUE(w.lastResult);
  EXPECT_EQ(w.lastResult->points, 1000);
  EXPECT_EQ(Count("newLife"), 1);
  EXPECT_EQ(w.ballCt, 3);
  NextRound();
  EXPECT_EQ(w.round, 13);
}

TEST_F(BonusTest, AFrameMoreThanASecondLateStillEndsBonusTwo) {
  GameScrn& w = Play({.seed = 56, .round = 12});
  SecondsPassed(w, 99.5);
  Steps(1);
  EXPECT_EQ(w.lastTime, 99);
  SecondsPassed(w, 101.5);
  Steps(1);
  ASSERT_TRUE(w.lastResult);
  EXPECT_EQ(w.lastResult->points, 1000);
  EXPECT_EQ(w.ballCt, 3);
}

}  // namespace
