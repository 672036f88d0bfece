// Windows as the secondary screens use them: activation, focus, windows of their own,
// refused close requests, modal blocking, menu commands and bottom-locked controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Menu.h"
#include "framework/PushButton.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

struct Status : fw::Window {
  Status(int points, bool won) : points(points), won(won) {
    SetSize(400, 210);
    SetCloseButton(false);
    for (fw::EditField* f : {&pts, &total}) {
      f->SetReadOnly(true);
      f->KeyDown = [this](const std::string&) { return ++fieldKeys, true; };
    }
    pts.SetText(std::to_string(points));
    next.SetCaption("Next Round");
    next.SetDefault(won);
    next.Action = [this] { ++nexts; };
  }
  void Event_Activate() override {
    ++activations;
    ClearFocus();
  }
  bool Event_CancelClose() override { return ++cancelAsks, false; }

  int points;
  bool won;
  int activations = 0, fieldKeys = 0, nexts = 0, cancelAsks = 0;
  fw::EditField pts{this, "PtsFld", 212, 55, 80, 22};
  fw::EditField total{this, "AllTotalFld", 212, 130, 80, 22};
  fw::PushButton next{this, "ContBtn", 80, 170, 100, 20};
};

TEST(WindowBehaviour, WindowsOfTheirOwnLiveSideBySideUntilEachCloses) {
  Status& a = fw::Open<Status>(1200, true);
  Status& b = fw::Open<Status>(300, false);
  EXPECT_NE(&a, &b);
  EXPECT_EQ(a.pts.Text(), "1200");
  EXPECT_EQ(b.pts.Text(), "300");
  EXPECT_TRUE(a.IsVisible());
  EXPECT_TRUE(b.IsVisible());
  EXPECT_EQ(fw::windows::Find(typeid(Status)), nullptr) << "they are not the implicit instance";
  EXPECT_EQ(fw::windows::All().size(), 2u);

  a.Close();
  fw::test::Advance(1);
  EXPECT_EQ(fw::windows::All().size(), 1u);
  EXPECT_EQ(fw::windows::All().front(), &b);
  EXPECT_EQ(b.pts.Text(), "300") << "closing one leaves the other as it was";
}

TEST(WindowBehaviour, ActivationClearsTheFocusSoReturnReachesTheDefaultButton) {
  Status& w = fw::Open<Status>(500, true);
  fw::test::Advance(1);
  EXPECT_GE(w.activations, 1) << "showing a window makes it the active one";
  w.pts.SetFocus();
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.fieldKeys, 1);
  EXPECT_EQ(w.nexts, 0) << "the field took Return";

  // Another window comes in front; coming back makes this one active again.
  Status& other = fw::Open<Status>(0, false);
  fw::test::Advance(1);
  int before = w.activations;
  w.pts.SetFocus();
  w.Show();
  fw::test::Advance(1);
  EXPECT_GT(w.activations, before);
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.fieldKeys, 1) << "no field holds the focus after activation";
  EXPECT_EQ(w.nexts, 1);
  (void)other;
}

TEST(WindowBehaviour, WithoutACloseBoxCloseRequestsAreRefused) {
  Status& w = fw::Open<Status>(0, true);
  fw::test::ClickCloseBox(w);
  EXPECT_TRUE(w.IsOpen());
  EXPECT_TRUE(w.IsVisible());
  EXPECT_EQ(w.cancelAsks, 0);

  w.SetCloseButton(true);
  fw::test::ClickCloseBox(w);
  EXPECT_EQ(w.cancelAsks, 1);
  EXPECT_FALSE(w.IsOpen());
}

struct Play : fw::Window {
  Play() {
    SetSize(300, 200);
    AddMenuHandler("FileNewPlayer", [this] { return log.push_back("play new player"), false; });
    AddMenuHandler("InformationShow", [this] { return log.push_back("play show"), false; });
  }
  void Event_EnableMenuItems() override {
    log.push_back("play enable");
    if (!gameRunning) item("FileNewPlayer")->SetEnabled(true);
  }
  fw::MenuItem* item(std::string_view name) { return GetMenuBar()->Child("File")->Child(name); }
  std::vector<std::string> log;
  bool gameRunning = false;
};

struct Side : fw::Window {
  Side() {
    SetSize(200, 100);
    AddMenuHandler("InformationShow", [this] { return ++shows, false; });
  }
  int shows = 0;
};

