// Windows as the secondary screens use them: windows of their own, activation and focus,
// refused close requests, modal blocking, menu commands and marks, and bottom-locked controls.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Menu.h"
#include "framework/PushButton.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using Log = std::vector<std::string>;

struct Status : fw::Window {
  explicit Status(int points) {
    SetSize(400, 210);
    SetCloseButton(false);
    pts.SetText(std::to_string(points));
    pts.KeyDown = [this](const std::string&) { return ++fieldKeys, true; };
    next.SetDefault(true);
    next.Action = [this] { ++nexts; };
  }
  void Event_Activate() override { ++activations, ClearFocus(); }
  bool Event_CancelClose() override {
    if (onCancelClose) onCancelClose();
    return ++cancelAsks, false;
  }
  std::function<void()> onCancelClose;

  int activations = 0, fieldKeys = 0, nexts = 0, cancelAsks = 0;
  fw::EditField pts{this, "PtsFld", 212, 55, 80, 22};
  fw::PushButton next{this, "ContBtn", 80, 170, 100, 20};
};

TEST(WindowBehaviour, WindowsOfTheirOwnLiveSideBySideAndCloseOnlyThemselves) {
  Status& a = fw::Open<Status>(1200);
  Status& b = fw::Open<Status>(300);
  EXPECT_TRUE(a.IsVisible() && b.IsVisible());
  EXPECT_EQ(fw::windows::Find(typeid(Status)), nullptr) << "neither is the implicit instance";

  fw::test::ClickCloseBox(a);
  EXPECT_TRUE(a.IsOpen()) << "without a close box the platform's close request is refused";
  EXPECT_EQ(a.cancelAsks, 0);
  a.Close();
  fw::test::Advance(1);
  ASSERT_EQ(fw::windows::All(), std::vector<fw::Window*>{&b});
  EXPECT_EQ(b.pts.Text(), "300");

  // With a close box, the window is asked and closes (and is gone by the next pass).
  b.SetCloseButton(true);
  int asked = 0;
  b.onCancelClose = [&] { ++asked; };
  fw::test::ClickCloseBox(b);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(fw::windows::All().empty());
}

TEST(WindowBehaviour, EachActivationClearsTheFocusSoReturnReachesTheDefaultButton) {
  Status& w = fw::Open<Status>(500);
  fw::test::Advance(1);
  EXPECT_EQ(w.activations, 1);
  w.pts.SetFocus();
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.nexts, 0) << "the focused field swallowed Return";

  fw::Open<Status>(0);
  fw::test::Advance(1);
  w.Show();
  fw::test::Advance(1);
  EXPECT_EQ(w.activations, 2) << "coming back in front makes it active again";
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.fieldKeys, 1);
  EXPECT_EQ(w.nexts, 1);
}

struct Play : fw::Window {
  Play() {
    SetSize(300, 200);
    for (const char* item : {"FileNewPlayer", "InformationShow"})
      AddMenuHandler(item, [this, item] { return log.push_back(item), false; });
    auto file = std::make_unique<fw::MenuItem>();
    file->SetName("File");
    for (const char* name : {"FileNewPlayer", "InformationShow"}) {
      auto it = std::make_unique<fw::MenuItem>();
      it->SetName(name);
      it->SetAutoEnable(std::string_view(name) == "InformationShow");
      file->Append(std::move(it));
    }
    bar.Append(std::move(file));
    SetMenuBar(&bar);
  }
  void Event_EnableMenuItems() override {
    log.push_back("enable");
    if (!gameRunning) GetMenuBar()->Child("File")->Child("FileNewPlayer")->SetEnabled(true);
  }
  fw::MenuBar bar;
  Log log;
  bool gameRunning = false;
};

struct Side : fw::Window {
  Side() { AddMenuHandler("InformationShow", [this] { return ++shows, false; }); }
  int shows = 0;
};

struct About : fw::Window {};

