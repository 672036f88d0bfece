// Edit fields: the selection, read-only text, a length limit and alignment, as the
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
    for (fw::EditField* f : {&left, &right}) f->SetText("1140");
    right.SetAlignment(fw::EditField::kRight);
  }
  fw::EditField name{this, "name", 80, 46, 160, 22};
  fw::EditField left{this, "left", 20, 120, 120, 22};
  fw::EditField right{this, "right", 20, 160, 120, 22};
};

void Type(fw::Window& w, const std::string& text) {
  for (char c : text) fw::test::TypeKey(w, std::string(1, c));
}

TEST(EditField, TypingReplacesTheSelection) {
  Fields& w = fw::Implicit<Fields>();
  w.name.SetText("Maurice");
  w.name.SetFocus();
  w.name.SetSelStart(0);
  w.name.SetSelLength(255);
  EXPECT_EQ(w.name.SelLength(), 7) << "a length past the end stops at the end";
  Type(w, "Al");
  EXPECT_EQ(w.name.Text(), "Al");
  EXPECT_EQ(w.name.SelStart(), 2) << "with nothing selected the start is the insertion point";

  w.name.SetText("abcdef");
  w.name.SetSelStart(2);
  w.name.SetSelLength(3);
  Type(w, "X");
  EXPECT_EQ(w.name.Text(), "abXf");
}

TEST(EditField, ReadOnlyAndLengthLimitsHoldAgainstTypingOnly) {
  Fields& w = fw::Implicit<Fields>();
  int keys = 0;
  w.name.KeyDown = [&](const std::string&) { return ++keys, false; };
  w.name.SetReadOnly(true);
  w.name.SetText("500");
  w.name.SetFocus();
  Type(w, "12");
  EXPECT_EQ(w.name.Text(), "500");
  EXPECT_EQ(keys, 2) << "a read-only field still hears the keys";

  w.name.SetReadOnly(false);
  w.name.SetMaxLength(4);
  w.name.SetSelStart(3);
  Type(w, "678");
  EXPECT_EQ(w.name.Text(), "5006");
  w.name.SetText("longer than four");
  EXPECT_EQ(w.name.Text(), "longer than four") << "the game's own text is not limited";
  w.name.SetMaxLength(0);
  w.name.SetSelStart(16);
  Type(w, "!");
  EXPECT_EQ(w.name.Text(), "longer than four!") << "0 lifts the limit";
}

// The middle of the dark pixels inside a field.
int InkMiddle(const fw::Picture& img, int left, int top) {
  int lo = -1, hi = -1;
  for (int x = left + 3; x < left + 117; ++x)
    for (int y = top + 4; y < top + 18; ++y)
      if (fw::Color c = img.Pixel(x, y); c.r + c.g + c.b < 300) {
        if (lo < 0) lo = x;
        hi = x;
      }
  return lo < 0 ? -1 : (lo + hi) / 2;
}

TEST(EditField, AlignmentPlacesTheText) {
  Fields& w = fw::Implicit<Fields>();
  auto img = fw::test::Render(w);
  int left = InkMiddle(*img, 20, 120), right = InkMiddle(*img, 20, 160);
  EXPECT_GT(left, 20);
  EXPECT_LT(left, 20 + 40);
  EXPECT_GT(right, 20 + 80);
  w.right.SetAlignment(fw::EditField::kCenter);
  EXPECT_NEAR(InkMiddle(*fw::test::Render(w), 20, 160), 20 + 60, 6);
}

}  // namespace
