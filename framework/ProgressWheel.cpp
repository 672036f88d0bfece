#include "ProgressWheel.h"

#include <QPainter>
#include <QWidget>

#include <cmath>
#include <numbers>

#include "Timer.h"
#include "Window.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

namespace {

constexpr int kSpokes = 8;
constexpr int kStepMs = 100;  // ms per spoke: one turn a little under a second

// Spokes round the middle, the leading one darkest, the rest fading behind it. It steps
// on the framework's clock, and only while it can be seen.
class WheelWidget : public QWidget {
 public:
  explicit WheelWidget(QWidget* parent) : QWidget(parent), turn_(Timer::kOff, kStepMs) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    turn_.Action = [this] {
      lead_ = (lead_ + 1) % kSpokes;
      update();
    };
  }

 protected:
  void showEvent(QShowEvent*) override { turn_.SetMode(Timer::kMultiple); }
  void hideEvent(QHideEvent*) override { turn_.SetMode(Timer::kOff); }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    double r = std::min(width(), height()) / 2.0;
    QPointF mid(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kSpokes; ++i) {
      int behind = (lead_ - i + kSpokes) % kSpokes;
      int shade = 40 + behind * 200 / kSpokes;
      p.setPen(QPen(QColor(shade, shade, shade), std::max(1.5, r / 4), Qt::SolidLine, Qt::RoundCap));
      double a = 2 * std::numbers::pi * i / kSpokes;
      QPointF dir(std::sin(a), -std::cos(a));
      p.drawLine(mid + dir * (r * 0.45), mid + dir * (r * 0.85));
    }
  }

 private:
  Timer turn_;
  int lead_ = 0;
};

}  // namespace

ProgressWheel::ProgressWheel(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  auto* w = new WheelWidget(ContentWidget(*owner));
  impl_->widget = w;
  w->setGeometry(left, top, width, height);
  w->show();
}

ProgressWheel::~ProgressWheel() = default;

}  // namespace fw
