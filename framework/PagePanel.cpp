#include "PagePanel.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

#include "Window.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

struct PagePanel::Member {
  Control* control;
  QPointer<QWidget> widget;  // null once the control is destroyed
  int page;
};

namespace {

// The panel only holds its place: it draws nothing and lets clicks through. Its pages
// hide and show with it.
class PanelWidget : public QWidget {
 public:
  PanelWidget(std::function<void()> shownChanged, QWidget* parent)
      : QWidget(parent), shownChanged_(std::move(shownChanged)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  // The panel is going; its widget goes a moment later.
  void Forget() { shownChanged_ = nullptr; }

 protected:
  bool event(QEvent* e) override {
    bool changed = e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent;
    if (changed && shownChanged_) shownChanged_();
    return QWidget::event(e);
  }

 private:
  std::function<void()> shownChanged_;
};

}  // namespace

PagePanel::PagePanel(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  auto* w = new PanelWidget([this] { ShowPages(); }, ContentWidget(*owner));
  impl_->widget = w;
  w->setGeometry(left, top, width, height);
  w->show();
}

PagePanel::~PagePanel() {
  if (auto* w = static_cast<PanelWidget*>(impl_->widget.data())) w->Forget();
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
    impl.pageShown = impl_->ownVisible && m.page == value_ && value_ >= 0 && value_ < pageCount_;
    impl.widget->setVisible(impl.ownVisible && impl.pageShown);
  }
}

}  // namespace fw
