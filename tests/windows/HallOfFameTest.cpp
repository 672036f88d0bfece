// The hall-of-fame window: the stored rows in three columns, the new row selected once,
// showing it again while open, and the ways it closes and what closing starts.
#include "windows/HallOfFame.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/TestHooks.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/RoundScrn.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr int kListLeft = 20, kListTop = 26, kListHeight = 200;

Rows Shown(const HallOfFame& w) {
  Rows rows;
  for (int i = 0; i < w.ListBox1.ListCount(); ++i)
    rows.push_back({w.ListBox1.Cell(i, 0), w.ListBox1.Cell(i, 1), w.ListBox1.Cell(i, 2)});
  return rows;
}

// The rows of the selection's highlight, the one bluish band in the list.
std::pair<int, int> Highlight(const fw::Picture& img) {
  std::pair<int, int> band{-1, -1};
  for (int y = kListTop + 2; y < kListTop + kListHeight - 2; ++y) {
    fw::Color c = img.Pixel(kListLeft + 5, y);
    if (c.b <= c.r + 60) continue;
    if (band.first < 0) band.first = y;
    band.second = y;
  }
  return band;
}

class HallOfFameTest : public testing::Test {
 protected:
  void SetUp() override {
    globals::gR = fw::New<fw::Random>();
    fw::test::SetResourcesFolder(ZEMBO_MEDIA_DIR);
    picHolder::initPics();
    for (int i = 0; i < globals::kFameRows; ++i)
      globals::FameList[static_cast<std::size_t>(i)] = "P" + std::to_string(i) + "," + std::to_string(9000 - 1000 * i) + ",3/4/26";
    // The play window is always there beneath; what it shows modally is closed unseen.
    fw::test::OnModal([](fw::Window& w) { w.Close(); });
    GameScrn::Instance();
    globals::gAddedLine = -1;
  }

  // The play window with a game at this round, prepared and not yet started.
  GameScrn& PlayAt(int round) {
    GameScrn& g = GameScrn::Instance();
    g.initStartVars();
    g.round = round - 1;
    g.reinit();
    return g;
  }

  // What checkScore does for a total that enters at row index.
  static void Insert(int index, const std::string& row) {
    for (int i = globals::kFameRows - 1; i > index; --i)
      globals::FameList[static_cast<std::size_t>(i)] = globals::FameList[static_cast<std::size_t>(i - 1)];
    globals::FameList[static_cast<std::size_t>(index)] = row;
    globals::gAddedLine = index;
  }

  static void ReleaseClose(HallOfFame& w, int x, int y) {
    fw::test::PressMouse(w, 180, 261);
    EXPECT_EQ(std::pair(w.closeBtn.Left(), w.closeBtn.Top()), std::pair(122, 248)) << "pressed";
    fw::test::ReleaseMouse(w, x, y);
  }
};

TEST_F(HallOfFameTest, ListsTheStoredRowsAsTheyStand) {
  globals::FameList[4] = "Nobody,000,1/1/26";
  globals::FameList[6] = "Solo";
  globals::FameList[7] = "Ann,Lee,700,5/6/26";
  HallOfFame& w = HallOfFame::Instance();
  Rows rows = Shown(w);
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"P0", "9000", "3/4/26"}));
  EXPECT_EQ(rows[4], (std::vector<std::string>{"Nobody", "000", "1/1/26"})) << "the stored text, not a number";
  EXPECT_EQ(rows[6], (std::vector<std::string>{"Solo", "", ""}));
  EXPECT_EQ(rows[7], (std::vector<std::string>{"Ann", "Lee", "700"})) << "only the first three fields";
  EXPECT_EQ(rows[9], (std::vector<std::string>{"P9", "0", "3/4/26"}));
  EXPECT_EQ(w.ListBox1.ListIndex(), -1) << "no new row, no selection";
}

TEST_F(HallOfFameTest, TheNewRowIsSelectedTheFirstTimeOnly) {
  Insert(3, "Ada,6500,3/4/26");
  HallOfFame& w = HallOfFame::Instance();
  w.Show();
  EXPECT_EQ(Shown(w)[3], (std::vector<std::string>{"Ada", "6500", "3/4/26"}));
  EXPECT_EQ(w.ListBox1.ListIndex(), 3);
  EXPECT_EQ(globals::gAddedLine, -1);
  fw::test::Advance(1);
  auto band = Highlight(*fw::test::Render(w));
  EXPECT_GT(band.first, kListTop + 3 * 12) << "the fourth row is highlighted, below the heading and three rows";

  w.Close();
  fw::test::Advance(1);
  HallOfFame& again = HallOfFame::Instance();
  again.Show();
  EXPECT_EQ(again.ListBox1.ListIndex(), -1);
  EXPECT_EQ(Highlight(*fw::test::Render(again)).first, -1);
}

