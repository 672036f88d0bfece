// Round start, the frame loop's countdowns, pause and resume, driven tick by tick.
#include "tests/game/GameFixture.h"

namespace {

using RoundTest = GameFixture;

TEST_F(RoundTest, RunButtonStartsARoundUnderTheMouse) {
  GameScrn& w = Start();
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.pauseInfo.Text(), "Click to Start");
  EXPECT_TRUE(w.runBtn.Visible());
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_EQ(w.ballCt, 2);
  Mouse(480);
  stepper->Click("runBtn");
  EXPECT_TRUE(w.gameRunning);
  EXPECT_FALSE(w.runBtn.Visible());
  EXPECT_EQ(w.pauseInfo.Text(), "<p> to pause game");
  EXPECT_TRUE(w.mySS.IsRunning());
  EXPECT_EQ(w.myPAD->X(), 436);
  EXPECT_EQ(w.myPAD->Y(), 490);
  EXPECT_EQ(w.myPAD->Group(), -2);
  EXPECT_EQ(w.totBubbles, 4);
  EXPECT_EQ(w.bubbleCt, 4);
  // The click's tick already runs the first frame.
  EXPECT_EQ(w.redBall->yPos(), 4);
  EXPECT_EQ(w.runBtn.Left(), 510);
  EXPECT_EQ(w.runBtn.Top(), 8);
}

TEST_F(RoundTest, PaddleFollowsTheMouseMovementAndStopsAtTheEdges) {
  GameScrn& w = Start();
  Mouse(-40);
  stepper->Click("runBtn");
  EXPECT_EQ(w.myPAD->X(), 0);
  Mouse(60);
  EXPECT_EQ(w.myPAD->X(), 100);
  Mouse(60);
  EXPECT_EQ(w.myPAD->X(), 100);
  Mouse(700);
  EXPECT_EQ(w.myPAD->X(), 436);
  // Coming back from beyond the edge moves it by the movement only.
  Mouse(690);
  EXPECT_EQ(w.myPAD->X(), 426);
  for (int x = 680; x >= 600; x -= 20) Mouse(x);
  EXPECT_EQ(w.myPAD->X(), 336);
}

TEST_F(RoundTest, BubbleCountsForEveryRoundAndDifficulty) {
  const int medium[] = {4, 5, 6, 7, 8, 0, 9, 10, 11, 12, 13, 0, 14, 15, 16, 17, 18};
  const int easy[] = {4, 5, 4, 5, 5, 0, 6, 7, 7, 8, 8, 0, 9, 10, 10, 11, 11};
  for (int difficulty = 0; difficulty <= 2; ++difficulty) {
    for (int r = 1; r <= 17; ++r) {
      if (r == 6 || r == 12) continue;
      GameScrn& w = Play({.seed = 3, .difficulty = difficulty, .round = r});
      int expected = difficulty == 0 ? easy[r - 1] : medium[r - 1];
      EXPECT_EQ(w.totBubbles, expected) << difficulty << " " << r;
      EXPECT_EQ(w.bubbleCt, expected);
      int attached = 0;
      for (auto& s : w.mySS.Sprites()) attached += s->Group() == -3;
      EXPECT_EQ(attached, expected);
    }
  }
}

TEST_F(RoundTest, LabelsOfTheRounds) {
  globals::gNoShowBScrn = true;
  GameScrn& w = Start({.round = 5});
  EXPECT_EQ(w.RndTxt.Text(), "Round #5");
  const std::pair<int, const char*> labels[] = {{6, "Bonus #1"}, {7, "Round #6"}, {11, "Round #10"},
                                                {12, "Bonus #2"}, {13, "Round #11"}, {17, "Round #15"}};
  for (auto [r, label] : labels) {
    w.round = r - 1;
    w.reinit();
    EXPECT_EQ(w.RndTxt.Text(), label);
    EXPECT_EQ(w.isBonusRnd, r == 6 || r == 12);
    EXPECT_EQ(w.runBtn.getTitle(), "Continue");
  }
  EXPECT_EQ(BonusRd::bonusRndCt, 3);
  w.round = 12;
  EXPECT_FALSE(w.checkProhibit());
  w.round = 13;
  EXPECT_TRUE(w.checkProhibit());
  // After the last round a new game is ready.
  w.round = 17;
  w.reinit();
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.RndTxt.Text(), "Round #1");
  EXPECT_EQ(w.runBtn.getTitle(), "New Game");
  EXPECT_EQ(w.bltCt, 10);
}

TEST_F(RoundTest, BallOutComesBackFiftyOneFramesLater) {
  GameScrn& w = Play();
  Steps(2);
  ParkBubbles(w);
  DropBall(w, 250, 502);
  Steps(1);  // frame F: out
  EXPECT_EQ(w.ctDown, 50);
  EXPECT_TRUE(w.needBall);
  EXPECT_EQ(w.ballCt, 1);
  EXPECT_EQ(Count("Wrong"), 1);
  Steps(50);  // F+1 .. F+50
  EXPECT_EQ(w.ctDown, 100);
  EXPECT_EQ(w.redBall->yPos(), 502);
  Steps(1);  // F+51
  EXPECT_EQ(w.ctDown, 0);
  EXPECT_FALSE(w.needBall);
  EXPECT_EQ(w.redBall->yPos(), 0);
  Steps(1);
  EXPECT_EQ(w.redBall->yPos(), 3);
}

