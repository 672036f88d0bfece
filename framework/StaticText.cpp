#include "Controls.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "Application.h"
#include "internal/ControlWidgets.h"
#include "internal/QtBridge.h"

namespace fw {

namespace {

// A label on screen. It lets clicks through to what lies beneath until it has a reason
// to take the mouse (handlers, a help tag or a pointer of its own).
class LabelWidget : public PictureWidget {
 public:
  LabelWidget(StaticText& t, QWidget* parent) : PictureWidget(t.impl(), parent), t_(t) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    bool took = false;
    QPoint at = e->position().toPoint();
    if (e->button() == Qt::LeftButton && t_.MouseDown) Guard([&] { took = t_.MouseDown(at.x(), at.y()); });
    tracking_ = took;
    // A press the label does not take goes on to its window.
    e->setAccepted(took);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || !std::exchange(tracking_, false)) return e->ignore();
    QPoint at = e->position().toPoint();
    if (t_.MouseUp) Guard([&] { t_.MouseUp(at.x(), at.y()); });
  }
  void enterEvent(QEnterEvent*) override {
    if (t_.MouseEnter) Guard([&] { t_.MouseEnter(); });
  }
  void leaveEvent(QEvent*) override {
    if (t_.MouseExit) Guard([&] { t_.MouseExit(); });
  }

 private:
  StaticText& t_;
  bool tracking_ = false;
};

}  // namespace

StaticText::StaticText(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new LabelWidget(*this, SurfaceOf(owner)), left, top, width, height);
  Redraw(true);
}
StaticText::~StaticText() = default;

void StaticText::RaiseOpen() {
  Control::RaiseOpen();
  if (MouseDown || MouseUp || MouseEnter || MouseExit)
    impl_->widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void StaticText::SetText(std::string_view t) {
  if (text_ == t) return;
  text_ = t;
  Redraw(true);
}
void StaticText::SetTextAlign(int a) { align_ = a, Redraw(true); }
void StaticText::SetTextColor(Color c) { color_ = c, Redraw(true); }
void StaticText::SetTextFont(std::string_view f) { font_ = f, Redraw(true); }
void StaticText::SetTextSize(int s) { size_ = s, Redraw(true); }
void StaticText::SetBold(bool b) { bold_ = b, Redraw(true); }
void StaticText::SetItalic(bool i) { italic_ = i, Redraw(true); }
void StaticText::SetMultiline(bool m) { multiline_ = m, Redraw(true); }

void StaticText::Redraw(bool) {
  QPainter p(&ClearPicture(*impl_));
  auto g = GraphicsOnPainter(p, Width(), Height());
  g->SetTextFont(font_);
  g->SetTextSize(size_);
  g->SetBold(bold_);
  g->SetItalic(italic_);
  g->SetForeColor(color_);
  if (multiline_) {
    QString text = ToQ(text_);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int flags = Qt::TextWordWrap | Qt::AlignTop |
                (align_ == kCenter ? Qt::AlignHCenter : align_ == kRight ? Qt::AlignRight : Qt::AlignLeft);
    DrawTextIn(*g, text, QRect(0, 0, Width(), Height()), flags);
  } else {
    int w = static_cast<int>(g->StringWidth(text_) + 0.5);
    // A text wider than the label keeps its start whatever the alignment: its end is cut.
    int x = std::max(0, align_ == kCenter ? (Width() - w) / 2 : align_ == kRight ? Width() - w : 0);
    g->DrawString(text_, x, g->TextAscent());
  }
  impl_->drawn = true;
  // Only the label's own place on screen is drawn again.
  impl_->widget->update();
}
}  // namespace fw
