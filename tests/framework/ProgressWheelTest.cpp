// The progress wheel turns on the framework's clock while it can be seen.
#include "framework/ProgressWheel.h"

#include <gtest/gtest.h>

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

// The wheel's 16 x 16 pixels, as drawn now.
std::vector<fw::Color> WheelPixels(fw::Window& w) {
  auto img = fw::test::Render(w);
  std::vector<fw::Color> out;
  for (int y = 147; y < 163; ++y)
    for (int x = 350; x < 366; ++x) out.push_back(img->Pixel(x, y));
  return out;
}

int Inked(const std::vector<fw::Color>& px) {
  int n = 0;
  for (fw::Color c : px) n += c != kBack;
  return n;
}

TEST(ProgressWheel, HiddenWhenBuiltTurningOnceShown) {
  Checking& w = fw::Implicit<Checking>();
  EXPECT_FALSE(w.wheel.Visible());
  EXPECT_EQ(Inked(WheelPixels(w)), 0);

  w.wheel.SetVisible(true);
  auto a = WheelPixels(w);
  EXPECT_GT(Inked(a), 20);
  fw::test::Advance(150);
  auto b = WheelPixels(w);
  EXPECT_NE(a, b) << "it turns as the clock runs";
  EXPECT_EQ(Inked(a), Inked(b)) << "turning moves the shading, not the spokes";

  w.wheel.SetVisible(false);
  fw::test::Advance(500);
  w.wheel.SetVisible(true);
  auto c = WheelPixels(w);
  EXPECT_EQ(c, b) << "hidden, it stands still";
}

}  // namespace
