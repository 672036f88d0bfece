// The play window as it opens: settings, controls in order, difficulty marks.
#include "tests/game/GameFixture.h"

#include "framework/Menu.h"

namespace {

using LayoutTest = GameFixture;

bool Checked(GameScrn& w, std::string_view name) {
  bool checked = false;
  fw::ForEachItem(*w.GetMenuBar(), [&](fw::MenuItem& item) {
    if (item.Name() == name) checked = item.Checked();
  });
  return checked;
}

TEST_F(LayoutTest, ControlsInCreationOrder) {
  GameScrn& w = Start();
  EXPECT_EQ(w.Title(), "Vivuz ide Zevezer");
  EXPECT_EQ(w.Width(), 640);
  EXPECT_EQ(w.Height(), 520);
  std::vector<std::string> names;
  for (fw::Control* c : w.Controls()) names.push_back(c->Name());
  const std::vector<std::string> expected = {
      "mySS", "ScoreCnv", "StaticText1", "StaticText2", "StaticText3", "StaticText4", "StaticText5",
      "StaticText6", "StaticText7", "Separator1", "ballCnv", "ballCnv", "ballCnv", "ballCnv", "ballCnv",
      "ballCnv", "ballCnv", "StaticText9", "StaticText8", "Separator2", "Separator3", "RndTxt", "Line1",
      "timeCnv", "BltCnv", "pauseInfo", "BltCtCnv", "stlFocus", "dblCnv", "StaticText10", "runBtn"};
  EXPECT_EQ(names, expected);
  for (int i = 0; i < 7; ++i) {
    fw::Control* c = w.FindControl("ballCnv", i);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Left(), 520 + 16 * i);
    EXPECT_EQ(c->Top(), 99);
    EXPECT_EQ(c->Width(), 8);
  }
  EXPECT_EQ(w.roundTimer.Period(), 2000);
  EXPECT_EQ(w.showTimer.Period(), 800);
  EXPECT_EQ(w.roundTimer.GetMode(), fw::Timer::kOff);
  EXPECT_GE(w.stlFocus.Left(), w.Width());
  EXPECT_EQ(w.mySS.BackColor(), fw::RGB(14, 18, 40));
  EXPECT_EQ(w.ScoreCnv.Backdrop(), ScoreBkg());
}

TEST_F(LayoutTest, OpeningPreparesANewGameAtMedium) {
  GameScrn& w = Start({.difficulty = 1});
  EXPECT_EQ(globals::gAddedLine, -1);
  EXPECT_EQ(globals::gDiffFactor, 1);
  EXPECT_EQ(globals::gSpeed, 1);
  EXPECT_TRUE(Checked(w, "GameSpeedMedium"));
  EXPECT_FALSE(Checked(w, "GameSpeedSlow"));
  EXPECT_EQ(w.round, 1);
  EXPECT_EQ(w.runBtn.getTitle(), "New Game");
  EXPECT_EQ(globals::gPadWidth, 64);
  w.setSpeedMenu(2);
  EXPECT_TRUE(Checked(w, "GameSpeedFast"));
  EXPECT_FALSE(Checked(w, "GameSpeedMedium"));
  w.setSpeedMenu(7);
  EXPECT_EQ(globals::gDiffFactor, 7);
  EXPECT_EQ(globals::gSpeed, 7);
  EXPECT_TRUE(Checked(w, "GameSpeedFast"));
}

TEST_F(LayoutTest, HiddenFieldTakesTheFocusAndSwallowsKeys) {
  GameScrn& w = Play();
  ASSERT_TRUE(w.stlFocus.KeyDown);
  EXPECT_TRUE(w.stlFocus.KeyDown("x"));
  EXPECT_EQ(w.stlFocus.Text(), "");
}

}  // namespace