TEST_F(HallOfFameTest, ShownAgainWhileOpenItTakesInTheNewRow) {
  HallOfFame& w = HallOfFame::Instance();
  w.Show();
  w.ListBox1.SetListIndex(5);
  w.Show();
  EXPECT_EQ(w.ListBox1.ListIndex(), 5) << "nothing new: the list is left as the player has it";

  Insert(1, "Ada,8500,3/4/26");
  HallOfFame::Instance().Show();
  EXPECT_EQ(&HallOfFame::Instance(), &w) << "the same window";
  EXPECT_EQ(Shown(w)[1], (std::vector<std::string>{"Ada", "8500", "3/4/26"}));
  EXPECT_EQ(Shown(w)[2], (std::vector<std::string>{"P1", "8000", "3/4/26"}));
  EXPECT_EQ(Shown(w).size(), 10u);
  EXPECT_EQ(w.ListBox1.ListIndex(), 1);
  EXPECT_EQ(globals::gAddedLine, -1);

  // Rows cleared meanwhile show as they now stand.
  globals::FameList.fill("Nobody,000,3/4/26");
  w.Show();
  EXPECT_EQ(Shown(w)[1], (std::vector<std::string>{"Nobody", "000", "3/4/26"}));
  EXPECT_EQ(w.ListBox1.ListIndex(), -1);
}

TEST_F(HallOfFameTest, TheLayoutAsDocumented) {
  HallOfFame& w = HallOfFame::Instance();
  EXPECT_EQ(w.Title(), "Hall of Fame");
  EXPECT_EQ(std::pair(w.Width(), w.Height()), std::pair(360, 290));
  std::vector<std::string> order;
  for (const fw::Control* c : w.Controls()) order.push_back(c->Name());
  EXPECT_EQ(order, (std::vector<std::string>{"ListBox1", "StaticText1", "closeBtn"}));
  EXPECT_EQ(w.ListBox1.ColumnCount(), 3);
  EXPECT_EQ((std::vector<std::string>{w.ListBox1.Heading(0), w.ListBox1.Heading(1), w.ListBox1.Heading(2)}),
            (std::vector<std::string>{"Name", "Score", "Date"}));
  EXPECT_EQ(w.StaticText1.Text(), "** Zembo ** High Scores");
  EXPECT_EQ(w.closeBtn.getTitle(), "Close");
  EXPECT_EQ(std::vector<int>({w.closeBtn.Left(), w.closeBtn.Top(), w.closeBtn.Width(), w.closeBtn.Height()}),
            std::vector<int>({120, 246, 120, 30}));

  fw::Ref<fw::Picture> img = fw::test::Render(w);
  int title = 0, caption = 0, face = 0;
  for (int y = 3; y < 23; ++y)
    for (int x = 20; x < 340; ++x) {
      fw::Color c = img->Pixel(x, y);
      title += c.r > 200 && c.g < 150 && c.b > 180 ? 1 : 0;
    }
  for (int y = 246; y < 276; ++y)
    for (int x = 120; x < 240; ++x) {
      fw::Color c = img->Pixel(x, y);
      caption += c.r > 225 && c.g > 225 && c.b > 225 ? 1 : 0;
      face += c.b > c.r + 40 ? 1 : 0;
    }
  EXPECT_GT(title, 20) << "the heading in its pink";
  EXPECT_GT(face, 1000) << "the button's face";
  EXPECT_GT(caption, 20) << "the light caption";
}

TEST_F(HallOfFameTest, NoCloseBox) {
  HallOfFame& w = HallOfFame::Instance();
  fw::test::ClickCloseBox(w);
  fw::test::Advance(1);
  EXPECT_TRUE(w.IsOpen());
}

// A closed window may be gone by the time its closer returns: ask the registry.
bool HallShown() { return fw::windows::Find(typeid(HallOfFame)) != nullptr; }

TEST_F(HallOfFameTest, CloseReturnAndEnterCloseIt) {
  for (const char* key : {"\r", "\x03"}) {
    HallOfFame& w = HallOfFame::Instance();
    w.ListBox1.SetFocus();
    fw::test::TypeKey(w, key);
    EXPECT_FALSE(HallShown());
    fw::test::Advance(1);
  }
  HallOfFame& w = HallOfFame::Instance();
  fw::test::TypeKey(w, "x");
  fw::test::TypeKey(w, "\x1b");
  EXPECT_TRUE(w.IsOpen()) << "other keys do nothing";
  ReleaseClose(w, 10, 10);
  EXPECT_FALSE(HallShown()) << "released away from the button, it still acts";
  EXPECT_EQ(std::pair(w.closeBtn.Left(), w.closeBtn.Top()), std::pair(120, 246)) << "back in place";
}

