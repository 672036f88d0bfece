#include "Window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "Clock.h"
#include "Menu.h"
#include "TestHooks.h"
#include "internal/MenuBridge.h"
#include "internal/Pump.h"
#include "internal/QtBridge.h"

namespace fw {

namespace {

QCursor ToQCursor(const MouseCursor* c) {
  if (!c) return QCursor(Qt::ArrowCursor);
  switch (c->shape) {
    case MouseCursor::Shape::Finger: return QCursor(Qt::PointingHandCursor);
    case MouseCursor::Shape::Wait: return QCursor(Qt::WaitCursor);
    case MouseCursor::Shape::Hidden: return QCursor(Qt::BlankCursor);
    case MouseCursor::Shape::Standard: break;
  }
  return QCursor(Qt::ArrowCursor);
}

std::string KeyText(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return) return "\r";
  if (e->key() == Qt::Key_Enter) return "\x03";
  if (e->key() == Qt::Key_Backspace) return "\x08";
  if (e->key() == Qt::Key_Tab) return "\t";
  if (e->key() == Qt::Key_Escape) return "\x1b";
  return e->text().toStdString();
}

// The window's content: backdrop, back colour and clicks outside any control.
class Surface : public QWidget {
 public:
  explicit Surface(Window& w) : QWidget(nullptr), w_(w) { setFocusPolicy(Qt::StrongFocus); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override {
    bool took = false;
    Guard([&] { took = w_.Event_MouseDown(e->position().toPoint().x(), e->position().toPoint().y()); });
    tracking_ = took;
    e->setAccepted(took);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (!std::exchange(tracking_, false)) return;
    Guard([&] { w_.Event_MouseUp(e->position().toPoint().x(), e->position().toPoint().y()); });
  }
  void keyPressEvent(QKeyEvent* e) override {
    bool took = false;
    std::string key = KeyText(e);
    if (!key.empty()) Guard([&] { took = w_.Event_KeyDown(key); });
    if (!took) QWidget::keyPressEvent(e);
  }

 private:
  Window& w_;
  bool tracking_ = false;
};

}  // namespace

class Frame;

struct Window::Impl {
  std::unique_ptr<Frame> frame;
  Surface* surface = nullptr;  // owned by frame
  std::string title = "Untitled";
  Ref<Picture> backdrop;
  Color backColor{255, 255, 255};
  bool hasBackColor = false;
  bool resizeable = false;
  MenuBar* menuBar = nullptr;
  QEventLoop* modalLoop = nullptr;
  bool closingByFramework = false;
  bool placed = false;
};

class Frame : public QMainWindow {
 public:
  explicit Frame(Window& w) : w_(w) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (w_.impl().closingByFramework) {
      e->accept();
      return;
    }
    // The close box: the window decides, and a closed window is destroyed by Close().
    e->ignore();
    bool keep = false;
    Guard([&] { keep = w_.Event_CancelClose(); });
    if (!keep && w_.IsOpen()) w_.Close();
  }

 private:
  Window& w_;
};

void Surface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Window::Impl& impl = w_.impl();
  if (impl.hasBackColor) p.fillRect(rect(), ToQ(impl.backColor));
  else p.fillRect(rect(), palette().window());
  if (impl.backdrop) p.drawImage(QPoint(0, 0), Composed(*impl.backdrop));
  // Labels are drawn by the window so that they sit on its backdrop.
  for (Control* c : w_.Controls()) {
    auto* label = dynamic_cast<StaticText*>(c);
    if (!label || !label->Visible()) continue;
    p.save();
    p.translate(label->Left(), label->Top());
    p.setClipRect(0, 0, label->Width(), label->Height());
    auto g = GraphicsOnPainter(p, label->Width(), label->Height());
    label->PaintOn(*g);
    p.restore();
  }
}

QWidget* ContentWidget(const Window& w) { return w.impl().surface; }

Window::Window() : impl_(std::make_unique<Impl>()) {
  impl_->frame = std::make_unique<Frame>(*this);
  impl_->surface = new Surface(*this);
  impl_->frame->setCentralWidget(impl_->surface);
  impl_->frame->setWindowTitle(ToQ(impl_->title));
  SetSize(300, 200);
}

Window::~Window() {
  closed_ = true;
  if (impl_->modalLoop) impl_->modalLoop->quit();
  impl_->closingByFramework = true;
  // Controls are members of the subclass and already gone with their widgets.
  impl_->frame.reset();
}

void Window::SetSize(int width, int height) {
  QWidget* surface = impl_->surface;
  if (impl_->resizeable) {
    surface->setMinimumSize(64, 64);
    surface->setMaximumSize(32000, 32000);
  } else {
    surface->setFixedSize(width, height);
  }
  QWidget* bar = impl_->frame->menuWidget();
  int barHeight = bar && !bar->isHidden() ? bar->sizeHint().height() : 0;
  impl_->frame->resize(width, height + barHeight);
  impl_->frame->layout()->activate();
}

