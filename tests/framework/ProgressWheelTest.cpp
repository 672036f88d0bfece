// The progress wheel turns on the framework's clock while it can be seen.
#include "framework/ProgressWheel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr fw::Color kBack = fw::RGB(255, 255, 255);

struct Checking : fw::Window {
  Checking() {
    SetSize(442, 230);
    SetBackColor(kBack, true);
    wheel.SetVisible(false);
  }
  fw::ProgressWheel wheel{this, "progArrows", 350, 147, 16, 16};
};

std::vector<fw::Color> WheelPixels(fw::Window& w) {
  auto img = fw::test::Render(w);
  std::vector<fw::Color> out;
  for (int y = 147; y < 163; ++y)
    for (int x = 350; x < 366; ++x) out.push_back(img->Pixel(x, y));
  return out;
}

TEST(ProgressWheel, TurnsOnlyWhileItCanBeSeen) {
  Checking& w = fw::Implicit<Checking>();
  EXPECT_EQ(WheelPixels(w), std::vector<fw::Color>(256, kBack)) << "hidden when built";
  w.wheel.SetVisible(true);
  auto a = WheelPixels(w);
  EXPECT_GT(std::count_if(a.begin(), a.end(), [](fw::Color c) { return c != kBack; }), 20);
  fw::test::Advance(150);
  auto b = WheelPixels(w);
  EXPECT_NE(a, b) << "it turns as the clock runs";
  w.wheel.SetVisible(false);
  fw::test::Advance(500);
  w.wheel.SetVisible(true);
  EXPECT_EQ(WheelPixels(w), b) << "hidden, it stands still";
}

}  // namespace
