#include "Window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "Menu.h"
#include "internal/Hold.h"
#include "internal/MenuBridge.h"
#include "internal/Platform.h"
#include "internal/Pump.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"
#include "internal/Windows.h"

namespace fw {

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

namespace {

void FollowHeight(Window& w);

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
  // Keys no control took come here: first the window's handler, then its buttons.
  void keyPressEvent(QKeyEvent* e) override {
    bool took = false;
    std::string key = KeyText(e);
    if (!key.empty()) Guard([&] { took = w_.Event_KeyDown(key); });
    if (!took && !key.empty()) took = PressButtonForKey(w_, key);
    if (!took) QWidget::keyPressEvent(e);
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    FollowHeight(w_);
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
  bool closingByFramework = false;
  bool placed = false;
  bool closeBox = true;
  bool minimizeBox = true;
  bool maximizeBox = true;
  bool owned = false;            // a dialog that stays above the window it belongs to
  bool blocked = false;          // another window is modal over this one
  std::uint64_t frontStamp = 0;  // when it was last shown or activated
  int followedHeight = -1;       // the height that bottom-locked controls are placed for
};

namespace {

std::uint64_t gFrontStamps = 0;
// Windows whose Event_Open is running, innermost last.
std::vector<Window*> gOpening;

// Once the window has opened, controls locked to the bottom edge move with every change
// of its height; before that their places are the layout's own.
void FollowHeight(Window& w) {
  Window::Impl& impl = w.impl();
  int h = w.Height();
  int delta = impl.followedHeight < 0 ? 0 : h - impl.followedHeight;
  impl.followedHeight = h;
  if (delta == 0 || !internal::WindowAccess::Opened(w)) return;
  for (Control* c : w.Controls())
    if (c->LockBottom()) c->SetTop(c->Top() + delta);
}

}  // namespace

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
    // A window without a close box only closes itself, whatever asks the platform.
    if (!w_.impl().closeBox) return;
    bool keep = false;
    Guard([&] { keep = w_.Event_CancelClose(); });
    if (!keep && w_.IsOpen()) w_.Close();
  }
  bool event(QEvent* e) override {
    switch (e->type()) {
      case QEvent::WindowActivate:
        w_.impl().frontStamp = ++gFrontStamps;
        if (w_.IsOpen()) Guard([&] { w_.Event_Activate(); });
        break;
      case QEvent::WindowBlocked: w_.impl().blocked = true; break;
      case QEvent::WindowUnblocked: w_.impl().blocked = false; break;
      default: break;
    }
    return QMainWindow::event(e);
  }

 private:
  Window& w_;
};