int Window::Width() const { return impl_->surface->width(); }
int Window::Height() const { return impl_->surface->height(); }

void Window::SetTitle(std::string_view title) {
  impl_->title = title;
  impl_->frame->setWindowTitle(ToQ(title));
}
const std::string& Window::Title() const { return impl_->title; }

void Window::SetBackdrop(Ref<Picture> pic) {
  impl_->backdrop = std::move(pic);
  impl_->surface->update();
}
const Ref<Picture>& Window::Backdrop() const { return impl_->backdrop; }

void Window::SetBackColor(Color c, bool has) {
  impl_->backColor = c;
  impl_->hasBackColor = has;
  impl_->surface->update();
}

void Window::SetResizeable(bool r) {
  impl_->resizeable = r;
  SetSize(Width(), Height());
}

void Window::SetCloseButton(bool c) {
  impl_->frame->setWindowFlag(Qt::WindowCloseButtonHint, c);
}

void Window::SetMenuBar(MenuBar* bar) {
  impl_->menuBar = bar;
  if (bar) menus::Install(*bar, *impl_->frame);
  impl_->frame->adjustSize();
}

MenuBar* Window::GetMenuBar() const { return impl_->menuBar; }

void Window::OpenNow() {
  if (opened_ || !windows::OpeningStarted()) return;
  opened_ = true;
  for (Control* c : controls_) Guard([&] { c->RaiseOpen(); });
  Guard([&] { Event_Open(); });
  if (visibleOnOpen_ && !closed_) Show();
}

void Window::Show() {
  if (closed_) return;
  bool first = !impl_->frame->isVisible();
  if (first && !impl_->placed) {
    // Every window of the game opens centred on the main screen.
    impl_->placed = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect area = screen->availableGeometry();
      QSize size = impl_->frame->size();
      impl_->frame->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
  }
  impl_->frame->show();
  if (first) {
    // Start-up benchmarks and the end-to-end test follow the windows this way.
    static const bool trace = std::getenv("ZEMBO_TRACE") != nullptr;
    if (trace) std::fprintf(stderr, "zembo: shown: %s\n", impl_->title.c_str());
    test::NoteShown(*this);
  }
  impl_->frame->raise();
  impl_->frame->activateWindow();
  impl_->surface->setFocus();
}

void Window::ShowModal() {
  if (closed_) return;
  modal_ = true;
  impl_->frame->setWindowModality(Qt::ApplicationModal);
  Show();
  if (clock_hooks::IsManual()) {
    test::RunModal(*this);
  } else {
    QEventLoop loop;
    impl_->modalLoop = &loop;
    if (!closed_) loop.exec();
    impl_->modalLoop = nullptr;
  }
  modal_ = false;
  // Kept alive while its loop ran, even once closed; now it may go.
  if (closed_) QTimer::singleShot(0, [] { windows::DestroyClosed(); });
}

void Window::Hide() { impl_->frame->hide(); }

void Window::Close() {
  if (closed_) return;
  closed_ = true;
  Guard([&] { Event_Close(); });
  impl_->closingByFramework = true;
  impl_->frame->hide();
  if (impl_->modalLoop) impl_->modalLoop->quit();
  windows::Release(this);
}

bool Window::IsVisible() const { return !closed_ && impl_->frame->isVisible(); }

int Window::MouseX() const {
  if (auto p = test::ScriptedMouse()) return p->first;
  return impl_->surface->mapFromGlobal(QCursor::pos()).x();
}

int Window::MouseY() const {
  if (auto p = test::ScriptedMouse()) return p->second;
  return impl_->surface->mapFromGlobal(QCursor::pos()).y();
}

void Window::SetMouseCursor(const MouseCursor* cursor) { impl_->surface->setCursor(ToQCursor(cursor)); }

void Window::Refresh() { impl_->surface->update(); }

void Window::AddMenuHandler(std::string_view itemName, std::function<bool()> handler) {
  menuHandlers_[std::string(itemName)] = std::move(handler);
}

bool Window::HandleMenu(std::string_view itemName) {
  auto it = menuHandlers_.find(itemName);
  if (it == menuHandlers_.end()) return false;
  Guard([&] { it->second(); });
  return true;
}


Control* Window::FindControl(std::string_view name) const {
  auto it = std::find_if(controls_.begin(), controls_.end(), [&](Control* c) { return c->Name() == name; });
  return it == controls_.end() ? nullptr : *it;
}

Control* Window::FindControl(std::string_view name, int index) const {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [&](Control* c) { return c->Name() == name && c->Index() == index; });
  return it == controls_.end() ? nullptr : *it;
}

