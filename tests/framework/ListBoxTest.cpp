// List boxes: rows and cells, the one selected row, columns in percent under a heading,
// and Return reaching the window.
#include "framework/ListBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr int kLeft = 20, kTop = 26, kWidth = 320, kHeight = 200;

struct Fame : fw::Window {
  Fame() {
    SetSize(360, 290);
    list.SetColumnCount(3);
    list.SetColumnWidths("50%, 20%, 30%");
    list.SetHasHeading(true);
    list.SetHeading(1, "Score");
    list.SetTextSize(12);
    for (int i = 0; i < 10; ++i) {
      list.AddRow("Player " + std::to_string(i));
      list.SetCell(list.LastIndex(), 1, std::to_string(9000 - i * 1000));
      if (i < 9) list.SetCell(list.LastIndex(), 2, "1/2/03");
    }
  }
  bool Event_KeyDown(const std::string& key) override { return keys.push_back(key), false; }
  std::vector<std::string> keys;
  fw::ListBox list{this, "ListBox1", kLeft, kTop, kWidth, kHeight};
};

TEST(ListBox, RowsCellsAndTheSelectionHoldWhatWasPut) {
  Fame& w = fw::Implicit<Fame>();
  EXPECT_EQ(w.list.ListCount(), 10);
  EXPECT_EQ(w.list.LastIndex(), 9);
  EXPECT_EQ(w.list.Cell(3, 1), "6000");
  EXPECT_EQ(w.list.Cell(8, 2), "1/2/03");
  EXPECT_EQ(w.list.Cell(9, 2), "") << "a cell not set is empty";
  EXPECT_EQ(w.list.Cell(10, 0), "");
  EXPECT_FALSE(w.list.SetCell(0, 3, "x"));

  EXPECT_EQ(w.list.ListIndex(), -1) << "nothing is selected at first";
  w.list.SetListIndex(3);
  w.list.SetListIndex(7);
  EXPECT_EQ(w.list.ListIndex(), 7);
  w.list.SetListIndex(10);
  EXPECT_EQ(w.list.ListIndex(), -1) << "a row that does not exist selects none";

  w.list.SetListIndex(2);
  w.list.DeleteAllRows();
  EXPECT_EQ(w.list.ListCount(), 0);
  EXPECT_EQ(w.list.LastIndex(), -1);
  EXPECT_EQ(w.list.ListIndex(), -1);
}

// The rows of the selection's highlight, the one bluish thing in the list.
std::pair<int, int> Highlight(const fw::Picture& img) {
  std::pair<int, int> band{-1, -1};
  for (int y = kTop + 2; y < kTop + kHeight - 2; ++y) {
    fw::Color c = img.Pixel(kLeft + 5, y);
    if (c.b <= c.r + 60) continue;
    if (band.first < 0) band.first = y;
    band.second = y;
  }
  return band;
}

// The leftmost dark pixel in a band of rows, from x on.
int InkFrom(const fw::Picture& img, int x0, int top, int bottom) {
  for (int x = x0; x < kLeft + kWidth; ++x)
    for (int y = top; y <= bottom; ++y)
      if (fw::Color c = img.Pixel(x, y); c.r + c.g + c.b < 300) return x;
  return -1;
}

TEST(ListBox, ColumnsTakeTheirShareUnderTheHeadingAndAClickSelectsARow) {
  Fame& w = fw::Implicit<Fame>();
  w.list.SetListIndex(0);
  auto first = Highlight(*fw::test::Render(w));
  w.list.SetListIndex(1);
  int rowHeight = Highlight(*fw::test::Render(w)).first - first.first;
  ASSERT_GT(rowHeight, 8);
  EXPECT_GT(first.first, kTop + 8) << "the heading row comes first";

  w.list.SetListIndex(-1);
  auto img = fw::test::Render(w);
  int inner = kWidth - 4;  // less the frame
  int half = kLeft + inner / 2, seventy = kLeft + inner * 70 / 100;
  EXPECT_LT(InkFrom(*img, kLeft, first.first, first.second), kLeft + 12);
  int score = InkFrom(*img, kLeft + inner / 4, first.first, first.second);
  int date = InkFrom(*img, half + 45, first.first, first.second);
  int heading = InkFrom(*img, kLeft + inner / 4, kTop + 2, first.first - 3);
  for (int x : {score, heading}) {
    EXPECT_GE(x, half);
    EXPECT_LT(x, half + 12);
  }
  EXPECT_GE(date, seventy);
  EXPECT_LT(date, seventy + 12);

  int row4 = first.first + 4 * rowHeight + rowHeight / 2;
  fw::test::PressMouse(w, kLeft + 100, row4);
  fw::test::ReleaseMouse(w, kLeft + 100, row4);
  EXPECT_EQ(w.list.ListIndex(), 4);
}

TEST(ListBox, ReturnAndEnterReachTheWindowWhileTheListHasTheFocus) {
  Fame& w = fw::Implicit<Fame>();
  w.list.SetFocus();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  EXPECT_EQ(w.keys, (std::vector<std::string>{"\r", "\x03"}));
}

}  // namespace
