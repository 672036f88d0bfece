// How rounds end: pauses and run-button clicks around an end, what a new round
// starts from, late clocks and values out of range.
#include "tests/game/GameFixture.h"

namespace {

class RoundEndTest : public GameFixture {
 protected:
  // A round whose last bubble the ball bursts in the next frame.
  GameScrn& AboutToWin() {
    GameScrn& w = Play({.seed = 61, .round = 2});
    ParkBubbles(w, 1);
    w.bubbleCt = 1;
    w.redBall->SetMotion(100, 200, 0, 3);
    w.blBubble[0]->SetMotion(96, 190, 0, 0);
    return w;
  }
};

TEST_F(RoundEndTest, RoundPausedInItsRunOnEndsAfterTheResume) {
  GameScrn& w = AboutToWin();
  Steps(1);
  ASSERT_EQ(w.ctDown, 1);
  Steps(40);
  Key(35, true);
  EXPECT_TRUE(w.isPause);
  Key(35, false);
  stepper->Click("runBtn");
  EXPECT_FALSE(w.gameRunning);
  Steps(100);
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kSingle);
  Steps(120);
  NextRound();
  EXPECT_EQ(w.round, 3);
}

TEST_F(RoundEndTest, PauseInTheFrameOfTheLastBallLeavesNoRunButton) {
  GameScrn& w = Play({.seed = 62, .ballCt = 0});
  ParkBubbles(w);
  DropBall(w, 250, 502);
  Key(35, true);  // paused and lost in the same frame
  EXPECT_TRUE(w.gameOver);
  EXPECT_FALSE(w.isPause);
  EXPECT_FALSE(w.runBtn.Visible());
  EXPECT_EQ(w.pauseInfo.Text(), "<p> to pause game") << "a finished round shows no pause prompt";
  Key(35, false);
  // Even a click that reaches the button does not restart the finished round.
  w.hndlRunAction();
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_FALSE(w.gameRunning);
  Steps(200);
  EXPECT_EQ(Count("UhOhh"), 1);
  EndGame();
  EXPECT_EQ(w.round, 1);
  EXPECT_FALSE(w.gameOver);
  EXPECT_TRUE(w.runBtn.Visible());
}

TEST_F(RoundEndTest, PauseInTheFrameOfALossThatEndsTheRoundLeavesNoRunButton) {
  GameScrn& w = Play({.seed = 63});
  ParkBubbles(w);
  w.bubbleCt = 0;  // the bubbles are gone: losing this ball ends the round
  DropBall(w, 250, 502);
  Key(35, true);
  EXPECT_FALSE(w.isPause);
  EXPECT_FALSE(w.runBtn.Visible());
  EXPECT_EQ(w.pauseInfo.Text(), "<p> to pause game");
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kSingle);
  w.hndlRunAction();
  EXPECT_FALSE(w.mySS.IsRunning());
}

TEST_F(RoundEndTest, NewGameAfterABallOutStartsWithoutANeededBall) {
  GameScrn& w = Play({.seed = 64, .ballCt = 0});
  ParkBubbles(w);
  DropBall(w, 250, 502);
  Steps(1);
  ASSERT_TRUE(w.gameOver);
  Steps(120);  // the round timer, then the status window's End Game: a new game is ready
  EndGame();
  ASSERT_EQ(w.round, 1);
  w.ctDown = 30;  // as an abort in a countdown would leave it
  stepper->Click("runBtn");
  EXPECT_FALSE(w.needBall);
  EXPECT_EQ(w.ctDown, 0);
  ParkBubbles(w);
  w.redBall->SetMotion(250, 100, 0, -3);
  w.blBubble[0]->SetMotion(w.myPAD->X() + 16, 468, 0, 0);
  Steps(1);
  ASSERT_EQ(w.ctDown, 49);
  double y = w.redBall->yPos();
  Steps(52);
  EXPECT_EQ(w.ctDown, 0);
  // The ball in play was never out: it is not put back at the top.
  EXPECT_NE(w.redBall->yPos(), 0);
  EXPECT_NE(w.redBall->yPos(), y);
}

TEST_F(RoundEndTest, DamagedCountsNeverReachPastThePanels) {
  GameScrn& w = Play({.seed = 65, .bltCt = 40, .ballCt = 9});
  EXPECT_TRUE(fw::test::UnhandledReports().empty());
  fw::Ref<fw::Picture> p = fw::test::Render(w);
  EXPECT_EQ(p->Pixel(515 + 6, 303), fw::RGB(255, 0, 0));
  for (int i = 0; i < 7; ++i) EXPECT_GT(p->Pixel(520 + 16 * i + 4, 103).r, 150) << i;
  ParkBubbles(w);
  DropBall(w, 250, 502);
  Steps(1);
  EXPECT_EQ(w.ballCt, 8);
  w.addNewBall();
  EXPECT_EQ(w.ballCt, 8);
  EXPECT_TRUE(fw::test::UnhandledReports().empty());
  w.bltCt = -3;
  w.BltCtCnv.Refresh(true);
  EXPECT_EQ(fw::test::Render(w)->Pixel(515 + 6, 303 + 199), fw::RGB(210, 225, 255));
}

TEST_F(RoundEndTest, ResumeAfterAPauseKeepsSpritesAndClockStart) {
  GameScrn& w = Play({.seed = 66});
  ParkBubbles(w);
  w.redBall->SetMotion(250, 100, 0, -3);
  Steps(5);
  double start = w.startTicks;
  fw::Ref<ball> b = w.redBall;
  Key(35, true);
  Key(35, false);
  stepper->Click("runBtn");
  EXPECT_EQ(w.startTicks, start);
  EXPECT_EQ(w.redBall, b);
  EXPECT_TRUE(w.gameRunning);
  // P held while resuming pauses again at once.
  replay::TickInput in;
  in.keys = {{35, true}};
  in.clicks = {"runBtn"};
  Key(35, true);
  EXPECT_TRUE(w.isPause);
  stepper->Step(in);
  EXPECT_TRUE(w.isPause);
  EXPECT_FALSE(w.mySS.IsRunning());
}

}  // namespace