namespace windows {
namespace {
struct Entry {
  std::type_index type;
  std::unique_ptr<Window> window;
};
std::vector<Entry> gOpen;
std::vector<std::unique_ptr<Window>> gClosed;
bool gOpening = false;
}  // namespace

void HoldOpening() { gOpening = false; }
bool OpeningStarted() { return gOpening; }

void StartOpening() {
  gOpening = true;
  for (std::size_t i = 0; i < gOpen.size(); ++i)
    if (!gOpen[i].window->Opened()) gOpen[i].window->OpenNow();
}

Window* Find(std::type_index type) {
  for (auto& e : gOpen)
    if (e.type == type && e.window->IsOpen()) return e.window.get();
  return nullptr;
}

void Adopt(std::type_index type, std::unique_ptr<Window> w) { gOpen.push_back({type, std::move(w)}); }

void Release(Window* w) {
  auto it = std::find_if(gOpen.begin(), gOpen.end(), [&](const Entry& e) { return e.window.get() == w; });
  if (it == gOpen.end()) return;
  gClosed.push_back(std::move(it->window));
  gOpen.erase(it);
  // Destroyed once the handler that closed it has returned.
  QTimer::singleShot(0, [] { DestroyClosed(); });
}

void DestroyClosed() {
  // A window whose ShowModal has not returned yet stays until it has.
  std::vector<std::unique_ptr<Window>> keep, gone;
  for (auto& w : gClosed) (w->IsModal() ? keep : gone).push_back(std::move(w));
  gClosed = std::move(keep);
  gone.clear();
}

void DestroyAll() {
  while (!gOpen.empty()) {
    auto w = std::move(gOpen.back().window);
    gOpen.pop_back();
    w.reset();
  }
  gClosed.clear();
}

std::vector<Window*> All() {
  std::vector<Window*> out;
  for (auto& e : gOpen)
    if (e.window->IsOpen()) out.push_back(e.window.get());
  return out;
}

Window* Front() {
  Window* front = nullptr;
  for (auto& e : gOpen) {
    if (!e.window->IsOpen()) continue;
    if (e.window->IsModal()) front = e.window.get();
    else if (!front || !front->IsModal()) {
      if (e.window->IsVisible()) front = e.window.get();
    }
  }
  return front;
}
}  // namespace windows

// Controls

struct Control::Impl {
  QPointer<QWidget> widget;
};

namespace {

// A plain widget that forwards its events to a canvas.
class CanvasWidget : public QWidget {
 public:
  CanvasWidget(Canvas& c, QWidget* parent) : QWidget(parent), c_(c) { setMouseTracking(false); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (c_.Backdrop()) p.drawImage(QPoint(0, 0), Composed(*c_.Backdrop()));
    auto g = GraphicsOnPainter(p, width(), height());
    c_.SetPaintGraphics(g.get());
    Guard([&] { c_.Event_Paint(*g); });
    c_.SetPaintGraphics(nullptr);
  }
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

// Labels are painted by their window's surface; this widget only holds the place.
class LabelWidget : public QWidget {
 public:
  explicit LabelWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }
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
    bool took = false;
    std::string key = KeyText(e);
    if (f_.KeyDown && !key.empty()) Guard([&] { took = f_.KeyDown(key); });
    if (!took) QLineEdit::keyPressEvent(e);
  }

 private:
  EditField& f_;
};

QWidget* SurfaceOf(Window* w) { return w->impl().surface; }

}  // namespace

Control::Control(Window* owner, std::string_view name, int left, int top, int width, int height)
    : owner_(owner), impl_(std::make_unique<Impl>()), name_(name) {
  owner_->controls_.push_back(this);
  (void)left, (void)top, (void)width, (void)height;  // placed once the subclass made its widget
}

Control::~Control() {
  auto& list = owner_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  delete impl_->widget.data();
}

int Control::Left() const { return impl_->widget->x(); }
int Control::Top() const { return impl_->widget->y(); }
void Control::SetLeft(int x) {
  impl_->widget->move(x, Top());
  owner_->Refresh();
}
void Control::SetTop(int y) {
  impl_->widget->move(Left(), y);
  owner_->Refresh();
}
int Control::Width() const { return impl_->widget->width(); }
int Control::Height() const { return impl_->widget->height(); }
void Control::SetSize(int w, int h) { impl_->widget->resize(w, h); }
bool Control::Visible() const { return !impl_->widget->isHidden(); }
void Control::SetVisible(bool v) {
  impl_->widget->setVisible(v);
  owner_->Refresh();
}
bool Control::Enabled() const { return impl_->widget->isEnabled(); }
void Control::SetEnabled(bool e) { impl_->widget->setEnabled(e); }
void Control::Refresh(bool) {
  impl_->widget->update();
  if (dynamic_cast<StaticText*>(this)) owner_->Refresh();
}
void Control::SetFocus() { impl_->widget->setFocus(); }
void Control::SetMouseCursor(const MouseCursor* cursor) {
  cursor_ = cursor;
  impl_->widget->setCursor(ToQCursor(cursor));
}

