// What each pair of touching sprites does, in either order; scoring and drops.
#include "tests/game/GameFixture.h"

namespace {

class CollisionTest : public GameFixture {
 protected:
  GameScrn& Round(replay::Setup s = {.seed = 21, .round = 4}) {
    GameScrn& w = Play(s);
    sounds.clear();
    return w;
  }
  fw::Sprite& Bub(GameScrn& w, int i) { return *w.blBubble[static_cast<std::size_t>(i)]; }
  // Both orders of a pair give the same effect: run the test body for each.
  template <class F>
  void EitherOrder(F body) {
    for (bool swapped : {false, true}) {
      SCOPED_TRACE(swapped ? "second first" : "first first");
      body(swapped);
      TearDown();
      SetUp();
    }
  }
  static void Meet(GameScrn& w, fw::Sprite& a, fw::Sprite& b, bool swapped) {
    if (swapped) {
      w.mySS_Collision(b, a);
    } else {
      w.mySS_Collision(a, b);
    }
  }
};

TEST_F(CollisionTest, BallAndBulletBurstBubblesWhicheverComesFirst) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round();
    w.prohibitShot = true;
    Meet(w, Bub(w, 0), *w.theBlt, swapped);
    EXPECT_TRUE(Bub(w, 0).IsClosed());
    EXPECT_FALSE(w.theBlt->IsClosed());
    EXPECT_EQ(w.bubbleCt, w.totBubbles - 1);
    EXPECT_EQ(w.curScore, 100);
    EXPECT_TRUE(w.prohibitShot);  // a bullet's burst does not lift the bar
    Meet(w, Bub(w, 1), *w.redBall, swapped);
    EXPECT_EQ(w.curScore, 300);
    EXPECT_FALSE(w.prohibitShot);
    EXPECT_EQ(Count("pop"), 2);
  });
}

TEST_F(CollisionTest, ChainScoresGrowUntilThePaddleIsTouched) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round({.seed = 22, .round = 5});
    for (int i = 0; i < 3; ++i) Meet(w, Bub(w, i), *w.redBall, swapped);
    EXPECT_EQ(w.curScore, 600);
    Meet(w, *w.redBall, *w.myPAD, swapped);
    EXPECT_EQ(w.scoreMult, 0);
    w.doDbl = true;
    for (int i = 3; i < 6; ++i) Meet(w, Bub(w, i), *w.theBlt, swapped);
    EXPECT_EQ(w.curScore, 600 + 1200);
  });
}

TEST_F(CollisionTest, PaddleBounceTakesTheBallXFirst) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round();
    w.myPAD->SetX(200);
    w.redBall->SetMotion(200, 482, 2, 3);  // at the paddle's left edge
    Meet(w, *w.redBall, *w.myPAD, swapped);
    EXPECT_DOUBLE_EQ(w.redBall->dx(), -6);
    EXPECT_DOUBLE_EQ(w.redBall->dy(), -3);
  });
}

TEST_F(CollisionTest, BubbleOnThePaddleCostsABallOnlyWhilePlayIsLive) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round();
    w.ctDown = 10;
    Meet(w, Bub(w, 0), *w.myPAD, swapped);
    EXPECT_FALSE(Bub(w, 0).IsClosed());
    EXPECT_EQ(w.ballCt, 2);
    w.ctDown = 0;
    Meet(w, Bub(w, 0), *w.myPAD, swapped);
    EXPECT_TRUE(Bub(w, 0).IsClosed());
    EXPECT_EQ(w.curScore, 0);
    EXPECT_EQ(w.ballCt, 1);
    EXPECT_EQ(w.ctDown, 49);
    EXPECT_TRUE(w.gameRunning);
    EXPECT_EQ(Count("pop"), 1);
    EXPECT_EQ(Count("Wrong"), 1);
  });
}

TEST_F(CollisionTest, LastBubbleOnThePaddleEndsTheRoundWonOrTheGameLost) {
  GameScrn& w = Round();
  w.bubbleCt = 1;
  w.mySS_Collision(Bub(w, 0), *w.myPAD);
  EXPECT_TRUE(w.isWinner);
  EXPECT_FALSE(w.gameRunning);
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kSingle);
  EXPECT_EQ(Count("TaDa"), 0);

  GameScrn& v = Round({.seed = 23, .round = 4, .ballCt = 0});
  v.bubbleCt = 1;
  v.mySS_Collision(*v.myPAD, Bub(v, 0));
  EXPECT_TRUE(v.gameOver);
  EXPECT_FALSE(v.isWinner);
  EXPECT_EQ(Count("UhOhh"), 1);
}

TEST_F(CollisionTest, RicochetBulletOnThePaddleCostsABallInANormalRoundOnly) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round();
    Meet(w, *w.theBlt, *w.myPAD, swapped);
    EXPECT_EQ(w.ballCt, 2);  // a rising bullet is harmless
    w.theBlt->allowCollision = true;
    Meet(w, *w.theBlt, *w.myPAD, swapped);
    EXPECT_EQ(w.ballCt, 1);
    EXPECT_FALSE(w.theBlt->IsClosed());
    Meet(w, *w.theBlt, *w.myPAD, swapped);  // the countdown runs now
    EXPECT_EQ(w.ballCt, 1);
  });
}

