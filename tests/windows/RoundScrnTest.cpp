// The round status window: figures and texts of every kind of round, the running
// total, the hall-of-fame place, and what its buttons and keys hand back to the play window.
#include "windows/RoundScrn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "windows/HallOfFame.h"

namespace {

// Rows 25000, 22500 ... 2500, as a first run makes them.
void DescendingRows() {
  for (int i = 0; i < globals::kFameRows; ++i)
    globals::FameList[static_cast<std::size_t>(i)] = "P" + std::to_string(i) + "," + std::to_string(25000 - 2500 * i) + ",1/2/26";
}

void Click(fw::Window& w, const fw::Control& c) {
  int x = c.Left() + c.Width() / 2, y = c.Top() + c.Height() / 2;
  fw::test::PressMouse(w, x, y);
  fw::test::ReleaseMouse(w, x, y);
}

bool StatusOpen() {
  for (fw::Window* w : fw::windows::All())
    if (dynamic_cast<RoundScrn*>(w)) return true;
  return false;
}

class RoundScrnTest : public testing::Test {
 protected:
  void SetUp() override {
    globals::gR = fw::New<fw::Random>();
    globals::gCurPlayer = "Ada";
    DescendingRows();
    // Whatever the play window shows modally on its way (player, introductions) is closed unseen.
    fw::test::OnModal([this](fw::Window& w) {
      modalsWithStatusOpen.push_back(StatusOpen());
      w.Close();
    });
  }

  // The play window at a prepared round, as the status window finds it after a round.
  GameScrn& PlayAt(int round) {
    GameScrn& g = GameScrn::Instance();
    g.initStartVars();
    g.round = round - 1;
    g.reinit();
    modalsWithStatusOpen.clear();
    return g;
  }

  RoundScrn& Status(int points, int seconds, int level, bool won, bool practice = false) {
    RoundScrn& w = fw::Open<RoundScrn>(points, seconds, level, won, practice);
    fw::test::Advance(1);
    return w;
  }

  struct Figures {
    std::string pts, bonus, rndTotal, allTotal;
    bool operator==(const Figures&) const = default;
  };
  static Figures Shown(const RoundScrn& w) {
    return {w.PtsFld.Text(), w.BonusFld.Text(), w.RndTotalFld.Text(), w.AllTotalFld.Text()};
  }

