// Games from the play window's opening to their end: the player's window, every
// round and its label, the introductions, the status and hall-of-fame windows,
// the end of a game, aborts, the save question and practice rounds.
#include "tests/game/FlowFixture.h"

namespace {

class FlowTest : public FlowFixture {};

TEST_F(FlowTest, AScriptedPlayerPlaysAWholeGameFromThePlayerWindowToTheHallOfFame) {
  FameDescending(25000);
  GameScrn& w = OpenAsAtStartUp();
  ASSERT_EQ(modals, std::vector<std::string>{"getCurPl"});
  EXPECT_TRUE(playWindowShownBeneath) << "the play window is on screen under the player's window";
  EXPECT_EQ(globals::gDiffFactor, 1);
  EXPECT_EQ(globals::gAddedLine, -1);
  EXPECT_EQ(Count("pop"), 1);
  EXPECT_EQ(globals::gCurPlayer, "Robin");

  const std::vector<std::string> expectedLabels = {
      "Round #1", "Round #2", "Round #3",  "Round #4",  "Round #5",  "Bonus #1",  "Round #6",  "Round #7", "Round #8",
      "Round #9", "Round #10", "Bonus #2", "Round #11", "Round #12", "Round #13", "Round #14", "Round #15"};
  const std::vector<int> expectedLevels = {1, 2, 3, 4, 5, -1, 7, 8, 9, 10, 11, -1, 13, 14, 15, 16, 17};
  std::vector<std::string> labels;
  std::vector<int> levels;
  int total = 0;
  for (int r = 1; r <= 17; ++r) {
    ASSERT_EQ(w.round, r);
    labels.push_back(w.RndTxt.Text());
    EXPECT_EQ(w.runBtn.getTitle(), r == 1 ? "New Game" : "Continue") << r;
    EXPECT_TRUE(w.runBtn.Visible()) << r;
    EXPECT_EQ(w.pauseInfo.Text(), "Click to Start") << r;
    EXPECT_EQ(w.prohibitShot, false) << r;
    PlayRound(w);
    ASSERT_TRUE(StatusWindow()) << "round " << r;
    ASSERT_TRUE(w.lastResult);
    levels.push_back(w.lastResult->level);
    EXPECT_TRUE(w.lastResult->won) << r;
    EXPECT_FALSE(w.lastResult->practice) << r;
    EXPECT_EQ(w.round, r) << "the round ends without preparing the next";
    if (r == 17) {
      globals::gTotScore += 30000;  // whatever the rounds added, a total for the top row
      total = globals::gTotScore;
    }
    NextRound();  // "Finish" after the last round
  }
  EXPECT_EQ(labels, expectedLabels);
  EXPECT_EQ(levels, expectedLevels);
  EXPECT_EQ(intros, (std::vector<int>{1, 2, 3})) << "before each bonus round and once before round 11";

  // The game is over: a new one is ready at once and the hall of fame follows.
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.RndTxt.Text(), "Round #1");
  EXPECT_EQ(w.runBtn.getTitle(), "New Game");
  EXPECT_EQ(globals::gTotScore, 0);
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_EQ(FameRow::Parse(globals::FameList[0]).name, "Robin");
  EXPECT_EQ(FameScore(0), total);
  EXPECT_EQ(globals::gAddedLine, 0);
  EXPECT_TRUE(theApp->isDirty);
  EXPECT_FALSE(IsOpen<HallOfFame>());
  Steps(47);
  EXPECT_FALSE(IsOpen<HallOfFame>());
  Steps(2);
  EXPECT_TRUE(IsOpen<HallOfFame>());
  EXPECT_EQ(w.showTimer.GetMode(), fw::Timer::kOff);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "RoundScrn"), 17);
}