TEST_F(HallOfFameTest, ClosingAfterAnAbortStartsTheNewGameThatWaitedForIt) {
  savedInfo::isSavedGame = true;
  for (int way = 0; way < 3; ++way) {
    GameScrn& g = PlayAt(9);
    g.hndlRunAction();
    g.bltCt = 3;
    globals::gTotScore = 4200;
    g.hndlAbort();
    ASSERT_EQ(g.round, 9) << "no new game before the hall of fame has closed";
    fw::test::Advance(800);
    auto* w = dynamic_cast<HallOfFame*>(fw::windows::Find(typeid(HallOfFame)));
    ASSERT_NE(w, nullptr) << "shown by the play window's timer";
    // Each abort's total goes below the equal ones before it.
    EXPECT_EQ(w->ListBox1.Cell(5 + way, 1), "4200");
    EXPECT_EQ(w->ListBox1.ListIndex(), 5 + way);
    if (way == 0) ReleaseClose(*w, 180, 261);
    if (way == 1) fw::test::TypeKey(*w, "\r");
    if (way == 2) fw::test::TypeKey(*w, "\x03");
    EXPECT_EQ(fw::windows::Find(typeid(HallOfFame)), nullptr);
    EXPECT_EQ(std::tuple(g.round, g.bltCt, globals::gTotScore), std::tuple(1, 10, 0)) << "way " << way;
    EXPECT_TRUE(g.runBtn.Visible());
    fw::test::Advance(1);
  }
  EXPECT_TRUE(fw::test::DialogsShown().empty()) << "the saved game is not offered";
}

TEST_F(HallOfFameTest, ClosingDuringARunningOrPausedRoundLeavesItBe) {
  GameScrn& g = PlayAt(1);
  globals::gTotScore = 0;
  g.hndlRunAction();
  ASSERT_TRUE(g.gameRunning);
  // Points, shots and a ball spent in the round so far.
  g.curScore = 350;
  g.bltCt = 4;
  g.ballCt = 1;
  fw::Ref<fw::Sprite> paddle = g.myPAD;
  auto untouched = [&] {
    return g.gameRunning && g.round == 1 && g.curScore == 350 && g.bltCt == 4 && g.ballCt == 1 &&
           !g.runBtn.Visible() && paddle->IsAttached();
  };
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  fw::test::TypeKey(HallOfFame::Instance(), "\r");
  EXPECT_EQ(fw::windows::Find(typeid(HallOfFame)), nullptr);
  EXPECT_TRUE(untouched()) << "running";

  g.isPause = true;  // paused: gameRunning stays on
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  ReleaseClose(HallOfFame::Instance(), 180, 261);
  EXPECT_TRUE(untouched()) << "paused";
  EXPECT_TRUE(g.isPause);
}

TEST_F(HallOfFameTest, ClosingAfterTheRoundEndedLeavesTheGameBe) {
  GameScrn& g = PlayAt(1);
  g.hndlRunAction();
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  g.hndlDone(true);  // the round is won while the list is open
  fw::test::Advance(2000);
  ASSERT_FALSE(g.gameRunning);
  globals::gTotScore = 900;
  ReleaseClose(HallOfFame::Instance(), 180, 261);
  EXPECT_EQ(std::pair(g.round, globals::gTotScore), std::pair(1, 900)) << "its status window still open";

  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  g.reinit();  // Next Round
  fw::test::TypeKey(HallOfFame::Instance(), "\r");
  EXPECT_EQ(std::pair(g.round, globals::gTotScore), std::pair(2, 900)) << "the next round prepared";
}

TEST_F(HallOfFameTest, ClosingBeforeTheFirstRoundPreparesItAgainAndShowsTheInstructionsOnce) {
  GameScrn& g = PlayAt(1);
  g.bltCt = 4;
  globals::gIsNewPlayer = true;
  std::vector<std::string> modals;
  fw::test::OnModal([&](fw::Window& m) {
    modals.push_back(m.Title());
    m.Close();
  });
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  fw::test::TypeKey(HallOfFame::Instance(), "\r");
  fw::test::Advance(1);
  EXPECT_EQ(modals.size(), 1u) << "the instructions, shown modally by the new game";
  EXPECT_FALSE(globals::gIsNewPlayer);
  EXPECT_EQ(std::pair(g.round, g.bltCt), std::pair(1, 10));
}

TEST_F(HallOfFameTest, AGameEndedWhileItIsOpenShowsItsRowThere) {
  GameScrn& g = PlayAt(1);
  globals::gCurPlayer = "Ada";
  ASSERT_TRUE(fw::test::ChooseMenu("InformationShow"));
  HallOfFame& w = HallOfFame::Instance();
  w.ListBox1.SetListIndex(8);
  g.hndlRunAction();
  g.curScore = 6500;
  g.ballCt = 0;
  g.hndlDone(false);
  fw::test::Advance(2000);
  RoundScrn* status = nullptr;
  for (fw::Window* o : fw::windows::All())
    if (auto* r = dynamic_cast<RoundScrn*>(o)) status = r;
  ASSERT_NE(status, nullptr);
  fw::test::TypeKey(*status, "\r");  // End Game, the default after the last ball
  fw::test::Advance(800);
  ASSERT_EQ(fw::windows::Find(typeid(HallOfFame)), &w) << "still the one window";
  EXPECT_EQ(Shown(w)[3][0] + "," + Shown(w)[3][1], "Ada,6500");
  EXPECT_EQ(Shown(w)[4][1], "6000");
  EXPECT_EQ(w.ListBox1.ListIndex(), 3);
  EXPECT_EQ(globals::gAddedLine, -1);
}

}  // namespace