namespace {

// The boxes the window asked for, and none that the platform would add: a window
// manager offers only the actions these flags allow.
void ApplyFrameFlags(Window::Impl& impl) {
  Qt::WindowFlags flags = (impl.owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint;
  flags.setFlag(Qt::WindowCloseButtonHint, impl.closeBox);
  flags.setFlag(Qt::WindowMinimizeButtonHint, impl.minimizeBox);
  flags.setFlag(Qt::WindowMaximizeButtonHint, impl.maximizeBox);
  QMainWindow& frame = *impl.frame;
  if (frame.windowFlags() == flags) return;
  // New flags hide a window on screen.
  bool shown = frame.isVisible();
  frame.setWindowFlags(flags);
  if (shown) frame.show();
}

// A dialog of its owner, which the window manager keeps above it. Only the platform
// window learns of the owner: the frame stays the framework's to destroy.
void BelongTo(Window::Impl& impl, Window* owner) {
  if (!owner) return;
  impl.owned = true;
  ApplyFrameFlags(impl);
  QWidget* ownerFrame = owner->impl().frame.get();
  ownerFrame->winId();
  impl.frame->winId();
  impl.frame->windowHandle()->setTransientParent(ownerFrame->windowHandle());
}

// Every window of the game opens centred on the screen's area free for windows; one
// larger than that area keeps its top-left corner on it, so that its title bar and its
// menu bar stay within reach.
QPoint FramePlace(const QRect& area, const QSize& frame) {
  return {area.left() + std::max(0, (area.width() - frame.width()) / 2),
          area.top() + std::max(0, (area.height() - frame.height()) / 2)};
}

// Puts the frame's outer corner, title bar included, at the point. A frame whose platform
// window is made already (a dialog's owner is made before it shows) takes a plain move as
// the place of its content, which would leave the title bar above the point.
void MoveFrame(QMainWindow& frame, QPoint at) {
  frame.move(at);
  if (QWindow* handle = frame.windowHandle()) handle->setFramePosition(at);
}

// The platform takes a window's modality only as it shows, so a window on screen is
// shown again, in a new platform window: mapping the same one again right after
// unmapping it races the window manager, which may then leave it unmapped for good.
void SetModality(QMainWindow& frame, Qt::WindowModality modality) {
  if (frame.windowModality() == modality) return;
  bool shown = frame.isVisible();
  QPoint corner = frame.frameGeometry().topLeft();
  if (shown) {
    frame.hide();
    frame.windowHandle()->destroy();
  }
  frame.setWindowModality(modality);
  if (!shown) return;
  // The new platform window's frame goes where the old one's is.
  MoveFrame(frame, corner);
  frame.show();
}

}  // namespace

void Surface::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintWindowBackground(w_, p, rect());
}

QWidget* ContentWidget(const Window& w) { return w.impl().surface; }

void PaintWindowBackground(const Window& w, QPainter& p, const QRect& area) {
  const Window::Impl& impl = w.impl();
  QRect at(QPoint(0, 0), area.size());
  if (impl.hasBackColor) p.fillRect(at, ToQ(impl.backColor));
  else p.fillRect(at, impl.surface->palette().window());
  if (impl.backdrop) p.drawImage(-area.topLeft(), Composed(*impl.backdrop));
}

Window::Window() : impl_(std::make_unique<Impl>()) {
  impl_->frame = std::make_unique<Frame>(*this);
  impl_->surface = new Surface(*this);
  impl_->frame->setCentralWidget(impl_->surface);
  impl_->frame->setWindowTitle(ToQ(impl_->title));
  ApplyFrameFlags(*impl_);
  SetSize(300, 200);
}

Window::~Window() {
  closed_ = true;
  if (modal_) platform::Current().EndModal(*this);
  impl_->closingByFramework = true;
  // Controls are members of the subclass and already gone with their widgets.
  impl_->frame.reset();
}

void Window::SetSize(int width, int height) {
  QWidget* surface = impl_->surface;
  QMainWindow& frame = *impl_->frame;
  if (impl_->resizeable) {
    surface->setMinimumSize(64, 64);
    surface->setMaximumSize(32000, 32000);
    // A hidden frame lays out its content only as it shows; the size counts from now.
    surface->resize(width, height);
    frame.layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    frame.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    surface->setFixedSize(width, height);
    // The frame's minimum and maximum are its content's size plus the menu bar, so no
    // window manager can resize or maximise it.
    frame.layout()->setSizeConstraint(QLayout::SetFixedSize);
  }
  QWidget* bar = frame.menuWidget();
  int barHeight = bar && !bar->isHidden() ? bar->sizeHint().height() : 0;
  frame.resize(width, height + barHeight);
  frame.layout()->activate();
  FollowHeight(*this);
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
  impl_->closeBox = c;
  ApplyFrameFlags(*impl_);
}

void Window::SetMinimizeButton(bool m) {
  impl_->minimizeBox = m;
  ApplyFrameFlags(*impl_);
}

void Window::SetMaximizeButton(bool m) {
  impl_->maximizeBox = m;
  ApplyFrameFlags(*impl_);
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
  gOpening.push_back(this);
  Guard([&] { Event_Open(); });
  gOpening.erase(std::find(gOpening.begin(), gOpening.end(), this));
  ShowAfterOpen();
}

