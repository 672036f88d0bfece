#include "Controls.h"

#include <QPainter>

#include "internal/ControlWidgets.h"
#include "internal/QtBridge.h"

namespace fw {

namespace {
constexpr Color kEtchDark{160, 160, 160};
constexpr Color kEtchLight{255, 255, 255};
}  // namespace

Separator::Separator(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new PassiveWidget(*impl_, SurfaceOf(owner)), left, top, width, height);
  Redraw(true);
}
Separator::~Separator() = default;

// The etch runs through the middle of the longer side: a dark line, then a light one.
void Separator::Redraw(bool) {
  QImage& img = ClearPicture(*impl_);
  QPainter p(&img);
  int w = Width(), h = Height();
  if (w >= h) {
    int y = (h - 2) / 2;
    p.fillRect(0, y, w, 1, ToQ(kEtchDark));
    p.fillRect(0, y + 1, w, 1, ToQ(kEtchLight));
  } else {
    int x = (w - 2) / 2;
    p.fillRect(x, 0, 1, h, ToQ(kEtchDark));
    p.fillRect(x + 1, 0, 1, h, ToQ(kEtchLight));
  }
  impl_->drawn = true;
  impl_->widget->update();
}
}  // namespace fw
