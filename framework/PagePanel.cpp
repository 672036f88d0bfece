#include "PagePanel.h"

#include <QPointer>
#include <QWidget>

#include "Window.h"
#include "internal/QtBridge.h"

namespace fw {

struct PagePanel::Member {
  Control* control;
  QPointer<QWidget> widget;  // null once the control is destroyed
  int page;
};

PagePanel::PagePanel(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  // The panel only holds its place: it draws nothing and lets clicks through.
  auto* w = new QWidget(ContentWidget(*owner));
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  impl_->widget = w;
  w->setGeometry(left, top, width, height);
  w->show();
}

PagePanel::~PagePanel() {
  // Controls that outlive the panel keep only their own Visible.
  for (const Member& m : members_) {
    if (!m.widget) continue;
    m.control->impl().pageShown = true;
    m.widget->setVisible(m.control->impl().ownVisible);
  }
}

void PagePanel::SetPageCount(int n) {
  pageCount_ = std::max(n, 1);
  ShowPages();
}

void PagePanel::SetValue(int page) {
  value_ = page;
  ShowPages();
}

void PagePanel::AddToPage(int page, Control& c) {
  members_.push_back({&c, c.impl().widget, page});
  ShowPages();
}

void PagePanel::ShowPages() {
  for (const Member& m : members_) {
    if (!m.widget) continue;
    Control::Impl& impl = m.control->impl();
    impl.pageShown = m.page == value_ && value_ >= 0 && value_ < pageCount_;
    impl.widget->setVisible(impl.ownVisible && impl.pageShown);
  }
}

}  // namespace fw
