// Page panels: a control on a page shows only with its page, and its own Visible
// still counts there.
#include "framework/PagePanel.h"

#include <gtest/gtest.h>

#include <array>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr fw::Color kBack = fw::RGB(171, 181, 196);
constexpr fw::Color kRed = fw::RGB(255, 0, 0);
constexpr fw::Color kGreen = fw::RGB(0, 160, 0);

struct Pages : fw::Window {
  Pages() {
    SetSize(300, 200);
    SetBackColor(kBack, true);
    panel.SetPageCount(3);
    panel.AddToPage(0, first);
    panel.AddToPage(1, second);
    panel.AddToPage(2, third);
    for (fw::Canvas* c : {&first, &second, &third, &always}) {
      c->Paint = [c](fw::Graphics& g) {
        g.SetForeColor(c->Name() == "always" ? kGreen : kRed);
        g.FillRect(0, 0, g.Width(), g.Height());
      };
    }
    third.SetVisible(false);  // hidden when built, like an arrow on the last page
  }
  fw::PagePanel panel{this, "PagePanel1", 10, 10, 280, 150};
  fw::Canvas first{this, "first", 20, 20, 20, 20};
  fw::Canvas second{this, "second", 60, 20, 20, 20};
  fw::Canvas third{this, "third", 100, 20, 20, 20};
  fw::Canvas always{this, "always", 20, 170, 20, 20};
};

// Which of the three page canvases can be seen in a rendered window.
std::array<bool, 3> Seen(fw::Window& w) {
  auto img = fw::test::Render(w);
  return {img->Pixel(30, 30) == kRed, img->Pixel(70, 30) == kRed, img->Pixel(110, 30) == kRed};
}

TEST(PagePanel, OnlyTheShownPageShowsItsControls) {
  Pages& w = fw::Implicit<Pages>();
  EXPECT_EQ(w.panel.Value(), 0);
  EXPECT_EQ(w.panel.PageCount(), 3);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(fw::test::Render(w)->Pixel(30, 180), kGreen) << "a control on no page shows on every page";
  EXPECT_EQ(fw::test::Render(w)->Pixel(200, 100), kBack) << "the panel itself draws nothing";

  w.panel.SetValue(1);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, true, false}));
  EXPECT_TRUE(w.first.Visible()) << "a control's own Visible stays as set when its page hides";

  w.panel.SetValue(2);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, false})) << "its own Visible still hides it on its page";
  w.third.SetVisible(true);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, true}));

  w.panel.SetValue(0);
  w.second.SetVisible(false);
  w.second.SetVisible(true);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{true, false, false})) << "showing a control does not show its hidden page";

  w.panel.SetValue(3);
  EXPECT_EQ(Seen(w), (std::array<bool, 3>{false, false, false})) << "a page past the last shows nothing";
}

TEST(PagePanel, ClicksReachOnlyTheShownPage) {
  Pages& w = fw::Implicit<Pages>();
  int downs = 0;
  w.second.MouseDown = [&](int, int) { return ++downs, false; };
  fw::test::PressMouse(w, 70, 30);
  fw::test::ReleaseMouse(w, 70, 30);
  EXPECT_EQ(downs, 0);
  w.panel.SetValue(1);
  fw::test::PressMouse(w, 70, 30);
  fw::test::ReleaseMouse(w, 70, 30);
  EXPECT_EQ(downs, 1);
}

}  // namespace