TEST(WindowBehaviour, MenuCommandsGoToTheMenuBarsOwnerUnlessTheFrontWindowHandlesThem) {
  Play& play = fw::Implicit<Play>();
  fw::Implicit<About>();  // in front, with no menu bar and no handlers
  EXPECT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_EQ(play.log, (Log{"enable", "FileNewPlayer"}));

  Side& side = fw::Implicit<Side>();
  EXPECT_TRUE(fw::test::ChooseMenu("InformationShow"));
  EXPECT_EQ(side.shows, 1);
  play.gameRunning = true;
  EXPECT_FALSE(fw::test::ChooseMenu("FileNewPlayer")) << "the owner's enabling still decides";
  EXPECT_EQ(play.log, (Log{"enable", "FileNewPlayer", "enable", "enable"}));
}

TEST(WindowBehaviour, AModalWindowBlocksTheOthersAndTheirMenus) {
  Play& play = fw::Implicit<Play>();
  About& about = fw::Implicit<About>();  // already on screen when it turns modal
  int shown = 0;
  fw::test::OnShown([&](fw::Window&) { ++shown; });
  std::vector<bool> during;
  fw::test::OnModal([&](fw::Window& w) {
    during = {fw::test::IsBlocked(play), fw::test::IsBlocked(w), fw::test::ChooseMenu("InformationShow")};
    w.Close();
  });
  about.ShowModal();
  EXPECT_EQ(during, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(shown, 0) << "a window already on screen is not reported as shown again";
  fw::test::Advance(1);
  EXPECT_FALSE(fw::test::IsBlocked(play));
  EXPECT_TRUE(fw::test::ChooseMenu("InformationShow"));
}

struct Levels : fw::Window {
  Levels() {
    auto info = std::make_unique<fw::MenuItem>();
    info->SetName("Information");
    auto speed = std::make_unique<fw::MenuItem>();
    speed->SetName("Difficulty");
    for (const char* name : {"Hard", "Medium", "Easy"}) {
      auto it = std::make_unique<fw::MenuItem>();
      it->SetName(name);
      speed->Append(std::move(it));
    }
    info->Append(std::move(speed));
    bar.Append(std::move(info));
    SetMenuBar(&bar);
  }
  // Marks one level and clears the others, the game's way.
  void Choose(std::string_view level) {
    fw::MenuItem* speed = bar.Child("Information")->Child("Difficulty");
    for (int i = 0; i < speed->Count(); ++i) speed->Item(i)->SetChecked(speed->Item(i)->Name() == level);
  }
  std::vector<fw::test::MenuMark> Marks() {
    fw::MenuItem* speed = bar.Child("Information")->Child("Difficulty");
    std::vector<fw::test::MenuMark> marks;
    for (int i = 0; i < speed->Count(); ++i) marks.push_back(fw::test::MenuMarkOf(*speed->Item(i)));
    return marks;
  }
  fw::MenuBar bar;
};

TEST(WindowBehaviour, EveryItemOfAMenuWithACheckMarkLooksAlike) {
  using Mark = fw::test::MenuMark;
  Levels& w = fw::Implicit<Levels>();
  w.Choose("Medium");
  w.Choose("Easy");
  EXPECT_EQ(w.Marks(), (std::vector<Mark>{Mark::Empty, Mark::Empty, Mark::Ticked}));
}

struct Instructions : fw::Window {
  Instructions() {
    SetResizeable(true);
    SetSize(640, 440);
    text.SetLockBottom(true);
  }
  void Event_Open() override { SetSize(640, 400); }
  fw::StaticText text{this, "StaticText4", 75, 50, 540, 260};
  fw::StaticText fixed{this, "StaticText1", 155, 4, 340, 20};
};

TEST(WindowBehaviour, BottomLockedControlsFollowTheHeightOnceOpen) {
  Instructions& w = fw::Implicit<Instructions>();
  EXPECT_EQ(w.text.Top(), 10) << "the layout's sizes moved nothing; the height set as it opened did";
  w.SetSize(640, 500);
  EXPECT_EQ(w.text.Top(), 110);
  fw::test::DragSize(w, 700, 480);
  EXPECT_EQ(w.text.Top(), 90) << "the player's resizing moves it too";
  EXPECT_EQ(w.fixed.Top(), 4);
  EXPECT_EQ(w.text.Height(), 260);
}

}  // namespace
