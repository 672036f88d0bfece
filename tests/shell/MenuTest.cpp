#include "shell/Menu.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "framework/TestHooks.h"
#include "framework/Window.h"
#include "game/GameScrn.h"
#include "shell/globals.h"

namespace {

using Kind = fw::MenuItem::Kind;

struct Row {
  std::string parent, name, text, shortcut;
  bool autoEnable;
  Kind kind;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Flatten(const fw::MenuItem& root) {
  std::vector<Row> rows;
  fw::ForEachItem(root, [&](fw::MenuItem& it) {
    rows.push_back({it.Parent() == &root ? "" : it.Parent()->Name(), it.Name(), it.Text(), it.KeyboardShortcut(),
                    it.AutoEnable(), it.GetKind()});
  });
  return rows;
}

TEST(Menu, IsOneInstanceWithTheWholeTreeInOrder) {
  Menu& bar = Menu::Instance();
  EXPECT_EQ(&bar, &Menu::Instance());
  const std::vector<Row> expected = {
      {"", "UntitledMenu2", "File", "", false, Kind::Plain},
      {"UntitledMenu2", "FileNewPlayer", "New Player", "Cmd+N", true, Kind::Plain},
      {"UntitledMenu2", "FileSaveGame", "Save Game", "Cmd+S", false, Kind::Plain},
      {"UntitledMenu2", "FileAbortGame", "Abort Game", "", true, Kind::Plain},
      {"UntitledMenu2", "FileQuit", "&Quit", "Cmd+Cmd+Q", true, Kind::Quit},
      {"", "UntitledMenu0", "Edit", "", false, Kind::Plain},
      {"UntitledMenu0", "EditUndo", "Undo", "Cmd+Z", false, Kind::Plain},
      {"UntitledMenu0", "UntitledMenu1", "-", "", false, Kind::Plain},
      {"UntitledMenu0", "EditCut", "Cut", "Cmd+X", false, Kind::Plain},
      {"UntitledMenu0", "EditCopy", "Copy", "Cmd+C", false, Kind::Plain},
      {"UntitledMenu0", "EditPaste", "Paste", "Cmd+V", false, Kind::Plain},
      {"UntitledMenu0", "EditClear", "Clear", "", false, Kind::Plain},
      {"", "HallOfFameMenu", "Information", "", false, Kind::Plain},
      {"HallOfFameMenu", "InformationShow", "Show High Scores", "", true, Kind::Plain},
      {"HallOfFameMenu", "InformationClear", "Clear High Scores", "", true, Kind::Plain},
      {"HallOfFameMenu", "InformationInstructions", "Instructions...", "", true, Kind::Plain},
      {"HallOfFameMenu", "InformationPractice", "Practice", "", true, Kind::Plain},
      {"InformationPractice", "PracticeBonus1", "Bonus 1", "", true, Kind::Plain},
      {"InformationPractice", "PracticeBonus2", "Bonus 2", "", true, Kind::Plain},
      {"InformationPractice", "PracticeRound7", "Round 7", "", true, Kind::Plain},
      {"HallOfFameMenu", "InformationGameSpeed", "Difficulty", "", true, Kind::Plain},
      {"InformationGameSpeed", "GameSpeedFast", "Hard", "", true, Kind::Plain},
      {"InformationGameSpeed", "GameSpeedMedium", "Medium", "", true, Kind::Plain},
      {"InformationGameSpeed", "GameSpeedSlow", "Easy", "", true, Kind::Plain},
      {"HallOfFameMenu", "InformationCheckVersion", "Check Version...", "", true, Kind::Plain},
      {"HallOfFameMenu", "AppleAboutZembo", "About Zembo", "", true, Kind::AppleMenu},
  };
  EXPECT_EQ(Flatten(bar), expected);
  EXPECT_EQ(bar.Count(), 3);
}

TEST(Menu, ItemsAreReachedByNamePath) {
  fw::MenuItem* medium =
      Menu::Instance().Child("HallOfFameMenu")->Child("InformationGameSpeed")->Child("GameSpeedMedium");
  ASSERT_NE(medium, nullptr);
  EXPECT_EQ(medium->Text(), "Medium");
  EXPECT_EQ(Menu::Instance().Child("HallOfFameMenu")->Child("GameSpeedMedium"), nullptr) << "only direct children";
}

TEST(Menu, ShortcutsUseCtrlForCmd) {
  EXPECT_EQ(fw::menus::ShortcutText("Cmd+N"), "Ctrl+N");
  EXPECT_EQ(fw::menus::ShortcutText("Cmd+Cmd+Q"), "Ctrl+Q");
  EXPECT_EQ(fw::menus::ShortcutText(""), "");
}

TEST(Menu, ThePlayWindowSharesTheBarAndQuitIsAlwaysOn) {
  // Opening the play window prepares a game, whose score panel draws from the random source.
  globals::gR = fw::New<fw::Random>();
  // The player is accepted as the play window opens: a game at round 1 is ready.
  fw::test::OnModal([](fw::Window& m) {
    m.Close();
    GameScrn::Instance().gameStart(true);
  });
  GameScrn& w = GameScrn::Instance();
  EXPECT_EQ(w.GetMenuBar(), &Menu::Instance());
  EXPECT_EQ(w.Title(), "Vivuz ide Zevezer");
  EXPECT_EQ(w.Width(), 640);
  EXPECT_EQ(w.Height(), 520);
  fw::menus::RunEnablePass(Menu::Instance());
  auto* file = Menu::Instance().Child("UntitledMenu2");
  EXPECT_TRUE(file->Child("FileQuit")->Enabled());
  EXPECT_TRUE(file->Child("FileNewPlayer")->Enabled());
  EXPECT_FALSE(file->Child("FileSaveGame")->Enabled()) << "the one command that does not enable itself";
  EXPECT_FALSE(Menu::Instance().Child("UntitledMenu0")->Child("EditCopy")->Enabled());
}

TEST(FileTypes, TextPlainIsDefinedOnce) {
  FileTypes::Initialize();
  ASSERT_NE(FileTypes::pTextPlain, nullptr);
  EXPECT_EQ(FileTypes::pTextPlain->Name, "text/plain");
  EXPECT_EQ(FileTypes::pTextPlain->MacType, "TEXT");
  EXPECT_EQ(FileTypes::pTextPlain->MacCreator, "bst*");
  EXPECT_EQ(std::count(FileTypes::pTextPlain->Extensions.begin(), FileTypes::pTextPlain->Extensions.end(), ';'), 16);
}

}  // namespace