  std::vector<bool> modalsWithStatusOpen;
};

TEST_F(RoundScrnTest, TheTimeBonusPaysForEachSecondUnderAMinuteByRound) {
  EXPECT_EQ(RoundScrn::timeBonus(59, 3), 5);
  EXPECT_EQ(RoundScrn::timeBonus(60, 3), 0);
  EXPECT_EQ(RoundScrn::timeBonus(0, 17), 1140);
  EXPECT_EQ(RoundScrn::timeBonus(61, -1), 0) << "a bonus round never earns one";
  EXPECT_EQ(RoundScrn::timeBonus(30, -1), 30);
  EXPECT_EQ(RoundScrn::timeBonus(10, -5), 0) << "never below 0";
}

TEST_F(RoundScrnTest, AWonRoundShowsItsFiguresAndAddsThemToTheTotal) {
  struct Case {
    int points, seconds, level;
    Figures figures;
    std::string roundText;
  };
  globals::gTotScore = 700;
  const std::vector<Case> cases = {
      {1000, 59, 3, {"1000", "5", "1005", "1705"}, "You have completed ROUND #3"},
      {1000, 60, 3, {"1000", "0", "1000", "2705"}, "You have completed ROUND #3"},
      {250, 0, 17, {"250", "1140", "1390", "4095"}, "You have completed a game!"},
      {800, 61, -1, {"800", "0", "800", "4895"}, "You have completed a bonus round."},
      {0, 50, 5, {"0", "70", "70", "4965"}, "You have completed ROUND #5"},
      {0, 60, 7, {"0", "0", "0", "4965"}, "You have completed ROUND #6"},
      {10, 60, 11, {"10", "0", "10", "4975"}, "You have completed ROUND #10"},
      {10, 60, 13, {"10", "0", "10", "4985"}, "You have completed ROUND #11"},
      {10, 60, 16, {"10", "0", "10", "4995"}, "You have completed ROUND #14"},
  };
  for (const Case& c : cases) {
    RoundScrn& w = Status(c.points, c.seconds, c.level, true);
    SCOPED_TRACE("level " + std::to_string(c.level));
    EXPECT_EQ(Shown(w), c.figures);
    EXPECT_EQ(std::to_string(globals::gTotScore), c.figures.allTotal);
    EXPECT_EQ(w.whichRndTxt.Text(), c.roundText);
    EXPECT_EQ(w.NameTxt.Text(), "Congratulations, Ada");
    EXPECT_FALSE(w.gameOver);
    w.Close();
  }
}

// Mended: a total near the top of the integers overflowed into a negative one.
TEST_F(RoundScrnTest, TheRunningTotalStopsAtItsBound) {
  for (int before : {globals::kMaxTotScore - 100, 2147483647}) {
    globals::gTotScore = before;
    RoundScrn& w = Status(300, 60, 3, true);
    EXPECT_EQ(globals::gTotScore, globals::kMaxTotScore) << before;
    EXPECT_EQ(w.AllTotalFld.Text(), "999999999") << before;
    w.Close();
  }
}

TEST_F(RoundScrnTest, ButtonsByCase) {
  struct Buttons {
    std::string contCaption;
    bool contEnabled, contDefault, endEnabled, endDefault;
    bool operator==(const Buttons&) const = default;
  };
  auto buttons = [](const RoundScrn& w) {
    return Buttons{w.ContBtn.Caption(), w.ContBtn.Enabled(), w.ContBtn.Default(), w.EndBtn.Enabled(),
                   w.EndBtn.Default()};
  };
  EXPECT_EQ(buttons(Status(100, 20, 16, true)), (Buttons{"Next Round", true, true, true, false}));
  EXPECT_EQ(buttons(Status(100, 20, 17, true)), (Buttons{"Finish", true, true, false, false}));
  EXPECT_EQ(buttons(Status(100, 20, 17, false)), (Buttons{"Next Round", false, false, true, true}));
  EXPECT_EQ(buttons(Status(100, 20, 8, true, true)), (Buttons{"Next Round", false, true, true, false}));
  EXPECT_EQ(buttons(Status(100, 20, 8, false, true)), (Buttons{"Next Round", false, false, true, true}));
  EXPECT_EQ(buttons(Status(100, 61, -1, true, true)), (Buttons{"Next Round", false, true, true, false}));
}

TEST_F(RoundScrnTest, ALostRoundEndsTheGameWithoutABonus) {
  globals::gTotScore = 3000;
  for (int level : {3, 17}) {
    RoundScrn& w = Status(400, 12, level, false);
    EXPECT_EQ(Shown(w), (Figures{"400", "0", "400", std::to_string(globals::gTotScore)}));
    EXPECT_EQ(w.NameTxt.Text(), "Sorry, Ada");
    EXPECT_EQ(w.whichRndTxt.Text(), "You lost the last ball. The game is over.");
    EXPECT_TRUE(w.gameOver);
    w.Close();
  }
  EXPECT_EQ(globals::gTotScore, 3800);
}

TEST_F(RoundScrnTest, APracticeRoundCountsButShowsNoPlace) {
  globals::gTotScore = 0;
  RoundScrn& w = Status(30000, 40, 8, true, true);
  EXPECT_EQ(Shown(w), (Figures{"30000", "200", "30200", "30200"}));
  EXPECT_EQ(globals::gTotScore, 30200);
  EXPECT_EQ(w.FameTxt.Text(), "") << "a total above every row, but a practice round";
  EXPECT_TRUE(w.wasPractice);
  RoundScrn& game = Status(0, 60, 8, true);
  EXPECT_EQ(game.FameTxt.Text(), "# 1") << "the same total in a game has a place";
}

TEST_F(RoundScrnTest, ThePlaceCountsTheRowsStrictlyAbove) {
  auto placeFor = [](int total) {
    globals::gTotScore = total;
    return RoundScrn::checkFamePlace();
  };
  EXPECT_EQ(placeFor(2500), "") << "equal to the tenth row";
  EXPECT_EQ(placeFor(2501), "# 10");
  EXPECT_EQ(placeFor(5000), "# 9") << "placed above the row it ties";
  EXPECT_EQ(placeFor(20001), "# 3");
  EXPECT_EQ(placeFor(22500), "# 2");
  EXPECT_EQ(placeFor(24999), "# 2");
  EXPECT_EQ(placeFor(25000), "# 1");
  EXPECT_EQ(placeFor(99999), "# 1");

  globals::FameList = {"A,9000,d", "B,8000,d", "C,8000,d", "D,100,d", "E,100,d",
                       "F,100,d",  "G,100,d",  "H,100,d",  "I,50,d",  "J,50,d"};
  EXPECT_EQ(placeFor(8000), "# 2") << "ties rank the total above the equal rows";
  EXPECT_EQ(placeFor(50), "");
  EXPECT_EQ(placeFor(51), "# 9");

  // Cleared rows, and rows whose score is not a number, read as 0.
  globals::FameList.fill("Nobody,000,1/2/26");
  globals::FameList[9] = "Broken";
  EXPECT_EQ(placeFor(0), "");
  EXPECT_EQ(placeFor(1), "# 1");
}

TEST_F(RoundScrnTest, TheWindowShowsThePlaceOfTheNewTotal) {
  globals::gTotScore = 20000;
  EXPECT_EQ(Status(1, 60, 4, true).FameTxt.Text(), "# 3");
  globals::gTotScore = 0;
  EXPECT_EQ(Status(2500, 60, 4, true).FameTxt.Text(), "");
  EXPECT_EQ(Status(1, 0, 4, false).FameTxt.Text(), "# 10") << "a lost round too, with no time bonus: 2500 + 1";
}

TEST_F(RoundScrnTest, TheLayoutAsDocumented) {
  RoundScrn& w = Status(1, 60, 1, true);
  EXPECT_EQ(w.Title(), "Current Status");
  EXPECT_EQ(std::pair(w.Width(), w.Height()), std::pair(400, 210));
  struct Place {
    std::string name;
    int left, top, width, height;
    bool operator==(const Place&) const = default;
  };
  std::vector<Place> places;
  for (const fw::Control* c : w.Controls()) places.push_back({c->Name(), c->Left(), c->Top(), c->Width(), c->Height()});
  EXPECT_EQ(places, (std::vector<Place>{{"whichRndTxt", 50, 27, 300, 20},
                                        {"StaticText1", 80, 57, 120, 20},
                                        {"StaticText2", 80, 82, 120, 20},
                                        {"StaticText3", 80, 107, 120, 20},
                                        {"StaticText4", 80, 132, 120, 20},
                                        {"NameTxt", 100, 2, 200, 20},
                                        {"PtsFld", 212, 55, 80, 22},
                                        {"BonusFld", 212, 80, 80, 22},
                                        {"RndTotalFld", 212, 105, 80, 22},
                                        {"AllTotalFld", 212, 130, 80, 22},
                                        {"ContBtn", 80, 170, 100, 20},
                                        {"EndBtn", 223, 170, 100, 20},
                                        {"FameTxt", 296, 130, 100, 22}}));
  EXPECT_EQ(w.StaticText1.Text(), "Points Earned:");
  EXPECT_EQ(w.StaticText2.Text(), "Time Bonus:");
  EXPECT_EQ(w.StaticText3.Text(), "Points This Round:");
  EXPECT_EQ(w.StaticText4.Text(), "Your Total Points:");
  EXPECT_EQ(w.EndBtn.Caption(), "End Game");
  for (const fw::EditField* f : {&w.PtsFld, &w.BonusFld, &w.RndTotalFld, &w.AllTotalFld})
    EXPECT_TRUE(f->ReadOnly()) << f->Name();
}

TEST_F(RoundScrnTest, RenderedBackgroundLabelsAndRedPlace) {
  globals::gTotScore = 24000;
  RoundScrn& w = Status(0, 60, 2, true);
  ASSERT_EQ(w.FameTxt.Text(), "# 2");
  fw::Ref<fw::Picture> img = fw::test::Render(w);
  EXPECT_EQ(img->Pixel(5, 200), fw::RGB(219, 228, 255));
  auto count = [&](int left, int top, int width, int height, bool (*match)(fw::Color)) {
    int n = 0;
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) n += match(img->Pixel(x, y)) ? 1 : 0;
    return n;
  };
  auto red = [](fw::Color c) { return c.r > 200 && c.g < 80 && c.b < 80; };
  auto dark = [](fw::Color c) { return c.r < 80 && c.g < 80 && c.b < 80; };
  EXPECT_GT(count(296, 130, 100, 22, red), 10) << "the place in red";
  EXPECT_GT(count(80, 57, 120, 20, dark), 10) << "the labels in black";
  EXPECT_EQ(count(0, 0, 400, 130, red), 0);
  // Right-aligned: the label's ink ends near its right edge and leaves its left part empty.
  EXPECT_EQ(count(80, 57, 30, 20, dark), 0);
  EXPECT_GT(count(170, 57, 30, 20, dark), 0);
}