struct About : fw::Window {
  About() { SetSize(200, 100); }
};

std::unique_ptr<fw::MenuBar> MakeBar() {
  auto bar = std::make_unique<fw::MenuBar>();
  auto file = std::make_unique<fw::MenuItem>();
  file->SetName("File");
  file->SetText("File");
  for (const char* name : {"FileNewPlayer", "InformationShow"}) {
    auto it = std::make_unique<fw::MenuItem>();
    it->SetName(name);
    it->SetText(name);
    it->SetAutoEnable(std::string_view(name) == "InformationShow");
    file->Append(std::move(it));
  }
  bar->Append(std::move(file));
  return bar;
}

TEST(WindowBehaviour, MenuCommandsGoToTheMenuBarsOwnerBehindAWindowWithoutOne) {
  auto bar = MakeBar();
  Play& play = fw::Implicit<Play>();
  play.SetMenuBar(bar.get());
  fw::Implicit<About>();  // a plain window in front, with no menu bar and no handlers

  EXPECT_TRUE(fw::test::ChooseMenu("FileNewPlayer")) << "the owner's enabling pass still runs";
  EXPECT_EQ(play.log, (std::vector<std::string>{"play enable", "play new player"}));

  // A front window that handles the item gets it.
  Side& side = fw::Implicit<Side>();
  play.log.clear();
  EXPECT_TRUE(fw::test::ChooseMenu("InformationShow"));
  EXPECT_EQ(side.shows, 1);
  EXPECT_EQ(play.log, std::vector<std::string>{"play enable"});

  play.gameRunning = true;
  EXPECT_FALSE(fw::test::ChooseMenu("FileNewPlayer"));
}

TEST(WindowBehaviour, AModalWindowBlocksTheOthersAndTheirMenus) {
  auto bar = MakeBar();
  Play& play = fw::Implicit<Play>();
  play.SetMenuBar(bar.get());
  About& about = fw::Implicit<About>();  // already on screen when it turns modal
  int shown = 0;
  fw::test::OnShown([&](fw::Window&) { ++shown; });
  bool blockedDuring = false, aboutBlocked = true, menuDuring = true;
  fw::test::OnModal([&](fw::Window& w) {
    blockedDuring = fw::test::IsBlocked(play);
    aboutBlocked = fw::test::IsBlocked(w);
    menuDuring = fw::test::ChooseMenu("InformationShow");
    w.Close();
  });
  about.ShowModal();
  EXPECT_TRUE(blockedDuring);
  EXPECT_FALSE(aboutBlocked);
  EXPECT_FALSE(menuDuring) << "the play window's menus wait for the modal window";
  EXPECT_EQ(shown, 0) << "a window already on screen is not reported as shown again";
  fw::test::Advance(1);
  EXPECT_FALSE(fw::test::IsBlocked(play));
  EXPECT_TRUE(fw::test::ChooseMenu("InformationShow"));
  EXPECT_EQ(play.log.back(), "play show");
}

struct Instructions : fw::Window {
  Instructions() {
    SetResizeable(true);
    SetSize(640, 440);
    text.SetLockBottom(true);
  }
  void Event_Open() override { SetSize(640, 400); }  // the layout moves nothing before it opens
  fw::StaticText text{this, "StaticText4", 75, 50, 540, 260};
  fw::StaticText fixed{this, "StaticText1", 155, 4, 340, 20};
};

TEST(WindowBehaviour, BottomLockedControlsFollowTheHeightOnceOpen) {
  Instructions& w = fw::Implicit<Instructions>();
  EXPECT_TRUE(w.text.LockBottom());
  EXPECT_EQ(w.text.Top(), 10) << "the height set as it opened moved it up by 40";
  w.SetSize(640, 500);
  EXPECT_EQ(w.text.Top(), 110);
  EXPECT_EQ(w.fixed.Top(), 4) << "controls not locked keep their place";
  EXPECT_EQ(w.text.Left(), 75);
  EXPECT_EQ(w.text.Height(), 260);

  fw::test::DragSize(w, 700, 480);
  EXPECT_EQ(w.Height(), 480);
  EXPECT_EQ(w.text.Top(), 90) << "the player's resizing moves it too";
  EXPECT_EQ(w.fixed.Top(), 4);
}

}  // namespace