TEST_F(FlowTest, ALostGameEndsThroughEndGameAndATotalBelowTheTableShowsNoHallOfFame) {
  FameDescending(25000);
  GameScrn& w = Begin({.seed = 3});
  PlayRound(w);
  NextRound();
  globals::gTotScore = 1200;
  LoseRound(w);
  ASSERT_TRUE(StatusWindow());
  EXPECT_FALSE(w.lastResult->won);
  EXPECT_TRUE(w.gameOver);
  EndGame();
  EXPECT_EQ(w.round, 1);
  EXPECT_FALSE(w.gameOver);
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_EQ(w.ballCt, 2);
  EXPECT_EQ(globals::gTotScore, 0);
  EXPECT_EQ(FameScore(9), 2500) << "the table is unchanged";
  Steps(120);
  EXPECT_FALSE(IsOpen<HallOfFame>());
  EXPECT_TRUE(fw::test::DialogsShown().empty());
}

TEST_F(FlowTest, TheIntroductionIsShownExactlyWhenDueAndNeverAfterTheBoxIsTicked) {
  GameScrn& w = Begin();
  for (int r = 1; r <= 17; ++r) {
    w.round = r - 1;
    w.reinit();
  }
  EXPECT_EQ(intros, (std::vector<int>{1, 2, 3}));
  w.round = 13;
  w.reinit();
  EXPECT_EQ(intros.size(), 3u) << "the rule page once per game";

  // A new game: the introductions come again, until the player ticks the box.
  intros.clear();
  tickNoShow = true;
  w.initStartVars();
  for (int r = 1; r <= 17; ++r) w.reinit();
  EXPECT_EQ(intros, std::vector<int>{1});
  EXPECT_TRUE(globals::gNoShowBScrn);
  EXPECT_EQ(BonusRd::bonusRndCt, 3) << "the rule page was not shown, so nothing put the counter back";
  w.initStartVars();
  for (int r = 1; r <= 17; ++r) w.reinit();
  EXPECT_EQ(intros.size(), 1u);
}

TEST_F(FlowTest, GameStartAsksOnlyWhenASavedGameIsThereAndAllowed) {
  GameScrn& w = Begin();
  w.gameStart(true);
  EXPECT_TRUE(fw::test::DialogsShown().empty());
  EXPECT_EQ(w.round, 1);

  savedInfo::isSavedGame = true;
  savedInfo::svRound = 3;
  w.gameStart(false);
  EXPECT_TRUE(fw::test::DialogsShown().empty());
  EXPECT_EQ(w.round, 1);

  // A new player who declines keeps the saved game, gets no instructions and stays new.
  globals::gIsNewPlayer = true;
  answers[kResume] = Pressed::Cancel;
  w.gameStart(true);
  ASSERT_EQ(fw::test::DialogsShown().size(), 1u);
  const fw::MessageDialog& d = fw::test::DialogsShown()[0];
  EXPECT_EQ(d.Explanation, "Click 'Cancel' to play a NEW game");
  EXPECT_EQ(d.ActionButton.Caption, "Resume");
  EXPECT_TRUE(d.CancelButton.Visible);
  EXPECT_FALSE(d.AlternateActionButton.Visible);
  EXPECT_EQ(w.round, 1);
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_TRUE(globals::gIsNewPlayer);
  EXPECT_TRUE(modals.empty());

  // One who resumes gets the instructions once.
  answers[kResume] = Pressed::Action;
  w.gameStart(true);
  EXPECT_EQ(w.round, 4);
  EXPECT_EQ(modals, std::vector<std::string>{"Instr2Scrn"});
  EXPECT_EQ(modalTitles, std::vector<std::string>{"Instructions"});
  EXPECT_FALSE(globals::gIsNewPlayer);
  w.initStartVars();
  w.gameStart(false);
  EXPECT_EQ(modals.size(), 1u);
}

