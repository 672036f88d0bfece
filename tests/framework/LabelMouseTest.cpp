// Labels that take the mouse, help tags, and the pointers over a window's controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using Shape = fw::MouseCursor::Shape;
using Log = std::vector<std::string>;

const fw::MouseCursor* HiddenPointer() {
  static constexpr fw::MouseCursor hidden(Shape::Hidden);
  return &hidden;
}

struct Linked : fw::Window {
  Linked() {
    SetSize(500, 400);
    url.MouseEnter = [this] { log.push_back("enter"), SetMouseCursor(fw::Cursors::FingerPointer()); };
    url.MouseExit = [this] { log.push_back("exit"), SetMouseCursor(fw::Cursors::StandardPointer()); };
    url.MouseDown = [this](int x, int y) {
      return log.push_back("down " + std::to_string(x) + "," + std::to_string(y)), takeDown;
    };
    url.MouseUp = [this](int x, int y) { log.push_back("up " + std::to_string(x) + "," + std::to_string(y)); };
    under.MouseDown = [this](int, int) { return log.push_back("canvas down"), false; };
    tagged.SetHelpTag("A bullet");
    canvasTag.SetHelpTag("Acid Rain");
  }
  bool Event_MouseDown(int, int) override { return log.push_back("window down"), false; }

  Log log;
  bool takeDown = true;
  fw::StaticText url{this, "URLTxt", 100, 166, 300, 20};
  fw::Canvas under{this, "under", 20, 250, 100, 40};
  fw::StaticText plain{this, "plain", 20, 250, 100, 20};  // over the canvas
  fw::StaticText tagged{this, "tagged", 200, 250, 100, 20};
  fw::Canvas canvasTag{this, "canvasTag", 27, 140, 20, 20};
};

TEST(LabelMouse, APressTakenByTheLabelGetsItsReleaseWhereverItComes) {
  Linked& w = fw::Implicit<Linked>();
  fw::test::PressMouse(w, 110, 170);
  fw::test::ReleaseMouse(w, 450, 390);
  w.takeDown = false;
  fw::test::PressMouse(w, 110, 170);
  fw::test::ReleaseMouse(w, 110, 170);
  // A plain label lets the press through to the canvas beneath.
  fw::test::PressMouse(w, 30, 255);
  fw::test::ReleaseMouse(w, 30, 255);
  EXPECT_EQ(w.log, (Log{"down 10,4", "up 350,224", "down 10,4", "window down", "canvas down"}));
}

TEST(LabelMouse, EnteringAndLeavingTheLabelSwitchTheWindowsPointerOverEveryControl) {
  Linked& w = fw::Implicit<Linked>();
  fw::test::MoveMouse(w, 50, 50);
  fw::test::MoveMouse(w, 150, 170);
  fw::test::MoveMouse(w, 200, 170);
  EXPECT_EQ(w.log, Log{"enter"});
  for (auto [x, y] : {std::pair{150, 170}, {30, 260}, {30, 145}, {450, 20}})
    EXPECT_EQ(fw::test::CursorAt(w, x, y), Shape::Finger) << x << "," << y;
  fw::test::MoveMouse(w, 150, 100);
  EXPECT_EQ(w.log, (Log{"enter", "exit"}));
  EXPECT_EQ(fw::test::CursorAt(w, 150, 170), Shape::Standard);

  w.plain.SetMouseCursor(fw::Cursors::FingerPointer());
  EXPECT_EQ(fw::test::CursorAt(w, 30, 255), Shape::Finger) << "a label's own pointer";
  EXPECT_EQ(fw::test::CursorAt(w, 30, 280), Shape::Standard) << "shows over the label only";
}

TEST(LabelMouse, TheApplicationsStandardPointerLeavesEveryControlItsOwn) {
  Linked& w = fw::Implicit<Linked>();
  w.plain.SetMouseCursor(fw::Cursors::FingerPointer());
  {
    fw::Application app;
    for (int round = 0; round < 3; ++round) {
      app.SetMouseCursor(HiddenPointer());
      EXPECT_EQ(fw::test::CursorAt(w, 30, 255), Shape::Hidden) << "over every control";
      app.SetMouseCursor(fw::Cursors::StandardPointer());
      EXPECT_EQ(fw::test::CursorAt(w, 30, 255), Shape::Finger) << "round " << round;
    }
    app.SetMouseCursor(HiddenPointer());  // and left so
  }
  fw::test::Reset();
  Linked& again = fw::Implicit<Linked>();
  again.plain.SetMouseCursor(fw::Cursors::FingerPointer());
  EXPECT_EQ(fw::test::CursorAt(again, 30, 255), Shape::Finger) << "one test's pointer does not outlive it";
}

TEST(LabelMouse, HelpTagsShowWhereThePointerRests) {
  Linked& w = fw::Implicit<Linked>();
  EXPECT_EQ(fw::test::HelpTagAt(w, 210, 255), "A bullet");
  EXPECT_EQ(fw::test::HelpTagAt(w, 30, 145), "Acid Rain");
  EXPECT_EQ(fw::test::HelpTagAt(w, 30, 255), "");
  EXPECT_EQ(fw::test::HelpTagAt(w, 450, 20), "");
  w.tagged.SetHelpTag("");
  EXPECT_EQ(fw::test::HelpTagAt(w, 210, 255), "");
}

}  // namespace
