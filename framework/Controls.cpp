#include "Controls.h"

#include <QPointer>
#include <QWidget>

#include "internal/ControlWidgets.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

void Place(Control::Impl& impl, QWidget* w, int left, int top, int width, int height) {
  impl.widget = w;
  w->setGeometry(left, top, width, height);
  w->show();
}

// A fresh, fully transparent picture the size of the control.
QImage& ClearPicture(Control::Impl& impl) {
  QSize size = impl.widget->size().expandedTo(QSize(1, 1));
  impl.picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
  impl.picture.fill(Qt::transparent);
  return impl.picture;
}

void internal::WindowControls::DrawFirstContent(Control& c) { c.DrawFirstContent(); }

// Control

Control::Control(Window* owner, std::string_view name, int left, int top, int width, int height)
    : owner_(owner), impl_(std::make_unique<Impl>()), name_(name) {
  internal::WindowControls::Enlist(*owner_, *this);
  (void)left, (void)top, (void)width, (void)height;  // placed once the subclass made its widget
}

Control::~Control() {
  internal::WindowControls::Delist(*owner_, *this);
  // The widget's parent is the window's content, which outlives the control.
  delete impl_->widget.data();
}

int Control::Left() const { return impl_->widget->x(); }
int Control::Top() const { return impl_->widget->y(); }
void Control::SetLeft(int x) { impl_->widget->move(x, Top()); }
void Control::SetTop(int y) { impl_->widget->move(Left(), y); }
int Control::Width() const { return impl_->widget->width(); }
int Control::Height() const { return impl_->widget->height(); }
void Control::SetSize(int w, int h) {
  if (w == Width() && h == Height()) return;
  impl_->widget->resize(w, h);
  Resized();
}
bool Control::Visible() const { return impl_->ownVisible; }
void Control::SetVisible(bool v) {
  impl_->ownVisible = v;
  impl_->widget->setVisible(v && impl_->pageShown);
}
bool Control::Enabled() const { return impl_->widget->isEnabled(); }
void Control::SetEnabled(bool e) { impl_->widget->setEnabled(e); }
void Control::Redraw(bool) { impl_->widget->update(); }
void Control::SetFocus() { impl_->widget->setFocus(); }
void Control::SetMouseCursor(const MouseCursor* cursor) {
  cursor_ = cursor;
  impl_->widget->setCursor(ToQCursor(cursor));
  impl_->widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}
void Control::SetHelpTag(std::string_view tag) {
  impl_->widget->setToolTip(ToQ(tag));
  // A tip needs the pointer's rest over the control to reach it.
  if (!tag.empty()) impl_->widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}
std::string Control::HelpTag() const { return impl_->widget->toolTip().toStdString(); }

}  // namespace fw