TEST_F(FlowTest, AskSaveSavesStartsOverOrPlaysOn) {
  GameScrn& w = Begin();
  PlayRound(w);
  NextRound();
  PlayRound(w);  // round 2 done
  globals::gTotScore = 700;
  w.bltCt = 6;
  answers[kSave] = Pressed::Cancel;
  EndGame();
  const fw::MessageDialog& d = fw::test::DialogsShown().back();
  EXPECT_EQ(d.Explanation, "Click 'Cancel' to continue playing.");
  EXPECT_EQ(d.ActionButton.Caption, "Save Game");
  EXPECT_EQ(d.AlternateActionButton.Caption, "Don't Save");
  EXPECT_TRUE(d.AlternateActionButton.Visible);
  EXPECT_TRUE(d.CancelButton.Visible);
  EXPECT_EQ(w.round, 3) << "Cancel goes on with the next round";
  EXPECT_EQ(w.bltCt, 6);
  EXPECT_FALSE(savedInfo::isSavedGame);

  PlayRound(w);  // round 3 done
  answers[kSave] = Pressed::Alternate;
  EndGame();
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_FALSE(savedInfo::isSavedGame);

  PlayRound(w);
  NextRound();
  PlayRound(w);
  NextRound();
  PlayRound(w);
  NextRound();
  PlayRound(w);  // round 4 done
  globals::gTotScore = 4000;
  answers[kSave] = Pressed::Action;
  EndGame();
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_EQ(savedInfo::svRound, 4);
  EXPECT_EQ(savedInfo::svTotScore, 4000);
  EXPECT_EQ(notices, std::vector<std::string>{"The current game has been saved."});
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(globals::gTotScore, 0);
}

TEST_F(FlowTest, AbortingOffersTheHallOfFameBeforeTheNextGame) {
  FameDescending(25000);
  GameScrn& w = Begin();
  answers[kAbort] = Pressed::Action;
  PlayRound(w);
  NextRound();
  stepper->Click("runBtn");
  globals::gTotScore = 9000;  // the rounds completed so far
  w.curScore = 5000;          // the running round's points are not counted
  w.bltCt = 3;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_EQ(fw::test::DialogsShown().back().Explanation, "The game will NOT be saved.");
  EXPECT_EQ(FameScore(7), 9000) << "entered below the 10000 row";
  EXPECT_EQ(globals::gAddedLine, 7);
  // Until the hall of fame has been seen, the aborted game stays as it was.
  EXPECT_EQ(w.round, 2);
  EXPECT_EQ(w.bltCt, 3);
  EXPECT_FALSE(w.runBtn.Visible());
  EXPECT_TRUE(w.myPAD->IsClosed());
  Steps(49);
  ASSERT_TRUE(IsOpen<HallOfFame>());
  EXPECT_EQ(w.round, 2);
  HallOfFame::Instance().Close();  // its Close button
  w.gameStart(false);
  EXPECT_EQ(w.round, 1);
  EXPECT_TRUE(w.runBtn.Visible());
  EXPECT_EQ(globals::gTotScore, 0);

  // A total that does not enter: a new game at once.
  stepper->Click("runBtn");
  globals::gTotScore = 10;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_EQ(w.round, 1);
  EXPECT_TRUE(w.runBtn.Visible());
  EXPECT_FALSE(w.gameRunning);
  EXPECT_EQ(w.showTimer.GetMode(), fw::Timer::kOff);
}

