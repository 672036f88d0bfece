// When canvases paint: only when the game refreshes them (and once as their window
// opens), never because the window was shown, hidden, covered, resized or rendered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "framework/Timer.h"
#include "framework/Window.h"

namespace {

using fw::test::Advance;
using fw::test::Render;

constexpr fw::Color kBack = fw::RGB(210, 225, 255);
constexpr fw::Color kInk = fw::RGB(0, 0, 0);

// Each paint draws a 4 x 4 square 6 pixels further right than the one before.
struct Counted : fw::Window {
  Counted() {
    SetSize(200, 120);
    SetBackColor(kBack, true);
    cnv.Paint = [this](fw::Graphics& g) {
      g.SetForeColor(kInk);
      g.FillRect(6 * paints, 0, 4, 4);
      ++paints;
      log.push_back("paint");
    };
    label.SetTextSize(12);
    label.SetText("one");
  }
  int paints = 0;
  std::vector<std::string> log;
  fw::Canvas cnv{this, "cnv", 20, 20, 60, 30};
  fw::StaticText label{this, "label", 20, 80, 100, 20};
};

struct Cover : fw::Window {
  Cover() { SetSize(300, 300); }
};

bool InkAt(const fw::Picture& img, int x, int y) { return img.Pixel(x, y) == kInk; }

TEST(CanvasPaint, FollowsTheRefreshCallsWhateverHappensToTheWindow) {
  Counted& w = fw::Implicit<Counted>();
  EXPECT_EQ(w.paints, 1) << "one paint as the window opens";

  Render(w);
  w.Hide();
  Render(w);
  w.Show();
  fw::Implicit<Cover>();  // another window on top
  w.SetSize(240, 160);
  w.cnv.SetSize(70, 40);
  auto img = Render(w);
  Advance(500);
  EXPECT_EQ(w.paints, 1) << "showing, hiding, covering, resizing and rendering run no Paint";
  EXPECT_TRUE(InkAt(*img, 20, 20)) << "a larger canvas keeps what it drew";
  EXPECT_EQ(img->Pixel(85, 55), kBack) << "and shows the background where it grew";

  w.cnv.Refresh();
  w.cnv.Refresh(false);
  EXPECT_EQ(w.paints, 1) << "a refresh without erasing waits for the end of the pass";
  Advance(0);
  EXPECT_EQ(w.paints, 2) << "two requests in one pass give one paint";
  Advance(100);
  EXPECT_EQ(w.paints, 2);

  w.cnv.Refresh(true);
  EXPECT_EQ(w.paints, 3) << "an erasing refresh paints at once";

  w.Hide();
  w.cnv.Refresh(true);
  w.cnv.Refresh();
  Advance(1);
  EXPECT_EQ(w.paints, 5) << "a hidden window's canvas still paints when asked";
  EXPECT_TRUE(InkAt(*Render(w), 20 + 6 * 4, 20)) << "and shows that paint once rendered";
  EXPECT_EQ(w.paints, 5);
}

TEST(CanvasPaint, AnErasingPaintAnswersTheRequestsBeforeIt) {
  Counted& w = fw::Implicit<Counted>();
  w.cnv.Refresh();
  w.cnv.Refresh(true);
  Advance(0);
  EXPECT_EQ(w.paints, 2);

  w.cnv.Refresh(true);
  w.cnv.Refresh();
  Advance(0);
  EXPECT_EQ(w.paints, 4) << "a request after the paint gets a paint of its own";
}

TEST(CanvasPaint, PendingPaintsRunAfterThePassTimers) {
  Counted& w = fw::Implicit<Counted>();
  w.log.clear();
  fw::Timer a(fw::Timer::kSingle, 100), b(fw::Timer::kSingle, 100);
  a.Action = [&] {
    w.log.push_back("a");
    w.cnv.Refresh();
  };
  b.Action = [&] {
    w.log.push_back("b");
    w.cnv.Refresh();
  };
  Advance(99);
  EXPECT_TRUE(w.log.empty());
  Advance(1);
  EXPECT_EQ(w.log, (std::vector<std::string>{"a", "b", "paint"}));
}

TEST(CanvasPaint, TheErasePutsBackTheWindowBehindTheCanvas) {
  Counted& w = fw::Implicit<Counted>();
  // The backdrop's dark column x 30..34 passes behind the canvas (20..79).
  auto backdrop = fw::New<fw::Picture>(200, 120);
  backdrop->Graphics().SetForeColor(fw::RGB(90, 40, 10));
  backdrop->Graphics().FillRect(30, 0, 5, 120);
  w.SetBackdrop(backdrop);
  w.SetBackColor(kBack, false);

  w.cnv.Refresh();
  Advance(0);
  auto img = Render(w);
  EXPECT_TRUE(InkAt(*img, 20, 20)) << "without erasing, the first square stays";
  EXPECT_TRUE(InkAt(*img, 26, 20));
  EXPECT_EQ(img->Pixel(32, 10), fw::RGB(90, 40, 10)) << "the window's backdrop beside the canvas";
  EXPECT_NE(img->Pixel(32, 40), fw::RGB(90, 40, 10)) << "the canvas still holds its first erase";

  w.cnv.Refresh(true);
  img = Render(w);
  EXPECT_FALSE(InkAt(*img, 20, 20)) << "the erase removes the earlier squares";
  EXPECT_FALSE(InkAt(*img, 26, 20));
  EXPECT_TRUE(InkAt(*img, 32, 20));
  EXPECT_EQ(img->Pixel(32, 40), fw::RGB(90, 40, 10)) << "the backdrop shows through the canvas at its own place";
  EXPECT_EQ(img->Pixel(29, 40), fw::RGB(255, 255, 255)) << "white where the backdrop is white";

  w.SetBackdrop(nullptr);
  w.SetBackColor(fw::RGB(0, 200, 0), true);
  w.cnv.Refresh(true);
  img = Render(w);
  EXPECT_EQ(img->Pixel(50, 40), fw::RGB(0, 200, 0)) << "without a backdrop the erase uses the back colour";
}

TEST(CanvasPaint, AMovedCanvasTakesItsPictureAlong) {
  Counted& w = fw::Implicit<Counted>();
  w.cnv.SetLeft(22);
  w.cnv.SetTop(22);
  auto img = Render(w);
  EXPECT_EQ(w.paints, 1);
  EXPECT_TRUE(InkAt(*img, 22, 22));
  EXPECT_FALSE(InkAt(*img, 20, 20));
}

TEST(CanvasPaint, GraphicsExistOnlyWhileItPaints) {
  Counted& w = fw::Implicit<Counted>();
  EXPECT_THROW(w.cnv.Graphics(), fw::NilObjectException);
  bool hadGraphics = false;
  w.cnv.Paint = [&](fw::Graphics&) { hadGraphics = w.cnv.Graphics().Width() == 60; };
  w.cnv.Refresh(true);
  EXPECT_TRUE(hadGraphics);
}

// Requests made while the window is built or opening are answered by its first paint.
struct Opening : fw::Window {
  Opening() {
    SetVisibleOnOpen(false);
    cnv.Paint = [this](fw::Graphics& g) {
      ++paints;
      g.SetForeColor(colour);
      g.FillRect(0, 0, 10, 10);
    };
    cnv.Refresh(true);
    cnv.Open = [this] {
      colour = fw::RGB(255, 0, 0);
      cnv.Refresh();
    };
    later.Open = [this] { later.Refresh(true); };
  }
  void Event_Open() override { paintsAtOpen = paints; }
  int paints = 0, paintsAtOpen = -1;
  fw::Color colour = kInk;
  fw::Canvas cnv{this, "cnv", 0, 0, 10, 10};
  fw::Canvas later{this, "later", 20, 0, 10, 10};
};

TEST(CanvasPaint, AWindowPaintsItsCanvasesOnceAsItOpens) {
  Opening& w = fw::Implicit<Opening>();
  EXPECT_EQ(w.paintsAtOpen, 0) << "nothing paints before the Open handlers have run";
  EXPECT_EQ(w.paints, 1);
  Advance(10);
  EXPECT_EQ(w.paints, 1) << "the requests before the first paint are answered by it";
  EXPECT_FALSE(w.IsVisible());
  EXPECT_EQ(Render(w)->Pixel(5, 5), fw::RGB(255, 0, 0)) << "a window never shown renders its first content";
}

TEST(CanvasPaint, AClosedWindowWithAPendingPaintGoesQuietly) {
  Counted& w = fw::Implicit<Counted>();
  w.cnv.Refresh();
  w.Close();
  Advance(10);
  EXPECT_TRUE(fw::windows::All().empty());
}

TEST(LabelPaint, ATextChangeShowsAtOnceAndPaintsNoCanvas) {
  Counted& w = fw::Implicit<Counted>();
  auto before = Render(w);
  w.label.SetText("a much longer text");
  auto after = Render(w);
  EXPECT_EQ(w.paints, 1);
  bool changed = false;
  for (int x = 60; x < 120 && !changed; ++x)
    for (int y = 80; y < 100 && !changed; ++y) changed = before->Pixel(x, y) != after->Pixel(x, y);
  EXPECT_TRUE(changed) << "the new text is on the label at once";
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < 80; ++y) ASSERT_EQ(before->Pixel(x, y), after->Pixel(x, y)) << x << "," << y;
}

}  // namespace
