// Page panels: a control on a page shows, and takes clicks, only with its page, and
// its own Visible still counts there.
#include "framework/PagePanel.h"

#include <gtest/gtest.h>

#include <array>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr fw::Color kRed = fw::RGB(255, 0, 0);

struct Pages : fw::Window {
  Pages() {
    SetSize(300, 200);
    panel.SetPageCount(3);
    for (int i = 0; i < 3; ++i) {
      panel.AddToPage(i, arrows[i]);
      arrows[i].Paint = [](fw::Graphics& g) {
        g.SetForeColor(kRed);
        g.FillRect(0, 0, g.Width(), g.Height());
      };
    }
    arrows[2].SetVisible(false);  // hidden when built
    arrows[1].MouseDown = [this](int, int) { return ++downs, false; };
  }
  int downs = 0;
  fw::PagePanel panel{this, "PagePanel1", 10, 10, 280, 150};
  fw::Canvas arrows[3] = {{this, "a", 20, 20, 20, 20}, {this, "b", 60, 20, 20, 20}, {this, "c", 100, 20, 20, 20}};
};

std::array<bool, 3> Seen(fw::Window& w) {
  auto img = fw::test::Render(w);
  return {img->Pixel(30, 30) == kRed, img->Pixel(70, 30) == kRed, img->Pixel(110, 30) == kRed};
}

TEST(PagePanel, OnlyTheShownPageShowsItsControls) {
  Pages& w = fw::Implicit<Pages>();
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{true, false, false}));
  fw::test::PressMouse(w, 70, 30);
  fw::test::ReleaseMouse(w, 70, 30);
  EXPECT_EQ(w.downs, 0) << "a hidden page takes no clicks";

  w.panel.SetValue(1);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, true, false}));
  EXPECT_TRUE(w.arrows[0].Visible()) << "its own Visible stays as set while its page hides it";
  fw::test::PressMouse(w, 70, 30);
  fw::test::ReleaseMouse(w, 70, 30);
  EXPECT_EQ(w.downs, 1);

  w.panel.SetValue(2);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, false})) << "its own Visible still hides it on its page";
  w.arrows[2].SetVisible(true);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, true}));

  w.panel.SetValue(0);
  w.arrows[1].SetVisible(true);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{true, false, false})) << "showing a control does not show its page";
  w.panel.SetVisible(false);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, false})) << "a hidden panel hides its pages";
  w.panel.SetVisible(true);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{true, false, false}));
  w.panel.SetValue(3);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, false})) << "a page past the last shows nothing";
}

}  // namespace