TEST_F(CollisionTest, RaindropOnThePaddleInANormalRound) {
  EitherOrder([&](bool swapped) {
    GameScrn& w = Round();
    auto rain = fw::New<myRain>();
    w.mySS.Attach(rain);
    w.ctDown = 5;
    Meet(w, *rain, *w.myPAD, swapped);
    EXPECT_EQ(w.ballCt, 2);
    w.ctDown = 0;
    Meet(w, *rain, *w.myPAD, swapped);
    EXPECT_EQ(w.ballCt, 1);
    EXPECT_FALSE(rain->IsClosed());
  });
}

TEST_F(CollisionTest, PairsWithoutARuleChangeNothing) {
  GameScrn& w = Round();
  auto rain = fw::New<myRain>();
  w.mySS.Attach(rain);
  w.mySS_Collision(Bub(w, 0), Bub(w, 1));
  w.mySS_Collision(*w.redBall, *w.theBlt);
  w.mySS_Collision(*w.theDrop, *w.redBall);
  w.mySS_Collision(*rain, Bub(w, 2));
  EXPECT_EQ(w.bubbleCt, w.totBubbles);
  EXPECT_EQ(w.ballCt, 2);
  EXPECT_EQ(w.curScore, 0);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(CollisionTest, EveryDropKindAtAndBelowItsLimit) {
  GameScrn& w = Round();
  auto catchDrop = [&](int kind) {
    fw::Ref<myDrop> old = w.theDrop;
    old->mytype = kind;
    w.mySS_Collision(*w.myPAD, *old);
    EXPECT_NE(w.theDrop, old);
    EXPECT_FALSE(w.theDrop->IsClosed());
    EXPECT_EQ(w.theDrop->mytype, 0);
    EXPECT_EQ(w.theDrop->Y(), -16);
    return old;
  };
  w.bltCt = 14;
  EXPECT_TRUE(catchDrop(myDrop::kBullets)->IsClosed());
  EXPECT_EQ(w.bltCt, 19);
  catchDrop(myDrop::kBullets);
  EXPECT_EQ(w.bltCt, 20);
  catchDrop(myDrop::kBullets);
  EXPECT_EQ(w.bltCt, 20);
  EXPECT_EQ(Count("bing"), 3);

  w.ballCt = 6;
  catchDrop(myDrop::kBall);
  EXPECT_EQ(w.ballCt, 7);
  EXPECT_TRUE(catchDrop(myDrop::kBall)->IsClosed());
  EXPECT_EQ(w.ballCt, 7);
  EXPECT_EQ(Count("newLife"), 1);

  const int widths[] = {72, 80, 90, 90};
  const fw::Ref<fw::Picture> pics[] = {picHolder::pPaddle2, picHolder::pPaddle3, picHolder::pPaddle4,
                                       picHolder::pPaddle4};
  int x = w.myPAD->X();
  for (int i = 0; i < 4; ++i) {
    catchDrop(myDrop::kPaddle);
    EXPECT_EQ(globals::gPadWidth, widths[i]);
    EXPECT_EQ(w.myPAD->Image(), pics[i]);
  }
  EXPECT_EQ(w.myPAD->X(), x);
  EXPECT_EQ(Count("larger"), 3);

  catchDrop(myDrop::kDouble);
  catchDrop(myDrop::kDouble);
  EXPECT_TRUE(w.doDbl);
  EXPECT_EQ(Count("Ding"), 2);

  EXPECT_FALSE(catchDrop(0)->IsClosed());

  catchDrop(myDrop::kBad);
  EXPECT_EQ(w.ballCt, 6);
  EXPECT_FALSE(w.doDbl);  // a lost ball ends double points
  EXPECT_EQ(w.ctDown, 49);
  // While the countdown runs a drop is not caught.
  fw::Ref<myDrop> waiting = w.theDrop;
  waiting->mytype = myDrop::kBad;
  w.mySS_Collision(*waiting, *w.myPAD);
  EXPECT_EQ(w.theDrop, waiting);
}

TEST_F(CollisionTest, BadDropWithNoSpareEndsTheGameAndStillMakesANewDrop) {
  GameScrn& w = Round({.seed = 24, .round = 3, .ballCt = 0});
  fw::Ref<myDrop> old = w.theDrop;
  old->mytype = myDrop::kBad;
  w.mySS_Collision(*old, *w.myPAD);
  EXPECT_TRUE(w.gameOver);
  EXPECT_NE(w.theDrop, old);
  auto sprites = w.mySS.Sprites();
  EXPECT_NE(std::find(sprites.begin(), sprites.end(), fw::Ref<fw::Sprite>(w.theDrop)), sprites.end());
}

TEST_F(CollisionTest, ABulletBurstsEveryBubbleItMeetsInOneFrame) {
  GameScrn& w = Round({.seed = 25, .round = 3});
  ParkBubbles(w, 2);
  w.redBall->SetMotion(250, 100, 0, -3);
  // Two bubbles across the bullet's path, both reached in the same frame.
  w.blBubble[0]->SetMotion(300, 300, 0, 0);
  w.blBubble[1]->SetMotion(300, 315, 0, 0);
  w.theBlt->init(284, false);  // leaves at x 316, the bubbles' middle
  w.theBlt->SetY(330);
  Steps(1);
  EXPECT_TRUE(w.blBubble[0]->IsClosed());
  EXPECT_TRUE(w.blBubble[1]->IsClosed());
  EXPECT_EQ(w.curScore, 300);
  EXPECT_EQ(w.bubbleCt, w.totBubbles - 2);
  EXPECT_TRUE(w.theBlt->isFiring);
}

}  // namespace
