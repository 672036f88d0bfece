// Labels that take the mouse, their help tags and pointers, and the window's pointer
// over its controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using Shape = fw::MouseCursor::Shape;

struct Linked : fw::Window {
  Linked() {
    SetSize(500, 400);
    url.SetText("http://example.invalid/");
    url.MouseEnter = [this] {
      log.push_back("enter");
      SetMouseCursor(fw::Cursors::FingerPointer());
    };
    url.MouseExit = [this] {
      log.push_back("exit");
      SetMouseCursor(fw::Cursors::StandardPointer());
    };
    url.MouseDown = [this](int x, int y) {
      log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
      return takeDown;
    };
    url.MouseUp = [this](int x, int y) { log.push_back("up " + std::to_string(x) + "," + std::to_string(y)); };
    under.MouseDown = [this](int, int) { return log.push_back("canvas down"), false; };
    tagged.SetHelpTag("A bullet");
    canvasTag.SetHelpTag("Acid Rain");
  }
  bool Event_MouseDown(int, int) override { return log.push_back("window down"), false; }

  std::vector<std::string> log;
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
  fw::test::MoveMouse(w, 450, 390);
  fw::test::ReleaseMouse(w, 450, 390);
  ASSERT_GE(w.log.size(), 2u);
  EXPECT_EQ(w.log[w.log.size() - 2], "down 10,4");
  EXPECT_EQ(w.log.back(), "up 350,224") << "in the label's own coordinates";

  w.log.clear();
  w.takeDown = false;
  fw::test::PressMouse(w, 110, 170);
  fw::test::ReleaseMouse(w, 110, 170);
  EXPECT_EQ(w.log, (std::vector<std::string>{"down 10,4", "window down"}))
      << "a press the label refuses goes on to its window, and no release follows";
}

TEST(LabelMouse, APlainLabelLetsClicksThroughToWhatLiesBeneath) {
  Linked& w = fw::Implicit<Linked>();
  fw::test::PressMouse(w, 30, 255);
  fw::test::ReleaseMouse(w, 30, 255);
  EXPECT_EQ(w.log, std::vector<std::string>{"canvas down"});
}

TEST(LabelMouse, EnteringAndLeavingTheLabelSwitchTheWindowsPointer) {
  Linked& w = fw::Implicit<Linked>();
  fw::test::MoveMouse(w, 50, 50);
  EXPECT_EQ(fw::test::CursorAt(w, 50, 50), Shape::Standard);
  fw::test::MoveMouse(w, 150, 170);
  EXPECT_EQ(w.log, std::vector<std::string>{"enter"});
  EXPECT_EQ(fw::test::CursorAt(w, 150, 170), Shape::Finger) << "the window's pointer shows over the label";
  EXPECT_EQ(fw::test::CursorAt(w, 30, 260), Shape::Finger) << "and over its other controls";
  EXPECT_EQ(fw::test::CursorAt(w, 450, 20), Shape::Finger);
  fw::test::MoveMouse(w, 200, 170);
  EXPECT_EQ(w.log.size(), 1u) << "moving inside the label is no new entry";
  fw::test::MoveMouse(w, 150, 100);
  EXPECT_EQ(w.log, (std::vector<std::string>{"enter", "exit"}));
  EXPECT_EQ(fw::test::CursorAt(w, 150, 170), Shape::Standard);
}

TEST(LabelMouse, AControlsOwnPointerShowsOverItOnly) {
  Linked& w = fw::Implicit<Linked>();
  w.plain.SetMouseCursor(fw::Cursors::FingerPointer());
  EXPECT_EQ(fw::test::CursorAt(w, 30, 255), Shape::Finger);
  EXPECT_EQ(fw::test::CursorAt(w, 30, 280), Shape::Standard) << "the canvas below the label keeps the standard one";
  w.plain.SetMouseCursor(nullptr);
  EXPECT_EQ(fw::test::CursorAt(w, 30, 255), Shape::Standard);
}

TEST(LabelMouse, HelpTagsShowWhereThePointerRests) {
  Linked& w = fw::Implicit<Linked>();
  EXPECT_EQ(w.tagged.HelpTag(), "A bullet");
  EXPECT_EQ(fw::test::HelpTagAt(w, 210, 255), "A bullet");
  EXPECT_EQ(fw::test::HelpTagAt(w, 30, 145), "Acid Rain");
  EXPECT_EQ(fw::test::HelpTagAt(w, 30, 255), "") << "a label without a tag shows none";
  EXPECT_EQ(fw::test::HelpTagAt(w, 450, 20), "");
  w.tagged.SetHelpTag("");
  EXPECT_EQ(fw::test::HelpTagAt(w, 210, 255), "");
}

}  // namespace
