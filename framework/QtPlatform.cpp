// The real platform: Qt's event loop and dialogs, the browser, the real pointer.
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <map>

#include "Window.h"
#include "internal/Platform.h"
#include "internal/QtBridge.h"

namespace fw::platform {
namespace {

void ShowUnhandledAlert(const std::string& what) {
  static bool reporting = false;  // a failure inside the alert itself is not reported again
  if (reporting) return;
  reporting = true;
  UnhandledAlert(what).ShowModal();
  reporting = false;
}

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
    QPoint p = ContentWidget(w)->mapFromGlobal(QCursor::pos());
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

Platform& Current() { return *gCurrent; }
void Install(Platform* p) { gCurrent = p ? p : &gReal; }

}  // namespace fw::platform