TEST_F(RoundScrnTest, KeysInTheNumberFieldsChangeNothing) {
  GameScrn& g = PlayAt(3);
  RoundScrn& w = Status(1000, 60, 3, true);
  for (fw::EditField* f : {&w.PtsFld, &w.BonusFld, &w.RndTotalFld, &w.AllTotalFld}) {
    std::string before = f->Text();
    f->SetFocus();
    for (const char* key : {"7", "\x08", "\r", "\x03"}) {
      fw::test::TypeKey(w, key);
      ASSERT_TRUE(StatusOpen()) << f->Name() << " let a key through to the default button";
    }
    EXPECT_EQ(f->Text(), before) << f->Name();
  }
  EXPECT_EQ(g.round, 3);
}

TEST_F(RoundScrnTest, ActivationClearsTheFocusSoReturnPressesTheDefaultButton) {
  GameScrn& g = PlayAt(3);
  RoundScrn& w = Status(1000, 60, 3, true);
  w.AllTotalFld.SetFocus();
  fw::test::TypeKey(w, "\r");
  ASSERT_TRUE(StatusOpen()) << "the focused field took Return";
  w.Event_Activate();  // as when the player brings the window back to the front
  fw::test::TypeKey(w, "\r");
  EXPECT_FALSE(StatusOpen());
  EXPECT_EQ(g.round, 4) << "Next Round prepared the next round";
}

