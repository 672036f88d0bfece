#include "Controls.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

#include "internal/ControlWidgets.h"
#include "internal/QtBridge.h"

namespace fw {

Line::Line(Window* owner, std::string_view name, int x1, int y1, int x2, int y2)
    : Control(owner, name, std::min(x1, x2), std::min(y1, y2), 0, 0), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
  impl_->widget = new PassiveWidget(*impl_, SurfaceOf(owner));
  impl_->widget->show();
  Place();
}
Line::~Line() = default;

// The widget covers the line with room for its width on every side.
void Line::Place() {
  int pad = borderWidth_;
  impl_->widget->setGeometry(std::min(x1_, x2_) - pad, std::min(y1_, y2_) - pad, std::abs(x2_ - x1_) + 2 * pad + 1,
                             std::abs(y2_ - y1_) + 2 * pad + 1);
  Redraw(true);
}

void Line::Redraw(bool) {
  QPainter p(&ClearPicture(*impl_));
  p.setPen(QPen(ToQ(lineColor_), borderWidth_));
  int left = std::min(x1_, x2_) - borderWidth_, top = std::min(y1_, y2_) - borderWidth_;
  p.drawLine(x1_ - left, y1_ - top, x2_ - left, y2_ - top);
  impl_->drawn = true;
  impl_->widget->update();
}

void Line::SetBorderWidth(int w) {
  borderWidth_ = std::max(w, 1);
  Place();
}

void Line::SetLineColor(Color c) {
  lineColor_ = c;
  Redraw(true);
}

}  // namespace fw
