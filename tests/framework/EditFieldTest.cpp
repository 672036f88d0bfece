// Edit fields: read-only text, the selection, a length limit and alignment, as the
// player's typing meets them.
#include <gtest/gtest.h>

#include <string>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

struct Fields : fw::Window {
  Fields() {
    SetSize(300, 200);
    SetBackColor(fw::RGB(255, 255, 255), true);
    shown.SetReadOnly(true);
    shown.KeyDown = [this](const std::string&) { return ++shownKeys, false; };
    right.SetAlignment(fw::EditField::kRight);
    right.SetText("1140");
    left.SetText("1140");
  }
  int shownKeys = 0;
  fw::EditField name{this, "name", 80, 46, 160, 22};
  fw::EditField shown{this, "shown", 212, 80, 80, 22};
  fw::EditField left{this, "left", 20, 120, 120, 22};
  fw::EditField right{this, "right", 20, 160, 120, 22};
};

void Type(fw::Window& w, const std::string& text) {
  for (char c : text) fw::test::TypeKey(w, std::string(1, c));
}

TEST(EditField, ASelectionOfTheWholeNameIsReplacedByTyping) {
  Fields& w = fw::Implicit<Fields>();
  w.name.SetText("Maurice");
  w.name.SetFocus();
  w.name.SetSelStart(0);
  w.name.SetSelLength(255);
  EXPECT_EQ(w.name.SelStart(), 0);
  EXPECT_EQ(w.name.SelLength(), 7) << "a length past the end stops at the end";
  Type(w, "Al");
  EXPECT_EQ(w.name.Text(), "Al");
  EXPECT_EQ(w.name.SelLength(), 0);
  EXPECT_EQ(w.name.SelStart(), 2) << "with nothing selected the start is the insertion point";

  w.name.SetText("abcdef");
  w.name.SetSelStart(2);
  w.name.SetSelLength(3);
  EXPECT_EQ(w.name.SelStart(), 2);
  EXPECT_EQ(w.name.SelLength(), 3);
  Type(w, "X");
  EXPECT_EQ(w.name.Text(), "abXf");
  w.name.SetSelStart(99);
  EXPECT_EQ(w.name.SelStart(), 4);
}

TEST(EditField, AReadOnlyFieldHearsKeysButKeepsItsText) {
  Fields& w = fw::Implicit<Fields>();
  w.shown.SetText("500");
  EXPECT_TRUE(w.shown.ReadOnly());
  w.shown.SetFocus();
  Type(w, "12");
  fw::test::TypeKey(w, "\x08");
  EXPECT_EQ(w.shown.Text(), "500");
  EXPECT_EQ(w.shownKeys, 3);
  w.shown.SetText("800");
  EXPECT_EQ(w.shown.Text(), "800") << "the game still sets the text";
  w.shown.SetReadOnly(false);
  w.shown.SetSelStart(3);
  Type(w, "1");
  EXPECT_EQ(w.shown.Text(), "8001");
}

TEST(EditField, TypingStopsAtTheLengthLimit) {
  Fields& w = fw::Implicit<Fields>();
  EXPECT_EQ(w.name.MaxLength(), 0);
  w.name.SetMaxLength(4);
  w.name.SetFocus();
  Type(w, "abcdef");
  EXPECT_EQ(w.name.Text(), "abcd");
  w.name.SetText("longer than four");
  EXPECT_EQ(w.name.Text(), "longer than four") << "the limit is on typing, not on the game";
  w.name.SetText("ab");
  w.name.SetSelStart(2);
  w.name.SetMaxLength(0);
  Type(w, "cdefgh");
  EXPECT_EQ(w.name.Text(), "abcdefgh") << "0 lifts the limit";
}

bool Dark(fw::Color c) { return c.r + c.g + c.b < 300; }

int InkMiddle(const fw::Picture& img, int left, int top, int width, int height) {
  int lo = -1, hi = -1;
  for (int x = left + 3; x < left + width - 3; ++x)
    for (int y = top + 4; y < top + height - 4; ++y)
      if (Dark(img.Pixel(x, y))) {
        if (lo < 0) lo = x;
        hi = x;
      }
  return lo < 0 ? -1 : (lo + hi) / 2;
}

TEST(EditField, AlignmentPlacesTheText) {
  Fields& w = fw::Implicit<Fields>();
  auto img = fw::test::Render(w);
  int l = InkMiddle(*img, 20, 120, 120, 22);
  int r = InkMiddle(*img, 20, 160, 120, 22);
  ASSERT_GE(l, 0);
  ASSERT_GE(r, 0);
  EXPECT_LT(l, 20 + 40);
  EXPECT_GT(r, 20 + 80);
  w.right.SetAlignment(fw::EditField::kCenter);
  int c = InkMiddle(*fw::test::Render(w), 20, 160, 120, 22);
  EXPECT_NEAR(c, 20 + 60, 6);
}

}  // namespace
