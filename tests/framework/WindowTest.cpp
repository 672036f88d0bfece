#include "framework/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/Application.h"
#include "framework/Clock.h"
#include "framework/Menu.h"
#include "framework/TestHooks.h"
#include "framework/Timer.h"
#include "framework/internal/Platform.h"

namespace {

using fw::test::Advance;

struct Probe : fw::Window {
  Probe() {
    SetSize(200, 100);
    SetTitle("Probe");
    label.Open = [this] { log.push_back("label open"); };
    canvas.MouseDown = [this](int x, int y) {
      log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
      return takeDown;
    };
    canvas.MouseUp = [this](int x, int y) { log.push_back("up " + std::to_string(x) + "," + std::to_string(y)); };
    canvas.Paint = [](fw::Graphics& g) {
      g.SetForeColor(fw::RGB(0, 0, 255));
      g.FillRect(0, 0, g.Width(), g.Height());
    };
  }
  void Event_Open() override { log.push_back("window open"); }
  void Event_Close() override { ++closes; }

  std::vector<std::string> log;
  bool takeDown = true;
  int closes = 0;
  fw::StaticText label{this, "label", 0, 0, 100, 20};
  fw::Canvas canvas{this, "canvas", 50, 50, 40, 30};
};

struct Other : fw::Window {};

TEST(Window, ImplicitInstanceIsMadeOnceAndAnewAfterClose) {
  Probe& a = fw::Implicit<Probe>();
  EXPECT_EQ(&a, &fw::Implicit<Probe>());
  EXPECT_EQ(a.log, (std::vector<std::string>{"label open", "window open"}));
  EXPECT_TRUE(a.IsVisible());
  EXPECT_EQ(a.Width(), 200);
  EXPECT_EQ(a.Height(), 100);

  a.Close();
  EXPECT_EQ(a.closes, 1);
  a.Close();
  EXPECT_EQ(a.closes, 1) << "closing twice closes once";
  EXPECT_EQ(fw::windows::Find(typeid(Probe)), nullptr);
  Advance(1);  // the closed window is destroyed at the next pass
  Probe& b = fw::Implicit<Probe>();
  EXPECT_EQ(b.log.size(), 2u);
  EXPECT_EQ(fw::windows::All().size(), 1u);
}

TEST(Window, ControlsAreFoundByName) {
  Probe& w = fw::Implicit<Probe>();
  EXPECT_EQ(w.FindControl("canvas"), &w.canvas);
  EXPECT_EQ(w.FindControl("nothing"), nullptr);
  w.canvas.SetLeft(52);
  EXPECT_EQ(w.canvas.Left(), 52);
}

TEST(Window, MouseUpGoesToTheCanvasThatTookTheDownWhereverItIsReleased) {
  Probe& w = fw::Implicit<Probe>();
  fw::test::PressMouse(w, 60, 55);
  fw::test::MoveMouse(w, 150, 90);
  fw::test::ReleaseMouse(w, 150, 90);
  EXPECT_EQ(w.log[2], "down 10,5");
  ASSERT_EQ(w.log.size(), 4u);
  EXPECT_EQ(w.log[3], "up 100,40") << "coordinates stay the canvas's own";

  w.takeDown = false;
  fw::test::PressMouse(w, 60, 55);
  fw::test::ReleaseMouse(w, 60, 55);
  EXPECT_EQ(w.log.back(), "down 10,5") << "a refused press gets no release";
}

TEST(Window, RendersItsControls) {
  Probe& w = fw::Implicit<Probe>();
  w.SetBackColor(fw::RGB(210, 225, 255), true);
  auto img = fw::test::Render(w);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->Width(), 200);
  EXPECT_EQ(img->Pixel(60, 60), fw::RGB(0, 0, 255));
  EXPECT_EQ(img->Pixel(10, 90), fw::RGB(210, 225, 255));
}

struct Sized : fw::Window {
  Sized(int width, int height) { SetSize(width, height); }
};

