// Check boxes: the value follows clicks and the game, the Action hears every change.
#include "framework/CheckBox.h"

#include <gtest/gtest.h>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

struct Boxes : fw::Window {
  Boxes() {
    SetSize(300, 120);
    SetBackColor(fw::RGB(255, 255, 255), true);
    box.SetCaption("Don't show this screen next time.");
    box.SetTextSize(10);
    big.SetCaption("Don't show this screen next time.");
    big.SetTextSize(20);
    box.Action = [this] { ++actions; };
  }
  int actions = 0;
  fw::CheckBox box{this, "box", 25, 20, 260, 20};
  fw::CheckBox big{this, "big", 25, 70, 260, 30};
};

TEST(CheckBox, ClicksAndTheGameChangeTheValueAndEachChangeRunsTheAction) {
  Boxes& w = fw::Implicit<Boxes>();
  EXPECT_EQ(w.box.Caption(), "Don't show this screen next time.");
  EXPECT_FALSE(w.box.Value());
  fw::test::PressMouse(w, 32, 30);
  fw::test::ReleaseMouse(w, 32, 30);
  EXPECT_TRUE(w.box.Value());
  EXPECT_EQ(w.actions, 1);
  fw::test::PressMouse(w, 32, 30);
  fw::test::ReleaseMouse(w, 32, 30);
  EXPECT_FALSE(w.box.Value());
  EXPECT_EQ(w.actions, 2);

  w.box.SetValue(true);
  EXPECT_TRUE(w.box.Value());
  EXPECT_EQ(w.actions, 3);
  w.box.SetValue(true);
  EXPECT_EQ(w.actions, 3) << "setting the same value is no change";

  w.box.SetEnabled(false);
  fw::test::PressMouse(w, 32, 30);
  fw::test::ReleaseMouse(w, 32, 30);
  EXPECT_TRUE(w.box.Value()) << "a disabled box ignores clicks";
}

bool Dark(fw::Color c) { return c.r + c.g + c.b < 300; }

// Top and bottom rows of dark pixels in a box; {-1, -1} when there are none.
std::pair<int, int> InkRows(const fw::Picture& img, int left, int top, int width, int height) {
  std::pair<int, int> rows{-1, -1};
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      if (Dark(img.Pixel(x, y))) {
        if (rows.first < 0) rows.first = y;
        rows.second = y;
      }
  return rows;
}

TEST(CheckBox, ShowsTheTickAndTheCaptionInItsSize) {
  Boxes& w = fw::Implicit<Boxes>();
  auto clear = fw::test::Render(w);
  w.box.SetValue(true);
  auto ticked = fw::test::Render(w);
  int differ = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 25; x < 45; ++x) differ += clear->Pixel(x, y) != ticked->Pixel(x, y);
  EXPECT_GT(differ, 4) << "the tick shows at the box's left";

  // The caption's letters: twice the size is about twice as tall.
  auto small = InkRows(*ticked, 60, 20, 200, 20);
  auto large = InkRows(*ticked, 60, 70, 200, 30);
  ASSERT_GE(small.first, 0);
  ASSERT_GE(large.first, 0);
  int smallH = small.second - small.first + 1, largeH = large.second - large.first + 1;
  EXPECT_GT(largeH, smallH * 3 / 2);
}

}  // namespace
