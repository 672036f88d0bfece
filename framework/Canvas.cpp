#include "Controls.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

#include "Application.h"
#include "internal/ControlWidgets.h"
#include "internal/Paint.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

namespace {

// A canvas's picture on screen, and its mouse events.
class CanvasWidget : public PictureWidget {
 public:
  CanvasWidget(Canvas& c, QWidget* parent) : PictureWidget(c.impl(), parent), c_(c) { setMouseTracking(false); }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    QPoint at = e->position().toPoint();
    bool took = false;
    Guard([&] { took = c_.Event_MouseDown(at.x(), at.y()); });
    tracking_ = took;
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!tracking_) return;
    QPoint at = e->position().toPoint();
    Guard([&] { c_.Event_MouseDrag(at.x(), at.y()); });
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || !std::exchange(tracking_, false)) return;
    QPoint at = e->position().toPoint();
    Guard([&] { c_.Event_MouseUp(at.x(), at.y()); });
  }
  void enterEvent(QEnterEvent*) override { Guard([&] { c_.Event_MouseEnter(); }); }
  void leaveEvent(QEvent*) override { Guard([&] { c_.Event_MouseExit(); }); }

 private:
  Canvas& c_;
  bool tracking_ = false;
};

}  // namespace

Canvas::Canvas(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new CanvasWidget(*this, SurfaceOf(owner)), left, top, width, height);
}

Canvas::~Canvas() { paint::Forget(*this); }

fw::Graphics& Canvas::Graphics() {
  if (!paintGraphics_) throw NilObjectException();
  return *paintGraphics_;
}

void Canvas::Redraw(bool eraseBackground) {
  // Until its window opens, the first content answers every request.
  if (!internal::WindowControls::Opened(*owner_)) return;
  // A canvas that asks for itself while it paints gets one more paint after this one.
  if (eraseBackground && !impl_->painting) {
    PaintNow(true);
    return;
  }
  if (impl_->pending) return;
  impl_->pending = true;
  paint::Schedule(*this);
}

void PaintPending(Canvas& c) {
  if (c.impl_->pending) c.PaintNow(!c.impl_->drawn);
}

void Canvas::DrawFirstContent() {
  if (!impl_->drawn) PaintNow(true);
}

void Canvas::PaintNow(bool erase) {
  Impl& impl = *impl_;
  QSize size = impl.widget->size().expandedTo(QSize(1, 1));
  // A paint answers every request made before it.
  impl.pending = false;
  paint::Unschedule(*this);
  if (erase || impl.picture.size() != size) {
    impl.picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&impl.picture);
    PaintWindowBackground(*owner_, p, QRect(QPoint(Left(), Top()), size));
  }
  QPainter p(&impl.picture);
  p.setClipRect(QRect(QPoint(0, 0), size));
  if (backdrop_) p.drawImage(QPoint(0, 0), Composed(*backdrop_));
  auto g = GraphicsOnPainter(p, size.width(), size.height());
  impl.painting = true;
  paintGraphics_ = g.get();
  Guard([&] { Event_Paint(*g); });
  paintGraphics_ = nullptr;
  impl.painting = false;
  impl.drawn = true;
  impl.widget->update();
}

void Canvas::Resized() {
  Impl& impl = *impl_;
  if (impl.picture.isNull()) return;
  // The old picture stays at the top left, over the background; nothing is painted.
  QImage old = impl.picture;
  QSize size = impl.widget->size().expandedTo(QSize(1, 1));
  impl.picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&impl.picture);
  PaintWindowBackground(*owner_, p, QRect(QPoint(Left(), Top()), size));
  p.drawImage(QPoint(0, 0), old);
}

}  // namespace fw
