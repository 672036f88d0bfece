// Check boxes: the value follows clicks and the game, and each change runs the Action.
#include "framework/CheckBox.h"

#include <gtest/gtest.h>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

struct Boxes : fw::Window {
  Boxes() {
    SetSize(300, 60);
    box.SetCaption("Don't show this screen next time.");
    box.SetTextSize(10);
    box.Action = [this] { ++actions; };
  }
  int actions = 0;
  fw::CheckBox box{this, "noShowBtn", 25, 20, 260, 20};
};

void Click(fw::Window& w) {
  fw::test::PressMouse(w, 32, 30);
  fw::test::ReleaseMouse(w, 32, 30);
}

TEST(CheckBox, ClicksAndTheGameChangeTheValueAndTheLook) {
  Boxes& w = fw::Implicit<Boxes>();
  auto clear = fw::test::Render(w);
  Click(w);
  EXPECT_TRUE(w.box.Value());
  auto ticked = fw::test::Render(w);
  int differ = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 25; x < 45; ++x) differ += clear->Pixel(x, y) != ticked->Pixel(x, y);
  EXPECT_GT(differ, 4) << "the tick shows at the box's left";
  Click(w);
  EXPECT_FALSE(w.box.Value());

  w.box.SetValue(true);
  w.box.SetValue(true);
  EXPECT_EQ(w.actions, 3) << "two clicks and one change by the game";
  w.box.SetEnabled(false);
  Click(w);
  EXPECT_TRUE(w.box.Value()) << "a disabled box ignores clicks";
}

}  // namespace