// A window larger than the screen's free area keeps its frame's top-left corner (the
// title bar, the menu bar) on that area; along a side where it fits it is centred.
TEST(Window, OpensCentredWithItsFramesTopLeftOnTheScreen) {
  const fw::test::ScreenBox area = fw::test::FreeScreenArea();
  // The frame's own edges are known only once it is on screen: centred within a few pixels.
  auto centred = [](int start, int length, int areaStart, int areaLength) {
    return std::abs((start + length / 2) - (areaStart + areaLength / 2)) <= 4;
  };
  fw::test::ScreenBox tall = fw::test::FrameOnScreen(fw::Open<Sized>(300, area.height + 100));
  EXPECT_EQ(tall.top, area.top);
  EXPECT_TRUE(centred(tall.left, tall.width, area.left, area.width)) << tall.left;
  fw::test::ScreenBox wide = fw::test::FrameOnScreen(fw::Open<Sized>(area.width + 100, 100));
  EXPECT_EQ(wide.left, area.left);
  EXPECT_TRUE(centred(wide.top, wide.height, area.top, area.height)) << wide.top;
  fw::test::ScreenBox small = fw::test::FrameOnScreen(fw::Open<Sized>(200, 100));
  EXPECT_TRUE(centred(small.left, small.width, area.left, area.width)) << small.left;
  EXPECT_TRUE(centred(small.top, small.height, area.top, area.height)) << small.top;
}

TEST(Window, ShowModalRunsUntilTheWindowClosesAndTheAnswerActs) {
  fw::Timer later(fw::Timer::kOff, 0);
  bool answered = false;
  fw::test::OnModal([&](fw::Window& w) {
    answered = true;
    EXPECT_TRUE(w.IsModal());
    w.Close();
  });
  Probe& w = fw::Implicit<Probe>();
  w.ShowModal();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(w.IsOpen());
}

TEST(Window, AModalAnswerMayRunTheClockUntilATimerClosesTheWindow) {
  Probe& w = fw::Implicit<Probe>();
  fw::Timer closer(fw::Timer::kSingle, 2000);
  closer.Action = [&] { w.Close(); };
  fw::test::OnModal([](fw::Window& m) { fw::test::RunUntil([&] { return !m.IsOpen(); }, 5000); });
  std::int64_t start = fw::NowMs();
  w.ShowModal();
  EXPECT_EQ(fw::NowMs() - start, 2000);
  EXPECT_TRUE(fw::test::Unanswered().empty());
}

TEST(Window, MenuCommandsGoToTheFrontWindowAfterTheEnablingPass) {
  fw::MenuBar bar;
  auto file = std::make_unique<fw::MenuItem>();
  file->SetName("File");
  file->SetText("File");
  auto save = std::make_unique<fw::MenuItem>();
  save->SetName("FileSave");
  save->SetText("Save");
  save->SetAutoEnable(false);
  auto again = std::make_unique<fw::MenuItem>();
  again->SetName("FileAgain");
  again->SetText("Again");
  again->SetAutoEnable(true);
  file->Append(std::move(save));
  file->Append(std::move(again));
  bar.Append(std::move(file));

  struct Menued : fw::Window {
    bool allowSave = false;
    int saves = 0, agains = 0;
    Menued() {
      AddMenuHandler("FileSave", [this] { return ++saves, false; });
      AddMenuHandler("FileAgain", [this] { return ++agains, false; });
    }
    void Event_EnableMenuItems() override {
      if (allowSave) GetMenuBar()->Child("File")->Child("FileSave")->SetEnabled(true);
    }
  };
  Menued& w = fw::Implicit<Menued>();
  w.SetMenuBar(&bar);
  EXPECT_FALSE(fw::test::ChooseMenu("FileSave"));
  EXPECT_TRUE(fw::test::ChooseMenu("FileAgain"));
  w.allowSave = true;
  EXPECT_TRUE(fw::test::ChooseMenu("FileSave"));
  EXPECT_EQ(w.saves, 1);
  EXPECT_EQ(w.agains, 1);
}

TEST(Window, ScriptedInputIsWhatTheGameReads) {
  Probe& w = fw::Implicit<Probe>();
  fw::test::SetMouse(123, 45);
  EXPECT_EQ(w.MouseX(), 123);
  EXPECT_EQ(w.MouseY(), 45);
  fw::ShowURL("http://example.invalid/page");
  EXPECT_EQ(fw::test::ShownURLs(), (std::vector<std::string>{"http://example.invalid/page"}));
}

// The real platform reads the pointer where the game's own mouse events left it,
// rather than asking the display server every frame.
TEST(Window, ThePlatformsPointerFollowsTheMouseEvents) {
  Probe& w = fw::Implicit<Probe>();
  struct RealPlatform {
    fw::platform::Platform& headless = fw::platform::Current();
    RealPlatform() { fw::platform::Install(nullptr); }
    ~RealPlatform() { fw::platform::Install(&headless); }
  } real;
  fw::test::MoveMouse(w, 130, 60);
  EXPECT_EQ(w.MouseX(), 130);
  EXPECT_EQ(w.MouseY(), 60);
  fw::test::MoveMouse(w, 20, 70);
  EXPECT_EQ(w.MouseX(), 20);
}

}  // namespace