TEST_F(FlowTest, PracticeRoundsStartFromNewGameValuesAndEndInAFreshGame) {
  FameDescending(25000);
  GameScrn& w = Begin();
  ASSERT_TRUE(fw::test::ChooseMenu("PracticeRound7"));
  EXPECT_EQ(w.isPractice, 1);
  EXPECT_EQ(w.round, 8);
  EXPECT_EQ(w.RndTxt.Text(), "Round #7");
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_TRUE(w.runBtn.Visible());
  globals::gTotScore = 30000;  // even a total for the top row enters nothing after practice
  PlayRound(w);
  ASSERT_TRUE(StatusWindow());
  EXPECT_TRUE(w.lastResult->practice);
  EXPECT_EQ(w.lastResult->level, 8);
  EXPECT_EQ(w.isPractice, 0);
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.RndTxt.Text(), "Round #1");
  EXPECT_EQ(FameScore(0), 25000);
  Steps(60);
  EXPECT_FALSE(IsOpen<HallOfFame>());

  StatusWindow()->Close();  // End Game of a practice round calls nothing
  ASSERT_TRUE(fw::test::ChooseMenu("PracticeBonus1"));
  EXPECT_EQ(w.round, 6);
  EXPECT_EQ(w.RndTxt.Text(), "Bonus #1");
  EXPECT_EQ(intros, std::vector<int>{1});
  EXPECT_TRUE(w.runBtn.Visible());
  PlayRound(w);
  ASSERT_TRUE(StatusWindow());
  EXPECT_EQ(*w.lastResult, (GameScrn::RoundResult{0, 61, -1, true, true}));
  EXPECT_EQ(w.isPractice, 0);
  EXPECT_EQ(w.round, 1);
  EXPECT_TRUE(w.runBtn.Visible());

  StatusWindow()->Close();
  ASSERT_TRUE(fw::test::ChooseMenu("PracticeBonus2"));
  EXPECT_EQ(w.RndTxt.Text(), "Bonus #2");
  EXPECT_EQ(intros, (std::vector<int>{1, 2}));
  PlayRound(w);
  EXPECT_TRUE(w.lastResult->practice);
  EXPECT_EQ(w.round, 1);
  StatusWindow()->Close();
}

// Mended: End Game on a lost practice round's window, still open over the new game,
// reset the round the player had started there, or ended the game they had resumed.
TEST_F(FlowTest, EndGameOnAPracticeWindowLeavesTheGameStartedSince) {
  FameDescending(25000);
  for (bool resumed : {false, true}) {
    SCOPED_TRACE(resumed ? "a saved game resumed" : "the new game started");
    GameScrn& w = Begin({.seed = 5});
    ASSERT_TRUE(fw::test::ChooseMenu("PracticeRound7"));
    LoseRound(w);
    ASSERT_TRUE(StatusWindow());
    ASSERT_TRUE(StatusWindow()->gameOver && StatusWindow()->wasPractice);
    if (resumed) {
      savedInfo::isSavedGame = true;
      savedInfo::svRound = 4;
      savedInfo::svTotScore = 30000;
      answers[kResume] = Pressed::Action;
      ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
      ASSERT_EQ(w.round, 5);
    } else {
      stepper->Click("runBtn");
      Steps(5);
      w.curScore = 700;
    }
    ASSERT_TRUE(StatusWindow());
    PressEndGame();
    EXPECT_FALSE(StatusWindow());
    if (resumed) {
      EXPECT_EQ(std::pair(w.round, globals::gTotScore), std::pair(5, 30000));
      EXPECT_EQ(FameScore(0), 25000) << "its total was not entered";
    } else {
      EXPECT_TRUE(w.mySS.IsRunning());
      EXPECT_EQ(w.curScore, 700);
      EXPECT_FALSE(w.runBtn.Visible());
    }
    Steps(60);
    EXPECT_FALSE(IsOpen<HallOfFame>());
  }
}

// Mended: End Game on a practice window, pressed while an aborted game's hall of fame
// was pending, entered that game's total a second time.
TEST_F(FlowTest, AGamesTotalEntersTheHallOfFameOnce) {
  FameDescending(25000);
  GameScrn& w = Begin({.seed = 5});
  ASSERT_TRUE(fw::test::ChooseMenu("PracticeRound7"));
  LoseRound(w);
  ASSERT_TRUE(StatusWindow() && StatusWindow()->wasPractice);
  savedInfo::isSavedGame = true;
  savedInfo::svRound = 4;
  savedInfo::svTotScore = 30000;
  answers[kResume] = Pressed::Action;
  ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
  stepper->Click("runBtn");
  Steps(5);
  answers[kAbort] = Pressed::Action;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  ASSERT_EQ(FameScore(0), 30000);
  PressEndGame();
  EXPECT_FALSE(StatusWindow());
  EXPECT_EQ(FameScore(1), 25000) << "the aborted game's total entered once";
  Steps(60);
  EXPECT_TRUE(IsOpen<HallOfFame>()) << "the abort's own hall of fame";
}

