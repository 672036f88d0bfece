// Qt-side access to framework objects, for framework sources only.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

#include "../Controls.h"
#include "../Picture.h"

class QKeyEvent;

namespace fw {

inline QString ToQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline QColor ToQ(Color c) { return QColor(c.r, c.g, c.b); }

struct Picture::Impl {
  QImage image;  // ARGB32
  std::uint64_t version = 0;
  QImage composed;  // image with the mask applied, rebuilt when either changed
  std::uint64_t composedFor = ~0ull;
};

// A Graphics paints either through a painter that is already active (a canvas
// during Paint) or onto an image, opening a painter for each call.
struct Graphics::Impl {
  QPainter* active = nullptr;
  QImage* image = nullptr;
  int width = 0, height = 0;
  std::function<void()> changed;  // after each drawing call
};

// The image as drawn: the colour layer with the mask's opacity.
const QImage& Composed(const Picture& pic);
QFont FontFor(const Graphics& g);
std::unique_ptr<Graphics> GraphicsOnPainter(QPainter& p, int w, int h);
// Text laid out in a box with Qt's alignment and wrapping flags, in the graphics' font and colour.
void DrawTextIn(Graphics& g, const QString& text, const QRect& box, int flags);

struct Control::Impl {
  QPointer<QWidget> widget;
  // What the control shows; its widget only copies it to the screen.
  QImage picture;
  bool drawn = false;    // the picture holds content drawn by the control
  bool pending = false;  // a paint waits for the end of the event loop's pass
  bool painting = false;
  bool ownVisible = true;  // the control's own Visible; a hidden page hides it too
  bool pageShown = true;
};

QCursor ToQCursor(const MouseCursor* c);
// A typed key as the game's handlers get it.
std::string KeyText(QKeyEvent* e);

}  // namespace fw
