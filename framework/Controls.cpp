#include "Controls.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "Application.h"
#include "Window.h"
#include "internal/Paint.h"
#include "internal/QtBridge.h"
#include "internal/Windows.h"

namespace fw {

namespace {

// Copies the control's stored picture to the screen; never draws anything itself.
class PictureWidget : public QWidget {
 public:
  PictureWidget(const Control::Impl& impl, QWidget* parent) : QWidget(parent), impl_(impl) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (impl_.picture.isNull()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), impl_.picture);
  }

 private:
  const Control::Impl& impl_;
};

// A stored picture that only shows: clicks go through to what lies beneath.
class PassiveWidget : public PictureWidget {
 public:
  PassiveWidget(const Control::Impl& impl, QWidget* parent) : PictureWidget(impl, parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
};

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

// Refuses typed or pasted text longer than the limit; the game's own SetText is not limited.
class LengthLimit : public QValidator {
 public:
  LengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
  State validate(QString& input, int&) const override { return input.size() > limit_ ? Invalid : Acceptable; }

 private:
  int limit_;
};

class LineWidget : public QLineEdit {
 public:
  LineWidget(EditField& f, QWidget* parent) : QLineEdit(parent), f_(f) {
    QObject::connect(this, &QLineEdit::textEdited, [this] {
      if (f_.TextChange) Guard([&] { f_.TextChange(); });
    });
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    // A key with Ctrl or Alt held is a shortcut, not typing: the game does not hear it,
    // and the field takes only its own editing commands (select all, copy ...), no text.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
      QKeyEvent command(e->type(), e->key(), e->modifiers(), e->nativeScanCode(), e->nativeVirtualKey(),
                        e->nativeModifiers(), QString(), e->isAutoRepeat(), e->count());
      QLineEdit::keyPressEvent(&command);
      e->setAccepted(command.isAccepted());
      return;
    }
    bool took = false;
    std::string key = KeyText(e);
    if (f_.KeyDown && !key.empty()) Guard([&] { took = f_.KeyDown(key); });
    if (!took) QLineEdit::keyPressEvent(e);
  }
  // Tab goes on only to another control that takes it: the window's own content is no
  // control, so a field alone in its window keeps the focus, and its selection.
  bool focusNextPrevChild(bool next) override {
    QWidget* content = ContentWidget(*f_.Owner());
    auto step = [next](QWidget* w) { return next ? w->nextInFocusChain() : w->previousInFocusChain(); };
    for (QWidget* w = step(this); w != this; w = step(w))
      if (w != content && content->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
          w->isVisible()) {
        w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        break;
      }
    return true;
  }

 private:
  EditField& f_;
};

QWidget* SurfaceOf(Window* w) { return ContentWidget(*w); }

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

// Canvases refreshed without erasing, in request order, painted at the end of the pass.
std::vector<Canvas*> gPending;
std::vector<Canvas*>* gFlushing = nullptr;  // the list being painted; a destroyed canvas leaves it
bool gFlushPosted = false;

}  // namespace

// Control

Control::Control(Window* owner, std::string_view name, int left, int top, int width, int height)
    : owner_(owner), impl_(std::make_unique<Impl>()), name_(name) {
  owner_->controls_.push_back(this);
  (void)left, (void)top, (void)width, (void)height;  // placed once the subclass made its widget
}

Control::~Control() {
  auto& list = owner_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
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

// StaticText

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

// EditField

EditField::EditField(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new LineWidget(*this, SurfaceOf(owner)), left, top, width, height);
}
EditField::~EditField() = default;

static QLineEdit* LineOf(const Control::Impl& impl) { return static_cast<QLineEdit*>(impl.widget.data()); }

std::string EditField::Text() const { return LineOf(*impl_)->text().toStdString(); }
void EditField::SetText(std::string_view t) { LineOf(*impl_)->setText(ToQ(t)); }
void EditField::SetTextFont(std::string_view f) {
  QFont font = LineOf(*impl_)->font();
  if (f != "System") font.setFamily(ToQ(f));
  LineOf(*impl_)->setFont(font);
}
void EditField::SetTextSize(int s) {
  QFont font = LineOf(*impl_)->font();
  if (s > 0) font.setPixelSize(s);
  LineOf(*impl_)->setFont(font);
}

bool EditField::ReadOnly() const { return LineOf(*impl_)->isReadOnly(); }
void EditField::SetReadOnly(bool r) { LineOf(*impl_)->setReadOnly(r); }

int EditField::SelStart() const {
  QLineEdit* line = LineOf(*impl_);
  return line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
}
void EditField::SetSelStart(int start) {
  QLineEdit* line = LineOf(*impl_);
  line->setCursorPosition(std::clamp<int>(start, 0, static_cast<int>(line->text().size())));
}
int EditField::SelLength() const { return static_cast<int>(LineOf(*impl_)->selectedText().size()); }
void EditField::SetSelLength(int length) {
  QLineEdit* line = LineOf(*impl_);
  int start = SelStart();
  int rest = static_cast<int>(line->text().size()) - start;
  line->setSelection(start, std::clamp(length, 0, rest));
}

void EditField::SetMaxLength(int n) {
  maxLength_ = std::max(n, 0);
  QLineEdit* line = LineOf(*impl_);
  delete line->validator();
  line->setValidator(maxLength_ > 0 ? new LengthLimit(maxLength_, line) : nullptr);
}

void EditField::SetAlignment(int a) {
  Qt::Alignment h = a == kCenter ? Qt::AlignHCenter : a == kRight ? Qt::AlignRight : Qt::AlignLeft;
  LineOf(*impl_)->setAlignment(h | Qt::AlignVCenter);
}

// Canvas

Canvas::Canvas(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new CanvasWidget(*this, SurfaceOf(owner)), left, top, width, height);
}

Canvas::~Canvas() {
  gPending.erase(std::remove(gPending.begin(), gPending.end(), this), gPending.end());
  if (gFlushing) std::replace(gFlushing->begin(), gFlushing->end(), this, static_cast<Canvas*>(nullptr));
}

fw::Graphics& Canvas::Graphics() {
  if (!paintGraphics_) throw NilObjectException();
  return *paintGraphics_;
}

void Canvas::Redraw(bool eraseBackground) {
  // Until its window opens, the first content answers every request.
  if (!internal::WindowAccess::Opened(*owner_)) return;
  // A canvas that asks for itself while it paints gets one more paint after this one.
  if (eraseBackground && !impl_->painting) {
    PaintNow(true);
    return;
  }
  if (impl_->pending) return;
  impl_->pending = true;
  gPending.push_back(this);
  // A request from an input event ends its pass with this; the pump's own passes flush sooner.
  if (!gFlushPosted && qApp) {
    gFlushPosted = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
          gFlushPosted = false;
          paint::FlushPending();
        },
        Qt::QueuedConnection);
  }
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
  gPending.erase(std::remove(gPending.begin(), gPending.end(), this), gPending.end());
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

namespace paint {

void FlushPending() {
  // Requests made while these paint wait for the next pass.
  std::vector<Canvas*> due;
  due.swap(gPending);
  std::vector<Canvas*>* outer = std::exchange(gFlushing, &due);
  for (Canvas* c : due)
    if (c) PaintPending(*c);
  gFlushing = outer;
}

}  // namespace paint

// Separator

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

// Line

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