// Mended: New Player during round 1 replaced the game under its running sprites.
TEST_F(FlowTest, NewPlayerDuringARunningOrPausedRoundEndsItCleanly) {
  for (bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "running");
    GameScrn& w = Begin({.seed = 11});
    stepper->Click("runBtn");
    Steps(5);
    if (paused) {
      Key(35, true);
      Key(35, false);
      ASSERT_TRUE(w.isPause);
    }
    w.ctDown = 60;
    fw::Ref<fw::Sprite> pad = w.myPAD;
    fw::Ref<ball> oldBall = w.redBall;
    playerName = "Sam";
    ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
    EXPECT_EQ(modals.back(), "getCurPl");
    EXPECT_EQ(globals::gCurPlayer, "Sam");
    EXPECT_FALSE(w.mySS.IsRunning());
    EXPECT_FALSE(w.gameRunning);
    EXPECT_FALSE(w.isPause);
    EXPECT_TRUE(pad->IsClosed());
    EXPECT_TRUE(oldBall->IsClosed());
    EXPECT_EQ(w.ctDown, 0);
    EXPECT_EQ(w.round, 1);
    EXPECT_TRUE(w.runBtn.Visible());
    EXPECT_EQ(w.pauseInfo.Text(), "Click to Start");
    Steps(200);
    EXPECT_FALSE(StatusWindow()) << "the replaced round never ends on its own";
    stepper->Click("runBtn");
    EXPECT_TRUE(w.mySS.IsRunning());
    EXPECT_NE(w.redBall.get(), oldBall.get());
  }
}

// Mended: the round ran on behind the abort question and could end, entering its total twice.
TEST_F(FlowTest, TheAbortQuestionHoldsTheRoundStill) {
  FameDescending(25000);
  GameScrn& w = Begin({.seed = 12, .round = 3, .ballCt = 0});
  stepper->Click("runBtn");
  globals::gTotScore = 20000;
  ParkBubbles(w);
  DropBall(w, 250, 470);  // out within a few frames: the last ball
  bool heldStill = false;
  duringDialog = [&](const fw::MessageDialog&) {
    heldStill = !w.mySS.IsRunning() && fw::CurrentApp()->GetMouseCursor() == fw::Cursors::StandardPointer();
    Steps(300);  // the player thinks it over
  };
  answers[kAbort] = Pressed::Cancel;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_TRUE(heldStill);
  EXPECT_FALSE(w.gameOver);
  EXPECT_FALSE(StatusWindow());
  EXPECT_TRUE(w.mySS.IsRunning()) << "Cancel plays on";
  EXPECT_TRUE(w.gameRunning);

  // Asked again and confirmed: the total enters once, and the lost ball never counts.
  duringDialog = nullptr;
  answers[kAbort] = Pressed::Action;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  Steps(300);
  int entries = 0;
  for (int i = 0; i < 10; ++i) entries += FameRow::Parse(globals::FameList[static_cast<std::size_t>(i)]).name == "Robin";
  EXPECT_EQ(entries, 1);
  EXPECT_FALSE(StatusWindow());
  EXPECT_FALSE(w.gameOver);
}

TEST_F(FlowTest, TheAbortQuestionLeavesAPausedRoundPaused) {
  GameScrn& w = Begin({.seed = 13});
  stepper->Click("runBtn");
  Key(35, true);
  Key(35, false);
  answers[kAbort] = Pressed::Cancel;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_TRUE(w.isPause);
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_TRUE(w.runBtn.Visible());
  stepper->Click("runBtn");
  EXPECT_TRUE(w.mySS.IsRunning());
}

