// The play window's menu commands: which are available in each situation of a
// game, what each opens or changes, and the difficulty's check marks.
#include "tests/game/FlowFixture.h"

namespace {

class MenusTest : public FlowFixture {
 protected:
  static bool Checked(std::string_view name) {
    bool checked = false;
    fw::ForEachItem(*GameScrn::Instance().GetMenuBar(), [&](fw::MenuItem& it) {
      if (it.Name() == name) checked = it.Checked();
    });
    return checked;
  }
  static std::array<bool, 3> Marks() { return {Checked("GameSpeedSlow"), Checked("GameSpeedMedium"), Checked("GameSpeedFast")}; }
  void Pause() {
    Key(35, true);
    Key(35, false);
  }
};

//                                      new player, show, practice, abort, save
constexpr MenuAvailability kReadyAtOne{true, true, true, false, false};
constexpr MenuAvailability kPlayingOne{true, true, false, true, false};
constexpr MenuAvailability kBetweenRounds{false, false, false, false, true};
constexpr MenuAvailability kEndedOne{false, true, false, false, false};
constexpr MenuAvailability kPlayingLater{false, false, false, true, false};

TEST_F(MenusTest, AvailabilityFollowsTheRoundAndWhetherItIsInPlay) {
  GameScrn& w = Begin({.seed = 31});
  EXPECT_EQ(MenuState(), kReadyAtOne);
  stepper->Click("runBtn");
  EXPECT_EQ(MenuState(), kPlayingOne);
  Pause();
  ASSERT_TRUE(w.isPause);
  EXPECT_EQ(MenuState(), kPlayingOne) << "paused";
  stepper->Click("runBtn");
  PlayRound(w);  // the round resumed is played to its end
  EXPECT_EQ(MenuState(), kEndedOne) << "under round 1's status window";
  NextRound();
  EXPECT_EQ(MenuState(), kBetweenRounds);
  stepper->Click("runBtn");
  EXPECT_EQ(MenuState(), kPlayingLater);
  Pause();
  EXPECT_EQ(MenuState(), kPlayingLater) << "paused";
}

TEST_F(MenusTest, DisabledCommandsAreNotDeliveredAndEnabledOnesAct) {
  GameScrn& w = Begin({.seed = 32});
  EXPECT_FALSE(fw::test::ChooseMenu("FileSaveGame"));
  EXPECT_FALSE(fw::test::ChooseMenu("FileAbortGame"));
  EXPECT_FALSE(savedInfo::isSavedGame);
  PlayRound(w);
  NextRound();
  EXPECT_FALSE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_FALSE(fw::test::ChooseMenu("InformationShow"));
  EXPECT_FALSE(fw::test::ChooseMenu("PracticeBonus1"));
  EXPECT_TRUE(modals.empty());
  EXPECT_FALSE(IsOpen<HallOfFame>());
  EXPECT_EQ(w.round, 2);

  // Never switched off: the information and difficulty items.
  stepper->Click("runBtn");
  EXPECT_TRUE(fw::test::ChooseMenu("InformationInstructions"));
  EXPECT_TRUE(IsOpen<Instr2Scrn>());
  EXPECT_EQ(Instr2Scrn::Instance().Title(), "Instructions");
  EXPECT_TRUE(fw::test::ChooseMenu("InformationCheckVersion"));
  EXPECT_TRUE(IsOpen<checkVersScrn>());
  EXPECT_TRUE(modals.empty()) << "neither is modal";
  EXPECT_TRUE(fw::test::ChooseMenu("AppleAboutZembo"));
  EXPECT_EQ(modals, std::vector<std::string>{"aboutScrn"});
  EXPECT_EQ(modalTitles, std::vector<std::string>{"About Zembo"});
  EXPECT_TRUE(fw::test::ChooseMenu("GameSpeedSlow"));
  EXPECT_EQ(globals::gDiffFactor, 0);
  EXPECT_TRUE(w.gameRunning) << "the round plays on";
}

TEST_F(MenusTest, NewPlayerAndShowHighScoresAtRoundOne) {
  GameScrn& w = Begin();
  playerName = "Ada";
  ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_EQ(modals, std::vector<std::string>{"getCurPl"});
  EXPECT_EQ(globals::gCurPlayer, "Ada");
  EXPECT_EQ(w.round, 1);
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  EXPECT_TRUE(IsOpen<HallOfFame>());
  EXPECT_EQ(modals.size(), 1u) << "the hall of fame is not modal";
}

TEST_F(MenusTest, TheDifficultyItemsSetBothValuesAndOneMark) {
  Begin();
  EXPECT_EQ(Marks(), (std::array<bool, 3>{false, true, false}));
  ASSERT_TRUE(fw::test::ChooseMenu("GameSpeedFast"));
  EXPECT_EQ(Marks(), (std::array<bool, 3>{false, false, true}));
  EXPECT_EQ(globals::gDiffFactor, 2);
  EXPECT_EQ(globals::gSpeed, 2);
  ASSERT_TRUE(fw::test::ChooseMenu("GameSpeedSlow"));
  EXPECT_EQ(Marks(), (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(globals::gSpeed, 0);
  ASSERT_TRUE(fw::test::ChooseMenu("GameSpeedMedium"));
  EXPECT_EQ(Marks(), (std::array<bool, 3>{false, true, false}));
  EXPECT_EQ(globals::gDiffFactor, 1);
  GameScrn::Instance().setSpeedMenu(5);
  EXPECT_EQ(globals::gDiffFactor, 5);
  EXPECT_EQ(globals::gSpeed, 5);
  EXPECT_EQ(Marks(), (std::array<bool, 3>{false, true, false})) << "a level out of range leaves the marks";
}

TEST_F(MenusTest, EveryOpeningStartsAtMedium) {
  Begin();
  ASSERT_TRUE(fw::test::ChooseMenu("GameSpeedFast"));
  OpenAsAtStartUp();
  EXPECT_EQ(globals::gDiffFactor, 1);
  EXPECT_EQ(Marks(), (std::array<bool, 3>{false, true, false}));
}

// Mended: Save Game was offered while a round's status window was open and stored
// a round that the total already held, so the resumed game played it twice.
TEST_F(MenusTest, SaveGameWaitsUntilTheStatusWindowIsAnswered) {
  GameScrn& w = Begin({.seed = 33});
  PlayRound(w);
  NextRound();
  stepper->Click("runBtn");
  ParkBubbles(w, 1);
  w.bubbleCt = 1;
  w.redBall->SetMotion(100, 200, 0, 3);
  w.blBubble[0]->SetMotion(96, 190, 0, 0);
  Steps(2);
  ASSERT_FALSE(w.gameRunning);
  ASSERT_GT(w.ctDown, 0);
  EXPECT_FALSE(MenuState().save) << "in the round's run-on";
  for (int i = 0; i < 300 && !StatusWindow(); ++i) Steps(1);
  ASSERT_TRUE(StatusWindow());
  EXPECT_FALSE(MenuState().save) << "under the status window";
  EXPECT_FALSE(fw::test::ChooseMenu("FileSaveGame"));
  EXPECT_FALSE(savedInfo::isSavedGame);

  NextRound();
  ASSERT_EQ(w.round, 3);
  ASSERT_TRUE(fw::test::ChooseMenu("FileSaveGame"));
  EXPECT_EQ(savedInfo::svRound, 2) << "the last completed round";
  answers[kResume] = Pressed::Action;
  w.gameStart(true);
  EXPECT_EQ(w.round, 3) << "the resumed game goes on with the round not yet played";
}

// Mended: New Player or a practice item chosen under round 1's status window started
// a game that the window's Next Round then carried on into round 2.
TEST_F(MenusTest, NoOtherGameStartsUnderAStatusWindow) {
  GameScrn& w = Begin({.seed = 34});
  PlayRound(w);
  ASSERT_TRUE(StatusWindow());
  EXPECT_FALSE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_FALSE(fw::test::ChooseMenu("PracticeRound7"));
  EXPECT_TRUE(modals.empty());
  EXPECT_EQ(w.isPractice, 0);
  NextRound();
  EXPECT_EQ(w.round, 2);
  EXPECT_EQ(w.isPractice, 0);
}

// Mended: Save Game in a prepared practice round replaced the real saved game.
TEST_F(MenusTest, APracticeRoundIsNeverSaved) {
  GameScrn& w = Begin();
  savedInfo::isSavedGame = true;
  savedInfo::svRound = 9;
  ASSERT_TRUE(fw::test::ChooseMenu("PracticeRound7"));
  EXPECT_FALSE(MenuState().save);
  EXPECT_FALSE(fw::test::ChooseMenu("FileSaveGame"));
  ASSERT_TRUE(fw::test::ChooseMenu("GameSpeedFast"));  // the menus still work
  EXPECT_EQ(savedInfo::svRound, 9);
  EXPECT_EQ(w.round, 8);
}

}  // namespace
