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
    list.SetHeading(0, "Name");
    list.SetHeading(1, "Score");
    list.SetHeading(2, "Date");
    list.SetTextSize(12);
  }
  bool Event_KeyDown(const std::string& key) override {
    keys.push_back(key);
    return false;
  }
  void Fill(int rows) {
    for (int i = 0; i < rows; ++i) {
      list.AddRow("Player " + std::to_string(i));
      list.SetCell(list.LastIndex(), 1, std::to_string(9000 - i * 1000));
      list.SetCell(list.LastIndex(), 2, "1/2/03");
    }
  }
  std::vector<std::string> keys;
  fw::ListBox list{this, "ListBox1", kLeft, kTop, kWidth, kHeight};
};

TEST(ListBox, RowsAndCellsHoldWhatWasPut) {
  Fame& w = fw::Implicit<Fame>();
  EXPECT_EQ(w.list.ListCount(), 0);
  EXPECT_EQ(w.list.LastIndex(), -1);
  EXPECT_EQ(w.list.ColumnCount(), 3);
  EXPECT_EQ(w.list.Heading(1), "Score");
  w.Fill(10);
  EXPECT_EQ(w.list.ListCount(), 10);
  EXPECT_EQ(w.list.LastIndex(), 9);
  EXPECT_EQ(w.list.Cell(0, 0), "Player 0");
  EXPECT_EQ(w.list.Cell(3, 1), "6000");
  EXPECT_EQ(w.list.Cell(9, 2), "1/2/03");

  w.list.AddRow("Only a name");
  EXPECT_EQ(w.list.Cell(10, 1), "") << "cells not set are empty";
  EXPECT_TRUE(w.list.SetCell(10, 1, "000"));
  EXPECT_EQ(w.list.Cell(10, 1), "000") << "a cell keeps its text as given";

  EXPECT_EQ(w.list.Cell(11, 0), "");
  EXPECT_EQ(w.list.Cell(0, 3), "");
  EXPECT_FALSE(w.list.SetCell(11, 0, "x"));
  EXPECT_FALSE(w.list.SetCell(0, -1, "x"));

  w.list.DeleteAllRows();
  EXPECT_EQ(w.list.ListCount(), 0);
  EXPECT_EQ(w.list.LastIndex(), -1);
  EXPECT_EQ(w.list.Cell(0, 0), "");
}

TEST(ListBox, OneRowAtMostIsSelected) {
  Fame& w = fw::Implicit<Fame>();
  w.Fill(10);
  EXPECT_EQ(w.list.ListIndex(), -1) << "nothing is selected at first";
  w.list.SetListIndex(3);
  EXPECT_EQ(w.list.ListIndex(), 3);
  w.list.SetListIndex(7);
  EXPECT_EQ(w.list.ListIndex(), 7);
  w.list.SetListIndex(-1);
  EXPECT_EQ(w.list.ListIndex(), -1);
  w.list.SetListIndex(10);
  EXPECT_EQ(w.list.ListIndex(), -1) << "a row that does not exist selects none";
  w.list.SetListIndex(2);
  w.list.DeleteAllRows();
  EXPECT_EQ(w.list.ListIndex(), -1);
}

bool Dark(fw::Color c) { return c.r + c.g + c.b < 300; }
// The selection's highlight is the one bluish thing in the list.
bool Highlighted(fw::Color c) { return c.b > c.r + 60; }

// The rows (inside the list) of the highlight.
std::pair<int, int> Highlight(const fw::Picture& img) {
  std::pair<int, int> band{-1, -1};
  for (int y = kTop + 2; y < kTop + kHeight - 2; ++y) {
    if (!Highlighted(img.Pixel(kLeft + 5, y))) continue;
    if (band.first < 0) band.first = y;
    band.second = y;
  }
  return band;
}

TEST(ListBox, AClickSelectsTheRowUnderThePointer) {
  Fame& w = fw::Implicit<Fame>();
  w.Fill(10);
  w.list.SetListIndex(0);
  auto first = Highlight(*fw::test::Render(w));
  w.list.SetListIndex(1);
  auto second = Highlight(*fw::test::Render(w));
  ASSERT_GE(first.first, 0);
  int rowHeight = second.first - first.first;
  ASSERT_GT(rowHeight, 8);
  EXPECT_GT(first.first, kTop + 8) << "the heading row comes first";

  int middleOfRow4 = first.first + 4 * rowHeight + rowHeight / 2;
  fw::test::PressMouse(w, kLeft + 100, middleOfRow4);
  fw::test::ReleaseMouse(w, kLeft + 100, middleOfRow4);
  EXPECT_EQ(w.list.ListIndex(), 4);
  int middleOfRow6 = middleOfRow4 + 2 * rowHeight;
  fw::test::PressMouse(w, kLeft + 100, middleOfRow6);
  fw::test::ReleaseMouse(w, kLeft + 100, middleOfRow6);
  EXPECT_EQ(w.list.ListIndex(), 6) << "a second click moves the selection";
}

// The leftmost dark pixel in a band of rows, from x on.
int InkFrom(const fw::Picture& img, int x0, int top, int bottom) {
  for (int x = x0; x < kLeft + kWidth; ++x)
    for (int y = top; y <= bottom; ++y)
      if (Dark(img.Pixel(x, y))) return x;
  return -1;
}

TEST(ListBox, ColumnsTakeTheirShareOfTheWidth) {
  Fame& w = fw::Implicit<Fame>();
  w.Fill(3);
  w.list.SetListIndex(0);
  auto img = fw::test::Render(w);
  auto row = Highlight(*img);
  w.list.SetListIndex(-1);
  img = fw::test::Render(w);
  ASSERT_GE(row.first, 0);
  int inner = kWidth - 4;  // about the frame's width on each side
  // Each column's text starts a little after its column's left edge.
  int name = InkFrom(*img, kLeft, row.first, row.second);
  int score = InkFrom(*img, kLeft + inner / 4, row.first, row.second);
  int date = InkFrom(*img, kLeft + inner * 50 / 100 + 45, row.first, row.second);
  EXPECT_LT(name, kLeft + 12);
  EXPECT_GE(score, kLeft + inner * 50 / 100);
  EXPECT_LT(score, kLeft + inner * 50 / 100 + 12);
  EXPECT_GE(date, kLeft + inner * 70 / 100);
  EXPECT_LT(date, kLeft + inner * 70 / 100 + 12);

  // The heading shows above the rows in the same columns.
  int heading = InkFrom(*img, kLeft + inner / 4, kTop + 2, row.first - 3);
  EXPECT_GE(heading, kLeft + inner * 50 / 100);
  EXPECT_LT(heading, kLeft + inner * 50 / 100 + 12);
}

TEST(ListBox, ReturnAndEnterReachTheWindowWhileTheListHasTheFocus) {
  Fame& w = fw::Implicit<Fame>();
  w.Fill(3);
  w.list.SetFocus();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  EXPECT_EQ(w.keys, (std::vector<std::string>{"\r", "\x03"}));
}

}  // namespace