TEST_F(RoundTest, CollisionLossKeepsTheBallAndEndsItsGraceAfterFiftyTwoFrames) {
  GameScrn& w = Play({.seed = 5});
  Mouse(0);
  ParkBubbles(w);
  w.redBall->SetMotion(250, 100, 0, -3);
  // A bubble sitting on the paddle costs a ball in the next frame.
  w.blBubble[0]->SetMotion(w.myPAD->X() + 16, 468, 0, 0);
  Steps(1);  // frame F
  EXPECT_EQ(w.ctDown, 49);
  EXPECT_EQ(w.ballCt, 1);
  EXPECT_EQ(w.bubbleCt, w.totBubbles - 1);
  EXPECT_FALSE(w.needBall);
  Steps(51);
  EXPECT_EQ(w.ctDown, 100);
  double y = w.redBall->yPos();
  Steps(1);  // F+52
  EXPECT_EQ(w.ctDown, 0);
  EXPECT_EQ(w.redBall->yPos(), y);
}

TEST_F(RoundTest, BallOutDuringTheGraceCountsOnceTheGraceIsOver) {
  GameScrn& w = Play({.seed = 6});
  Mouse(0);
  ParkBubbles(w);
  w.blBubble[0]->SetMotion(w.myPAD->X() + 16, 468, 0, 0);
  DropBall(w, 250, 480);
  Steps(1);  // frame F: a collision loss
  ASSERT_EQ(w.ctDown, 49);
  Steps(51);
  EXPECT_EQ(w.redBall->yPos(), 504);  // out, and waiting
  EXPECT_EQ(w.ballCt, 1);
  Steps(1);  // F+52 ends the grace
  EXPECT_EQ(w.ctDown, 0);
  EXPECT_EQ(w.ballCt, 1);
  Steps(1);  // the first live frame notices the ball
  EXPECT_EQ(w.ballCt, 0);
  EXPECT_EQ(w.ctDown, 50);
  EXPECT_TRUE(w.needBall);
  Steps(51);
  EXPECT_EQ(w.redBall->yPos(), 0);
}

TEST_F(RoundTest, WonRoundRunsOnAHundredFramesThenTheTimerEndsIt) {
  GameScrn& w = Play({.seed = 9, .round = 2});
  ParkBubbles(w, 1);
  w.bubbleCt = 1;
  w.redBall->SetMotion(100, 200, 0, 3);
  w.blBubble[0]->SetMotion(96, 190, 0, 0);
  Steps(1);  // frame F: the last bubble bursts
  EXPECT_EQ(w.ctDown, 1);
  EXPECT_FALSE(w.gameRunning);
  EXPECT_EQ(Count("TaDa"), 1);
  int time = w.lastTime;
  Steps(99);
  EXPECT_EQ(w.ctDown, 100);
  EXPECT_TRUE(w.mySS.IsRunning());
  EXPECT_EQ(w.lastTime, time);
  Steps(1);  // F+100
  EXPECT_EQ(w.ctDown, 0);
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kSingle);
  Steps(119);
  EXPECT_EQ(w.round, 2);
  Steps(1);  // 2 s after the run-on: the status window, then its Next Round
  EXPECT_EQ(w.round, 2);
  NextRound();
  EXPECT_EQ(w.round, 3);
  ASSERT_TRUE(w.lastResult);
  EXPECT_TRUE(w.lastResult->won);
  EXPECT_EQ(w.lastResult->points, 100);
  EXPECT_EQ(w.lastResult->level, 2);
  EXPECT_TRUE(w.runBtn.Visible());
  EXPECT_EQ(w.runBtn.getTitle(), "Continue");
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kOff);
  for (auto& s : w.mySS.Sprites()) EXPECT_NE(s->Group(), -2);
}

TEST_F(RoundTest, PausedTimeCountsOnTheRoundClock) {
  GameScrn& w = Play({.seed = 4});
  ParkBubbles(w);
  w.redBall->SetMotion(250, 100, 0, -3);
  Steps(30);
  ASSERT_TRUE(HidCurs());
  EXPECT_EQ(fw::CurrentApp()->GetMouseCursor(), HidCurs());
  Key(35, true);
  EXPECT_TRUE(w.isPause);
  EXPECT_EQ(fw::CurrentApp()->GetMouseCursor(), fw::Cursors::StandardPointer());
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_TRUE(w.runBtn.Visible());
  EXPECT_EQ(w.pauseInfo.Text(), "Game Paused" + fw::EndOfLine + "Click to Continue");
  EXPECT_TRUE(w.gameRunning);
  Key(35, false);
  int y = w.myPAD->X();
  Mouse(300);
  Steps(150);
  EXPECT_EQ(w.lastTime, 0);
  stepper->Click("runBtn");
  EXPECT_FALSE(w.isPause);
  EXPECT_TRUE(w.mySS.IsRunning());
  Steps(1);
  EXPECT_GE(w.lastTime, 3);
  // The mouse moved while paused: the paddle does not jump on resume.
  EXPECT_EQ(w.myPAD->X(), y);
}

TEST_F(RoundTest, LostLastBallEndsTheGameAndANewOneIsPrepared) {
  GameScrn& w = Play({.seed = 8, .ballCt = 0});
  ParkBubbles(w);
  DropBall(w, 250, 502);
  Steps(1);
  EXPECT_TRUE(w.gameOver);
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_EQ(Count("UhOhh"), 1);
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kSingle);
  Steps(120);
  EndGame();
  EXPECT_FALSE(w.gameOver);
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.ballCt, 2);
  ASSERT_TRUE(w.lastResult);
  EXPECT_FALSE(w.lastResult->won);
}

}  // namespace
