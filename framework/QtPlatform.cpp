// The real platform: Qt's event loop and dialogs, the browser, the real pointer.
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cmath>
#include <map>
#include <optional>

#include "Window.h"
#include "internal/Platform.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw::platform {
namespace {

void ShowUnhandledAlert(const std::string& what) {
  static bool reporting = false;  // a failure inside the alert itself is not reported again
  if (reporting) return;
  reporting = true;
  UnhandledAlert(what).ShowModal();
  reporting = false;
}

// The pointer as the application's own mouse events place it. Asking the display
// server instead costs a round trip, and the frame loop asks every frame; over
// the game's windows the events say the same. Where the pointer may be beyond
// them (it left a window, a window under it went away, a modal window took the
// input, the game lost the focus) it is asked for again until the next event.
class PointerTracker final : public QObject {
 public:
  QPoint Global() const { return global_ ? *global_ : QCursor::pos(); }

 protected:
  bool eventFilter(QObject* target, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseMove:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Enter:
        // Some senders make a bare Enter event, with no place.
        if (auto* p = dynamic_cast<QSinglePointEvent*>(e)) Take(p->globalPosition());
        break;
      case QEvent::WindowBlocked:
      case QEvent::ApplicationStateChange: global_.reset(); break;
      case QEvent::Leave:
      case QEvent::Hide:
        if (target->isWindowType()) global_.reset();
        break;
      default: break;
    }
    return false;
  }

 private:
  // The display server reports the whole pixel the pointer is in.
  void Take(QPointF p) { global_ = QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))); }

  std::optional<QPoint> global_;  // none while the pointer may be beyond the game's windows
};

PointerTracker* gPointer = nullptr;  // parented to the application

class QtPlatform final : public Platform {
 public:
  void RunModal(Window& w) override {
    QEventLoop loop;
    loops_[&w] = &loop;
    if (w.IsOpen()) loop.exec();
    loops_.erase(&w);
  }

  void EndModal(Window& w) override {
    if (auto it = loops_.find(&w); it != loops_.end()) it->second->quit();
  }

  MessageDialog::Pressed RunDialog(const MessageDialog& d) override { return RunMessageBox(d); }

  void ShowURL(std::string_view url) override { QDesktopServices::openUrl(QUrl(ToQ(url))); }

  void ReportUnhandled(const std::string& what) override {
    if (!qApp) return;
    // Not from inside the handler that failed: it may be painting, or deep in a frame.
    QTimer::singleShot(0, qApp, [what] { ShowUnhandledAlert(what); });
  }

  void LeaveEventLoop() override {
    if (qApp) QCoreApplication::exit(0);
  }

  std::pair<int, int> Pointer(const Window& w) override {
    QPoint p = ContentWidget(w)->mapFromGlobal(gPointer ? gPointer->Global() : QCursor::pos());
    return {p.x(), p.y()};
  }

  void Shown(Window&) override {}

  std::optional<std::filesystem::path> ResourcesFolder() override { return ResourcesBesideExecutable(); }

 private:
  std::map<const Window*, QEventLoop*> loops_;  // windows whose ShowModal runs, innermost last
};

QtPlatform gReal;
Platform* gCurrent = &gReal;

}  // namespace

void TrackPointer() {
  if (gPointer || !qApp) return;
  gPointer = new PointerTracker;
  gPointer->setParent(qApp);
  qApp->installEventFilter(gPointer);
  QObject::connect(gPointer, &QObject::destroyed, [] { gPointer = nullptr; });
}

Platform& Current() { return *gCurrent; }
void Install(Platform* p) { gCurrent = p ? p : &gReal; }

}  // namespace fw::platform
