// Control arrays, separators, lines, multi-line and overlong labels and canvas backdrops, seen in rendered windows.
#include <gtest/gtest.h>

#include <vector>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr fw::Color kBack = fw::RGB(210, 225, 255);
constexpr fw::Color kBlack = fw::RGB(0, 0, 0);

struct Panel : fw::Window {
  Panel() {
    SetSize(300, 240);
    SetBackColor(kBack, true);
    for (int i = 0; i < 3; ++i) balls[i].SetIndex(i);
  }
  fw::Canvas balls[3] = {{this, "ball", 10, 10, 8, 8}, {this, "ball", 26, 10, 8, 8}, {this, "ball", 42, 10, 8, 8}};
  fw::Canvas single{this, "single", 60, 10, 8, 8};
};

bool Dark(fw::Color c) { return c.r < 100 && c.g < 100 && c.b < 100; }

// Runs of rows holding dark pixels inside a box: one run per line of text.
std::vector<std::pair<int, int>> InkRows(const fw::Picture& img, int left, int top, int width, int height) {
  std::vector<std::pair<int, int>> runs;
  bool in = false;
  for (int y = top; y < top + height; ++y) {
    bool ink = false;
    for (int x = left; x < left + width && !ink; ++x) ink = Dark(img.Pixel(x, y));
    if (ink && !in) runs.push_back({y, y});
    if (ink) runs.back().second = y;
    in = ink;
  }
  return runs;
}

int RightmostInk(const fw::Picture& img, int left, int top, int width, int height) {
  int right = -1;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      if (Dark(img.Pixel(x, y))) right = std::max(right, x);
  return right;
}

TEST(ControlArray, ElementsAreFoundByNameAndIndex) {
  Panel& w = fw::Implicit<Panel>();
  EXPECT_EQ(w.FindControl("ball", 1), &w.balls[1]);
  EXPECT_EQ(w.FindControl("ball", 2), &w.balls[2]);
  EXPECT_EQ(w.FindControl("ball", 3), nullptr);
  EXPECT_EQ(w.FindControl("single", -1), &w.single) << "a lone control has index -1";
  EXPECT_EQ(w.FindControl("single", 0), nullptr);
  EXPECT_EQ(w.FindControl("ball")->Name(), "ball");
}

struct Lines : fw::Window {
  Lines() {
    SetSize(300, 240);
    SetBackColor(kBack, true);
    thick.SetBorderWidth(3);
    thick.SetLineColor(fw::RGB(255, 0, 0));
    thin2.SetBorderWidth(0);
  }
  fw::Line thin{this, "thin", 20, 30, 60, 30};
  fw::Line thick{this, "thick", 100, 20, 100, 80};
  fw::Line thin2{this, "thin2", 150, 100, 170, 120};
  fw::Separator across{this, "across", 10, 150, 100, 4};
  fw::Separator down{this, "down", 200, 20, 4, 100};
};

TEST(LineAndSeparator, DrawWhereTheyShould) {
  Lines& w = fw::Implicit<Lines>();
  auto img = fw::test::Render(w);

  // A one-pixel black line covers both end points and nothing beside it.
  EXPECT_EQ(img->Pixel(20, 30), kBlack);
  EXPECT_EQ(img->Pixel(40, 30), kBlack);
  EXPECT_EQ(img->Pixel(60, 30), kBlack);
  EXPECT_EQ(img->Pixel(40, 29), kBack);
  EXPECT_EQ(img->Pixel(40, 31), kBack);
  EXPECT_EQ(img->Pixel(19, 30), kBack);
  EXPECT_EQ(img->Pixel(62, 30), kBack);

  // Three pixels wide, in its own colour.
  EXPECT_EQ(img->Pixel(99, 50), fw::RGB(255, 0, 0));
  EXPECT_EQ(img->Pixel(100, 50), fw::RGB(255, 0, 0));
  EXPECT_EQ(img->Pixel(101, 50), fw::RGB(255, 0, 0));
  EXPECT_EQ(img->Pixel(97, 50), kBack);
  EXPECT_EQ(img->Pixel(103, 50), kBack);

  // A width below 1 still draws one pixel; the diagonal passes its middle.
  EXPECT_EQ(w.thin2.BorderWidth(), 1);
  EXPECT_EQ(img->Pixel(160, 110), kBlack);
  EXPECT_EQ(img->Pixel(160, 115), kBack);

  // Separators: a dark line beside a light one along the longer side, the rest untouched.
  fw::Color dark = img->Pixel(50, 151), light = img->Pixel(50, 152);
  EXPECT_LT(dark.r + dark.g + dark.b, kBack.r + kBack.g + kBack.b);
  EXPECT_GT(light.r + light.g + light.b, kBack.r + kBack.g + kBack.b);
  EXPECT_EQ(img->Pixel(10, 151), dark);
  EXPECT_EQ(img->Pixel(109, 151), dark);
  EXPECT_EQ(img->Pixel(110, 151), kBack);
  EXPECT_EQ(img->Pixel(50, 150), kBack);
  EXPECT_EQ(img->Pixel(50, 153), kBack);
  EXPECT_EQ(img->Pixel(201, 20), dark);
  EXPECT_EQ(img->Pixel(202, 119), light);
  EXPECT_EQ(img->Pixel(200, 60), kBack);
  EXPECT_EQ(img->Pixel(203, 60), kBack);
  EXPECT_EQ(img->Pixel(201, 121), kBack);
}

