// Pages of controls in one place: a control added to a page shows only while its page
// and the panel do, and its own Visible can still hide it there.
#pragma once

#include <string_view>
#include <vector>

#include "Controls.h"

namespace fw {

class PagePanel : public Control {
 public:
  PagePanel(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~PagePanel() override;

  int PageCount() const { return pageCount_; }
  void SetPageCount(int n);  // at least 1
  // The page shown, from 0; a page that does not exist is not shown.
  int Value() const { return value_; }
  void SetValue(int page);
  // Puts the control on a page (from 0) of this panel.
  void AddToPage(int page, Control& c);

 private:
  void ShowPages();
  struct Member;  // a control and its page, noticed when the control is gone
  std::vector<Member> members_;
  int pageCount_ = 1;
  int value_ = 0;
};

}  // namespace fw