TEST_F(RoundScrnTest, NoCloseBox) {
  RoundScrn& w = Status(1000, 60, 3, true);
  fw::test::ClickCloseBox(w);
  fw::test::Advance(1);
  EXPECT_TRUE(w.IsOpen());
}

TEST_F(RoundScrnTest, NextRoundClosesFirstThenPreparesTheNextRound) {
  GameScrn& g = PlayAt(5);
  globals::gNoShowBScrn = false;
  RoundScrn& w = Status(1000, 60, 5, true);
  Click(w, w.ContBtn);
  EXPECT_FALSE(StatusOpen());
  EXPECT_EQ(modalsWithStatusOpen, std::vector<bool>{false}) << "the introduction, after the window closed";
  EXPECT_EQ(g.round, 6);
  EXPECT_EQ(g.RndTxt.Text(), "Bonus #1");
}

TEST_F(RoundScrnTest, FinishAfterTheLastRoundEndsTheGame) {
  GameScrn& g = PlayAt(17);
  globals::gTotScore = 1000;
  RoundScrn& w = Status(500, 60, 17, true);
  fw::test::TypeKey(w, "\r");
  EXPECT_FALSE(StatusOpen());
  EXPECT_EQ(g.round, 1) << "round 18 ends the game and prepares a new one";
  EXPECT_EQ(g.runBtn.getTitle(), "New Game");
}

TEST_F(RoundScrnTest, EndGameInAPracticeRoundOnlyCloses) {
  GameScrn& g = PlayAt(1);
  g.ballCt = 5;
  RoundScrn& w = Status(500, 60, 8, true, true);
  fw::test::TypeKey(w, "\r");
  EXPECT_TRUE(w.IsOpen()) << "Next Round is the default but disabled";
  Click(w, w.EndBtn);
  fw::test::Advance(1);
  EXPECT_FALSE(StatusOpen());
  EXPECT_EQ(std::pair(g.round, g.ballCt), std::pair(1, 5)) << "nothing called on the play window";
  EXPECT_TRUE(fw::test::DialogsShown().empty());
}

TEST_F(RoundScrnTest, EndGameAfterALostRoundEndsTheGameIntoTheHallOfFame) {
  GameScrn& g = PlayAt(4);
  globals::gTotScore = 7000;
  globals::gIsNewPlayer = true;  // the new game shows the instructions: after the window closed
  RoundScrn& w = Status(600, 30, 4, false);
  fw::test::TypeKey(w, "\r");
  EXPECT_FALSE(StatusOpen());
  EXPECT_EQ(modalsWithStatusOpen, std::vector<bool>{false});
  EXPECT_EQ(globals::FameList[7].substr(0, 9), "Ada,7600,") << "entered above the 7500 row";
  EXPECT_EQ(std::pair(g.round, globals::gTotScore), std::pair(1, 0)) << "a new game at once";
  fw::test::Advance(800);
  EXPECT_NE(fw::windows::Find(typeid(HallOfFame)), nullptr);
}

TEST_F(RoundScrnTest, EndGameInAGameThatGoesOnAsksToSaveItAfterClosing) {
  using Pressed = fw::MessageDialog::Pressed;
  std::vector<bool> asked;
  Pressed answer = Pressed::Cancel;
  fw::test::OnDialog([&](const fw::MessageDialog& d) {
    asked.push_back(StatusOpen());
    EXPECT_EQ(d.Message, "Save the current game before quitting?");
    return answer;
  });
  GameScrn& g = PlayAt(4);
  RoundScrn& w = Status(600, 60, 4, true);
  Click(w, w.EndBtn);
  EXPECT_EQ(asked, std::vector<bool>{false});
  EXPECT_EQ(g.round, 5) << "Cancel plays on with the next round";

  answer = Pressed::Alternate;
  RoundScrn& again = Status(600, 60, 5, true);
  Click(again, again.EndBtn);
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(std::pair(g.round, globals::gTotScore), std::pair(1, 0)) << "\"Don't Save\": a new game";
}

}  // namespace