void Window::ShowAfterOpen() {
  // After the Open handlers, so that what the controls draw has been set up.
  for (Control* c : controls_) Guard([&] { internal::WindowControls::DrawFirstContent(*c); });
  if (visibleOnOpen_ && !closed_) Show();
}

void Window::Show() {
  if (closed_) return;
  bool first = !impl_->frame->isVisible();
  if (first && !impl_->placed) {
    impl_->placed = true;
    BelongTo(*impl_, windows::OwnerOfNewWindow(this));
    if (QScreen* screen = QGuiApplication::primaryScreen())
      MoveFrame(*impl_->frame, FramePlace(screen->availableGeometry(), impl_->frame->frameGeometry().size()));
  }
  impl_->frame->show();
  if (first) {
    // Start-up benchmarks and the end-to-end test follow the windows this way.
    static const bool trace = std::getenv("ZEMBO_TRACE") != nullptr;
    if (trace) std::fprintf(stderr, "zembo: shown: %s\n", impl_->title.c_str());
    platform::Current().Shown(*this);
  }
  impl_->frame->raise();
  impl_->frame->activateWindow();
  impl_->surface->setFocus();
  impl_->frontStamp = ++gFrontStamps;
}

void Window::ShowModal() {
  if (closed_) return;
  // A window that shows a modal one while it opens is on screen beneath it.
  for (Window* opener : std::vector<Window*>(gOpening))
    if (opener != this) opener->ShowAfterOpen();
  modal_ = true;
  // An implicit instance is on screen already: it shows as it opens.
  SetModality(*impl_->frame, Qt::ApplicationModal);
  Show();
  {
    windows::ModalLoop loop;
    platform::Current().RunModal(*this);
  }
  modal_ = false;
  if (!closed_) SetModality(*impl_->frame, Qt::NonModal);
}

void Window::Hide() { impl_->frame->hide(); }

void Window::Close() {
  if (closed_) return;
  closed_ = true;
  Guard([&] { Event_Close(); });
  impl_->closingByFramework = true;
  impl_->frame->hide();
  if (modal_) platform::Current().EndModal(*this);
  windows::Release(this);
  pump::Changed();  // its timers are due no more
}

bool Window::IsVisible() const { return !closed_ && impl_->frame->isVisible(); }

int Window::MouseX() const { return platform::Current().Pointer(*this).first; }
int Window::MouseY() const { return platform::Current().Pointer(*this).second; }

void Window::SetMouseCursor(const MouseCursor* cursor) { impl_->surface->setCursor(ToQCursor(cursor)); }

void Window::ClearFocus() {
  if (QWidget* f = impl_->frame->focusWidget(); f && f != impl_->surface) f->clearFocus();
  impl_->surface->setFocus();
}

void Window::Refresh() { impl_->surface->update(); }

Control* Window::FindControl(std::string_view name) const {
  auto it = std::find_if(controls_.begin(), controls_.end(), [&](Control* c) { return c->Name() == name; });
  return it == controls_.end() ? nullptr : *it;
}

Control* Window::FindControl(std::string_view name, int index) const {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [&](Control* c) { return c->Name() == name && c->Index() == index; });
  return it == controls_.end() ? nullptr : *it;
}

void internal::WindowControls::Enlist(Window& w, Control& c) { w.controls_.push_back(&c); }

void internal::WindowControls::Delist(Window& w, Control& c) {
  auto& list = w.controls_;
  list.erase(std::remove(list.begin(), list.end(), &c), list.end());
}

bool internal::WindowControls::Opened(const Window& w) { return w.opened_; }

std::uint64_t internal::WindowAccess::FrontStamp(const Window& w) { return w.impl().frontStamp; }

namespace windows {
bool BlockedByModal(const Window& w) { return w.impl().blocked; }
}  // namespace windows

}  // namespace fw
