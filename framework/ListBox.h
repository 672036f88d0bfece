// A list of rows in columns under an optional heading, with at most one row selected.
#pragma once

#include <string>
#include <string_view>

#include "Controls.h"

namespace fw {

class ListBox : public Control {
 public:
  ListBox(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~ListBox() override;

  int ColumnCount() const;
  void SetColumnCount(int n);  // at least 1
  // Widths separated by commas, each a percentage of the list's width ("50%, 20%, 30%")
  // or pixels ("120"); columns without one share what is left.
  void SetColumnWidths(std::string_view widths);
  void SetHasHeading(bool h);
  std::string Heading(int column) const;
  void SetHeading(int column, std::string_view text);
  void SetTextSize(int s);  // pixels; 0 keeps the system's size

  // Adds a row at the end with its first cell; the other cells are empty.
  void AddRow(std::string_view firstCell);
  void DeleteAllRows();
  int ListCount() const;
  // The row added last, -1 when none was.
  int LastIndex() const { return lastIndex_; }
  // The text of a cell; empty when there is no such cell.
  std::string Cell(int row, int column) const;
  // False when there is no such cell.
  bool SetCell(int row, int column, std::string_view text);
  // The selected row, -1 for none; selecting a row that does not exist selects none.
  int ListIndex() const;
  void SetListIndex(int row);

 private:
  friend class ListWidget;
  void ApplyWidths();
  std::string widths_;
  int lastIndex_ = -1;
};

}  // namespace fw