struct Labels : fw::Window {
  Labels() {
    SetSize(300, 240);
    SetBackColor(kBack, true);
    for (fw::StaticText* l : {&broken, &single}) {
      l->SetTextSize(12);
      l->SetText("X\rX\nX\r\nX");
    }
    broken.SetMultiline(true);
    wrapped.SetMultiline(true);
    wrapped.SetTextSize(12);
    wrapped.SetText("XX XX XX XX XX XX XX XX");
  }
  fw::StaticText broken{this, "broken", 10, 10, 100, 120};
  fw::StaticText single{this, "single", 120, 10, 100, 40};
  fw::StaticText wrapped{this, "wrapped", 10, 140, 60, 90};
};

TEST(MultilineLabel, BreaksAtCrLfAndCrlfAndWrapsWords) {
  Labels& w = fw::Implicit<Labels>();
  auto img = fw::test::Render(w);

  auto lines = InkRows(*img, 10, 10, 100, 120);
  ASSERT_EQ(lines.size(), 4u) << "CR, LF and CRLF each end one line";
  int step = lines[1].first - lines[0].first;
  EXPECT_GT(step, 0);
  // CRLF is one break: no empty line between the third and the fourth.
  EXPECT_EQ(lines[2].first - lines[1].first, step);
  EXPECT_EQ(lines[3].first - lines[2].first, step);

  EXPECT_EQ(InkRows(*img, 120, 10, 100, 40).size(), 1u) << "a label that is not multi-line keeps one line";

  auto wrappedLines = InkRows(*img, 10, 140, 100, 90);
  EXPECT_GE(wrappedLines.size(), 3u) << "eight words do not fit one 60-pixel line";
  EXPECT_LT(RightmostInk(*img, 10, 140, 100, 90), 70) << "every wrapped line stays inside the label";
}

// The pixels of a box, row by row.
std::vector<fw::Color> PixelsIn(const fw::Picture& img, int left, int top, int width, int height) {
  std::vector<fw::Color> out;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) out.push_back(img.Pixel(x, y));
  return out;
}

// One text too wide for its 60-pixel labels, in each alignment.
struct WideLabels : fw::Window {
  WideLabels() {
    SetSize(200, 120);
    SetBackColor(kBack, true);
    for (fw::StaticText* l : {&left, &centred, &right}) {
      l->SetTextSize(12);
      l->SetText("HHHH HHHH HHHH HHHH");
    }
    centred.SetTextAlign(fw::StaticText::kCenter);
    right.SetTextAlign(fw::StaticText::kRight);
  }
  fw::StaticText left{this, "left", 20, 10, 60, 20};
  fw::StaticText centred{this, "centred", 20, 40, 60, 20};
  fw::StaticText right{this, "right", 20, 70, 60, 20};
};

TEST(SingleLineLabel, ATextWiderThanTheLabelKeepsItsStartInEveryAlignment) {
  WideLabels& w = fw::Implicit<WideLabels>();
  auto img = fw::test::Render(w);
  ASSERT_EQ(InkRows(*img, 20, 10, 4, 20).size(), 1u) << "a left-aligned text starts at the label's left edge";
  auto leftAligned = PixelsIn(*img, 20, 10, 60, 20);
  EXPECT_TRUE(PixelsIn(*img, 20, 40, 60, 20) == leftAligned) << "centred: drawn as from the left edge";
  EXPECT_TRUE(PixelsIn(*img, 20, 70, 60, 20) == leftAligned) << "right-aligned: drawn as from the left edge";
}

struct Backdropped : fw::Window {
  Backdropped() {
    SetSize(200, 150);
    SetBackColor(kBack, true);
    // Larger than the canvas: green over its top-left 30 x 20, red beyond.
    pic->Graphics().SetForeColor(fw::RGB(255, 0, 0));
    pic->Graphics().FillRect(0, 0, 80, 60);
    pic->Graphics().SetForeColor(fw::RGB(0, 160, 0));
    pic->Graphics().FillRect(0, 0, 30, 20);
    cnv.SetBackdrop(pic);
    cnv.Paint = [this](fw::Graphics& g) {
      g.SetForeColor(kBlack);
      g.FillRect(0, 0, 5, 5);
      ++paints;
    };
  }
  fw::Ref<fw::Picture> pic = fw::New<fw::Picture>(80, 60);
  fw::Canvas cnv{this, "cnv", 50, 40, 40, 30};
  int paints = 0;
};

TEST(CanvasBackdrop, SitsUnderThePaintAndIsClippedToTheCanvas) {
  Backdropped& w = fw::Implicit<Backdropped>();
  EXPECT_EQ(w.cnv.Backdrop().get(), w.pic.get());
  auto img = fw::test::Render(w);
  EXPECT_EQ(img->Pixel(52, 42), kBlack) << "Paint draws over the backdrop";
  EXPECT_EQ(img->Pixel(60, 50), fw::RGB(0, 160, 0));
  EXPECT_EQ(img->Pixel(85, 65), fw::RGB(255, 0, 0));
  EXPECT_EQ(img->Pixel(89, 69), fw::RGB(255, 0, 0));
  EXPECT_EQ(img->Pixel(90, 50), kBack) << "clipped at the canvas's right edge";
  EXPECT_EQ(img->Pixel(60, 70), kBack) << "clipped at the canvas's bottom edge";
}

}  // namespace