// Mended: the round ran on behind the windows, questions and menus that take the
// player's mouse: the ball was lost, the clock ran and reaching a button moved the paddle.
TEST_F(FlowTest, WhatTakesThePlayersMouseHoldsTheRoundWhereItStood) {
  struct Cover {
    const char* what;
    std::function<void(const std::function<void()>& meanwhile)> open;
  };
  const Cover covers[] = {
      {"About",
       [&](const std::function<void()>& meanwhile) {
         fw::test::OnModal([&](fw::Window& m) {
           meanwhile();
           m.Close();
         });
         ASSERT_TRUE(fw::test::ChooseMenu("AppleAboutZembo"));
       }},
      {"the Clear High Scores question",
       [&](const std::function<void()>& meanwhile) {
         duringDialog = [&](const fw::MessageDialog&) { meanwhile(); };
         answers[kClear] = Pressed::Cancel;
         ASSERT_TRUE(fw::test::ChooseMenu("InformationClear"));
       }},
      {"an open menu and its submenu",
       [&](const std::function<void()>& meanwhile) {
         ASSERT_TRUE(fw::test::ShowMenu("HallOfFameMenu", true));
         ASSERT_TRUE(fw::test::ShowMenu("InformationGameSpeed", true));
         meanwhile();
         ASSERT_TRUE(fw::test::ShowMenu("InformationGameSpeed", false));
         ASSERT_TRUE(fw::test::ShowMenu("HallOfFameMenu", false));
       }},
  };
  for (const Cover& cover : covers) {
    SCOPED_TRACE(cover.what);
    GameScrn& w = Begin({.seed = 21});
    stepper->Click("runBtn");
    ParkBubbles(w);
    w.redBall->SetMotion(100, 100, 2, 0);  // to and fro across the field, never lost
    Steps(90);
    ASSERT_EQ(w.lastTime, 1);
    int ballX = w.redBall->X(), padX = w.myPAD->X();
    bool heldStill = true;
    cover.open([&] {
      for (int x = 100; x < 400; ++x) {  // five seconds, the mouse on its way to a button
        Mouse(x);
        heldStill = heldStill && !w.mySS.IsRunning() && w.redBall->X() == ballX && w.lastTime == 1 &&
                    fw::CurrentApp()->GetMouseCursor() == fw::Cursors::StandardPointer();
      }
    });
    EXPECT_TRUE(heldStill);
    ASSERT_TRUE(w.mySS.IsRunning()) << "it goes on once the player is back";
    Steps(1);
    EXPECT_EQ(w.myPAD->X(), padX) << "the mouse's way to the button does not move the paddle";
    EXPECT_NE(w.redBall->X(), ballX);
    Steps(59);
    EXPECT_EQ(w.lastTime, 2) << "the five seconds held are not the round's";
  }

  // A window that leaves the field to the player leaves the round alone.
  GameScrn& w = Begin({.seed = 21});
  stepper->Click("runBtn");
  ASSERT_TRUE(fw::test::ChooseMenu("InformationInstructions"));
  ASSERT_TRUE(IsOpen<Instr2Scrn>());
  Steps(60);
  EXPECT_TRUE(w.mySS.IsRunning());
  EXPECT_EQ(w.lastTime, 1);
}

// Mended: time under a question counted on the round's clock. Bonus #2, asked to abort
// at its start and answered 101 s later, ended at once as 100 seconds survived.
TEST_F(FlowTest, TheRoundsClockAndCountdownsStandStillWhileItIsHeld) {
  GameScrn& w = Begin({.seed = 22, .round = 12});
  stepper->Click("runBtn");
  duringDialog = [&](const fw::MessageDialog&) { Steps(101 * 60); };
  answers[kAbort] = Pressed::Cancel;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  Steps(1);
  EXPECT_FALSE(StatusWindow());
  EXPECT_EQ(std::pair(w.lastTime, w.curScore), std::pair(0, 0));
  EXPECT_EQ(w.ballCt, 2);

  // A won round waits two seconds for its status window: half a second of it went
  // before About, the rest comes after.
  GameScrn& won = Begin({.seed = 23, .round = 2});
  PlayRound(won, [&] { return won.roundTimer.GetMode() != fw::Timer::kOff; });
  Steps(30);
  fw::test::OnModal([&](fw::Window& m) {
    Steps(300);
    m.Close();
  });
  ASSERT_TRUE(fw::test::ChooseMenu("AppleAboutZembo"));
  EXPECT_FALSE(StatusWindow());
  Steps(85);
  EXPECT_FALSE(StatusWindow());
  Steps(10);
  EXPECT_TRUE(StatusWindow());
}

