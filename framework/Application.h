// The application object, the event loop and its start-up and quit, pointers,
// and the one report for exceptions that escape a handler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "FolderItem.h"

namespace fw {

class MenuBar;
class MouseCursor;

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  virtual void Event_Open() {}
  virtual void Event_Close() {}

  MenuBar* GetMenuBar() const { return menuBar_; }
  void SetMenuBar(MenuBar* bar) { menuBar_ = bar; }

  std::string ShortVersion() const;
  std::string LongVersion() const;
  int BugVersion() const;

  // The pointer over every window; none gives the standard one back.
  void SetMouseCursor(const MouseCursor* cursor);
  const MouseCursor* GetMouseCursor() const { return cursor_; }

  // The application's own resources: cursors by id.
  class ResourceFile {
   public:
    // 168 is the blank (hidden) pointer; none for any other id.
    const MouseCursor* GetCursor(int id) const;
  };
  const ResourceFile* ResourceFork() const { return &resources_; }

  // The folder "Resources" beside the folder that holds the executable.
  std::optional<FolderItem> ResourcesFolder() const;

  // A quit request: raises Event_Close once, then leaves the event loop.
  void Quit();
  bool Quitting() const { return quitting_; }

 private:
  MenuBar* menuBar_ = nullptr;
  const MouseCursor* cursor_ = nullptr;
  bool overriding_ = false;  // our override is on the platform's stack
  ResourceFile resources_;
  bool quitting_ = false;
};

// The running application, or none before one is made.
Application* CurrentApp();

// Starts the framework (SIGTERM/SIGINT/SIGHUP as quit requests, the platform, the pump),
// runs startup (which makes the application object and the first window), raises
// the application's Open, opens the windows made so far, and runs the event loop
// until a quit; then finalise runs, before the windows and the platform go.
// A quit signal while the platform starts ends it there, before startup runs.
// Returns the process's exit status.
int RunApplication(int argc, char** argv, const std::function<void()>& startup,
                   const std::function<void()>& finalise);

// Report of an exception that escaped a handler: standard error and an alert.
// The program goes on.
void ReportUnhandled(std::string_view what);

template <class F>
void Guard(F&& f) noexcept {
  try {
    f();
  } catch (const std::exception& e) {
    ReportUnhandled(e.what());
  } catch (...) {
    ReportUnhandled("unknown exception");
  }
}

class MouseCursor {
 public:
  enum class Shape { Standard, Finger, Wait, Hidden };
  explicit constexpr MouseCursor(Shape s) : shape(s) {}
  Shape shape;
};

namespace Cursors {
const MouseCursor* StandardPointer();
const MouseCursor* FingerPointer();
const MouseCursor* Wait();
}  // namespace Cursors

// Key state at this moment, by the classic key codes: 35 P, 49 space, 8 C.
bool AsyncKeyDown(int keyCode);
bool AsyncOptionKey();  // Alt here

// Opens a web address in the browser.
void ShowURL(std::string_view url);

}  // namespace fw
