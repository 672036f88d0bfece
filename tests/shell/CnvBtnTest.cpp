// The picture button as the player sees and uses it.
#include "shell/CnvBtn.h"

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/TestHooks.h"

namespace {

constexpr fw::Color kFace = fw::RGB(0, 140, 0);
constexpr fw::Color kCaption = fw::RGB(240, 240, 240);

struct ButtonWindow : fw::Window {
  ButtonWindow() {
    SetSize(300, 200);
    SetBackColor(fw::RGB(255, 255, 255), true);
    face->Graphics().SetForeColor(kFace);
    face->Graphics().FillRect(0, 0, 120, 30);
    btn.Open = [this] { btn.setParams("New Game", face, kCaption, 14); };
    btn.MouseUp = [this](int, int) {
      btn.Unpress();
      ++actions;
    };
  }
  fw::Ref<fw::Picture> face = fw::New<fw::Picture>(120, 30);
  CnvBtn btn{this, "runBtn", 10, 10, 120, 30};
  int actions = 0;
};

struct Box {
  int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
  bool empty() const { return maxX < 0; }
};

// Pixels of one colour family inside the button's rectangle, in button coordinates.
Box Find(const fw::Picture& img, int left, int top, bool (*match)(fw::Color)) {
  Box b;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x)
      if (match(img.Pixel(left + x, top + y))) {
        b.minX = std::min(b.minX, x), b.maxX = std::max(b.maxX, x);
        b.minY = std::min(b.minY, y), b.maxY = std::max(b.maxY, y);
      }
  return b;
}
bool IsShadow(fw::Color c) { return c.r < 40 && c.g < 40 && c.b < 40; }
bool IsCaption(fw::Color c) { return c.r > 200 && c.g > 200 && c.b > 200; }

TEST(CnvBtn, BaselineFollowsTheHeightRule) {
  EXPECT_EQ(CnvBtn::BaselineFor(30), 20);
  EXPECT_EQ(CnvBtn::BaselineFor(25), 17);
  EXPECT_EQ(CnvBtn::BaselineFor(24), 18);
  EXPECT_EQ(CnvBtn::BaselineFor(8), 6);
  EXPECT_EQ(CnvBtn::CaptionXFor(120, 60.9), 30) << "the measured width is truncated";
  EXPECT_EQ(CnvBtn::CaptionXFor(120, 125), -2) << "a caption wider than the button starts left of it";
}

TEST(CnvBtn, PaintsTheFaceAShadowAndTheCaptionAboveLeftOfIt) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  auto img = fw::test::Render(w);
  EXPECT_EQ(img->Pixel(11, 11), kFace);
  EXPECT_EQ(img->Pixel(128, 38), kFace);
  EXPECT_EQ(img->Pixel(9, 9), fw::RGB(255, 255, 255));

  Box shadow = Find(*img, 10, 10, IsShadow);
  Box caption = Find(*img, 10, 10, IsCaption);
  ASSERT_FALSE(shadow.empty());
  ASSERT_FALSE(caption.empty());
  // "New Game" has no descenders: its lowest ink sits on the row above the baseline.
  EXPECT_EQ(shadow.maxY, 19);
  EXPECT_EQ(caption.maxY, 17);
  EXPECT_EQ(shadow.maxX - caption.maxX, 2);
  // The shadow, not the caption, is centred.
  EXPECT_NEAR((shadow.minX + shadow.maxX) / 2.0, 60, 2);
  EXPECT_NEAR((caption.minX + caption.maxX) / 2.0, 58, 2);
}

TEST(CnvBtn, AFaceOfAnotherSizeIsStretchedToTheButton) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  auto small = fw::New<fw::Picture>(12, 3);
  small->Graphics().SetForeColor(fw::RGB(200, 0, 0));
  small->Graphics().FillRect(0, 0, 12, 3);
  w.btn.setParams("", small, kCaption, 14);
  w.btn.Refresh();
  fw::test::Advance(0);  // the end of the pass paints it
  auto img = fw::test::Render(w);
  EXPECT_EQ(img->Pixel(10, 10), fw::RGB(200, 0, 0));
  EXPECT_EQ(img->Pixel(129, 39), fw::RGB(200, 0, 0));
  EXPECT_TRUE(Find(*img, 10, 10, IsShadow).empty()) << "an empty caption draws nothing but the face";
}

TEST(CnvBtn, WithoutAFaceItStillLooksLikeAButton) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  w.btn.setParams("Close", nullptr, kCaption, 14);
  w.btn.Refresh(true);
  auto img = fw::test::Render(w);
  EXPECT_NE(img->Pixel(12, 12), fw::RGB(255, 255, 255));
  EXPECT_FALSE(Find(*img, 10, 10, IsCaption).empty());
}

TEST(CnvBtn, ChgCaptionKeepsTheRest) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  w.btn.chgCaption("Continue");
  EXPECT_EQ(w.btn.getTitle(), "Continue");
  w.btn.Refresh();
  fw::test::Advance(0);
  auto img = fw::test::Render(w);
  EXPECT_EQ(img->Pixel(11, 11), kFace);
  EXPECT_FALSE(Find(*img, 10, 10, IsCaption).empty());
}

TEST(CnvBtn, PressMovesItAndAReleaseAnywhereMovesItBackAndActs) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  fw::test::PressMouse(w, 50, 20);
  EXPECT_EQ(w.btn.Left(), 12);
  EXPECT_EQ(w.btn.Top(), 12);
  EXPECT_EQ(w.actions, 0);
  fw::test::MoveMouse(w, 280, 180);
  fw::test::ReleaseMouse(w, 280, 180);
  EXPECT_EQ(w.btn.Left(), 10);
  EXPECT_EQ(w.btn.Top(), 10);
  EXPECT_EQ(w.actions, 1);
}

TEST(CnvBtn, ThePointerIsAFingerOverTheButton) {
  ButtonWindow& w = fw::Implicit<ButtonWindow>();
  fw::test::MoveMouse(w, 50, 20);
  EXPECT_EQ(w.btn.GetMouseCursor(), fw::Cursors::FingerPointer());
  fw::test::MoveMouse(w, 250, 150);
  EXPECT_EQ(w.btn.GetMouseCursor(), fw::Cursors::StandardPointer());
}

}  // namespace