static void Place(Control::Impl& impl, QWidget* w, int left, int top, int width, int height) {
  impl.widget = w;
  w->setGeometry(left, top, width, height);
  w->show();
}

StaticText::StaticText(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new LabelWidget(SurfaceOf(owner)), left, top, width, height);
}
StaticText::~StaticText() = default;

void StaticText::SetText(std::string_view t) {
  if (text_ == t) return;
  text_ = t;
  Refresh();
}
void StaticText::SetTextAlign(int a) { align_ = a, Refresh(); }
void StaticText::SetTextColor(Color c) { color_ = c, Refresh(); }
void StaticText::SetTextFont(std::string_view f) { font_ = f, Refresh(); }
void StaticText::SetTextSize(int s) { size_ = s, Refresh(); }
void StaticText::SetBold(bool b) { bold_ = b, Refresh(); }
void StaticText::SetItalic(bool i) { italic_ = i, Refresh(); }

void StaticText::SetMultiline(bool m) { multiline_ = m, Refresh(); }

void StaticText::PaintOn(Graphics& g) const {
  g.SetTextFont(font_);
  g.SetTextSize(size_);
  g.SetBold(bold_);
  g.SetItalic(italic_);
  g.SetForeColor(color_);
  if (multiline_) {
    QString text = ToQ(text_);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int flags = Qt::TextWordWrap | Qt::AlignTop |
                (align_ == kCenter ? Qt::AlignHCenter : align_ == kRight ? Qt::AlignRight : Qt::AlignLeft);
    DrawTextIn(g, text, QRect(0, 0, Width(), Height()), flags);
    return;
  }
  int w = static_cast<int>(g.StringWidth(text_) + 0.5);
  int x = align_ == kCenter ? (Width() - w) / 2 : align_ == kRight ? Width() - w : 0;
  g.DrawString(text_, x, g.TextAscent());
}

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

Canvas::Canvas(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new CanvasWidget(*this, SurfaceOf(owner)), left, top, width, height);
}
Canvas::~Canvas() = default;

void Canvas::SetBackdrop(Ref<Picture> pic) {
  backdrop_ = std::move(pic);
  Refresh();
}

fw::Graphics& Canvas::Graphics() {
  if (!paintGraphics_) throw NilObjectException();
  return *paintGraphics_;
}

namespace {

constexpr Color kEtchDark{160, 160, 160};
constexpr Color kEtchLight{255, 255, 255};

// The etch runs through the middle of the longer side: a dark line over a light one.
class SeparatorWidget : public QWidget {
 public:
  explicit SeparatorWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (width() >= height()) {
      int y = (height() - 2) / 2;
      p.fillRect(0, y, width(), 1, ToQ(kEtchDark));
      p.fillRect(0, y + 1, width(), 1, ToQ(kEtchLight));
    } else {
      int x = (width() - 2) / 2;
      p.fillRect(x, 0, 1, height(), ToQ(kEtchDark));
      p.fillRect(x + 1, 0, 1, height(), ToQ(kEtchLight));
    }
  }
};

class LineShapeWidget : public QWidget {
 public:
  LineShapeWidget(const Line& l, QWidget* parent) : QWidget(parent), l_(l) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(ToQ(l_.LineColor()), l_.BorderWidth()));
    p.drawLine(l_.X1() - x(), l_.Y1() - y(), l_.X2() - x(), l_.Y2() - y());
  }

 private:
  const Line& l_;
};

}  // namespace

Separator::Separator(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height) {
  Place(*impl_, new SeparatorWidget(SurfaceOf(owner)), left, top, width, height);
}
Separator::~Separator() = default;

Line::Line(Window* owner, std::string_view name, int x1, int y1, int x2, int y2)
    : Control(owner, name, std::min(x1, x2), std::min(y1, y2), 0, 0), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
  impl_->widget = new LineShapeWidget(*this, SurfaceOf(owner));
  impl_->widget->show();
  Place();
}
Line::~Line() = default;

// The widget covers the line with room for its width on every side.
void Line::Place() {
  int pad = borderWidth_;
  impl_->widget->setGeometry(std::min(x1_, x2_) - pad, std::min(y1_, y2_) - pad, std::abs(x2_ - x1_) + 2 * pad + 1,
                             std::abs(y2_ - y1_) + 2 * pad + 1);
  impl_->widget->update();
}

void Line::SetBorderWidth(int w) {
  borderWidth_ = std::max(w, 1);
  Place();
}

void Line::SetLineColor(Color c) {
  lineColor_ = c;
  impl_->widget->update();
}

}  // namespace fw