// Mended: an abort while paused left the run button up, and a click replayed the aborted game.
TEST_F(FlowTest, AnAbortLeavesNothingToReplayOrCountDown) {
  FameDescending(25000);
  GameScrn& w = Begin({.seed = 14, .round = 4});
  stepper->Click("runBtn");
  Steps(3);
  Key(35, true);
  Key(35, false);
  ASSERT_TRUE(w.runBtn.Visible());
  w.ctDown = 70;
  w.needBall = true;
  globals::gTotScore = 20000;  // enters: the hall of fame is pending
  answers[kAbort] = Pressed::Action;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_FALSE(w.runBtn.Visible());
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_EQ(w.ctDown, 0);
  EXPECT_FALSE(w.needBall);
  stepper->Click("runBtn");
  w.hndlRunAction();  // even a click that reached it
  EXPECT_FALSE(w.mySS.IsRunning());
  EXPECT_FALSE(w.gameRunning);
  EXPECT_EQ(w.round, 4);
}

TEST_F(FlowTest, AnAbortDuringBonusOneTakesItsBubblesAndCountersAlong) {
  GameScrn& w = Begin({.seed = 15, .round = 6});
  stepper->Click("runBtn");
  Steps(250);
  w.mySS_Collision(*w.theBlt, *BonusRd::tmpBubble[0]);
  ASSERT_GT(BonusRd::bonusCt, 0);
  ASSERT_EQ(BonusRd::bustedTot, 1);
  answers[kAbort] = Pressed::Action;
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));
  for (auto& s : w.mySS.Sprites()) EXPECT_NE(s->Group(), -3) << "no purple bubble is left on the field";
  EXPECT_EQ(BonusRd::bonusCt, 0);
  EXPECT_EQ(BonusRd::bustedTot, 0);
  EXPECT_EQ(BonusRd::missedTot, 0);
  // The next Bonus #1 runs its full course again.
  w.round = 5;
  w.reinit();
  PlayRound(w);
  ASSERT_TRUE(StatusWindow());
  EXPECT_EQ(w.lastResult->points, 0);
  EXPECT_EQ(BonusRd::missedTot, 0);
}

// Mended: a question dismissed without a listed button (Escape, close box) left
// a game with no bullets and no balls.
TEST_F(FlowTest, AQuestionDismissedOtherwiseCountsAsCancel) {
  GameScrn& w = Begin();
  savedInfo::isSavedGame = true;
  savedInfo::svRound = 6;
  w.bltCt = 0;
  w.ballCt = 0;
  w.round = 0;
  w.gameStart(true);  // no answer for the resume question: None
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.bltCt, 10);
  EXPECT_EQ(w.ballCt, 2);
  EXPECT_TRUE(savedInfo::isSavedGame);

  PlayRound(w);
  EndGame();  // the save question dismissed: play on
  EXPECT_EQ(w.round, 2);
  EXPECT_TRUE(w.runBtn.Visible());

  stepper->Click("runBtn");
  ASSERT_TRUE(fw::test::ChooseMenu("FileAbortGame"));  // dismissed: the round goes on
  EXPECT_TRUE(w.gameRunning);
  EXPECT_TRUE(w.mySS.IsRunning());
  EXPECT_EQ(w.round, 2);
}

}  // namespace
