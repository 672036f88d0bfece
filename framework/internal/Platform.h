// The few operations in which a real run and a headless one differ. One
// implementation is chosen at start-up: the real platform unless a headless
// driver installed its own before anything else ran.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "../MessageDialog.h"

namespace fw {
class Window;
}

namespace fw::platform {

class Platform {
 public:
  virtual ~Platform() = default;

  // Runs the event loop until w closes; EndModal(w) ends that run.
  virtual void RunModal(Window& w) = 0;
  virtual void EndModal(Window& w) = 0;
  virtual MessageDialog::Pressed RunDialog(const MessageDialog& d) = 0;
  virtual void ShowURL(std::string_view url) = 0;
  // An exception escaped a handler (standard error has the line already).
  virtual void ReportUnhandled(const std::string& what) = 0;
  // The application has raised its Close: the event loop ends.
  virtual void LeaveEventLoop() = 0;
  // The pointer in w's content coordinates.
  virtual std::pair<int, int> Pointer(const Window& w) = 0;
  // w has shown on screen for the first time.
  virtual void Shown(Window& w) = 0;
  // Where the application's media are.
  virtual std::optional<std::filesystem::path> ResourcesFolder() = 0;
  // Whether a network transfer in flight holds the clock to real time for a
  // while: a clock that jumps would run out its time limit before any reply.
  virtual bool PacesTransfers() const { return false; }
  // Where a network request for host (lower case) at port connects: the real
  // platform connects where it was asked to; a headless one may send it elsewhere.
  virtual std::pair<std::string, int> ConnectTarget(const std::string& host, int port) const { return {host, port}; }
};

// The platform in use: the real one unless another was installed.
Platform& Current();
// Makes p the platform in use (not owned; it outlives every window). Once, at start-up.
void Install(Platform* p);

// Shared by the platforms.
// The folder "Resources" beside the folder that holds the executable.
std::optional<std::filesystem::path> ResourcesBesideExecutable();
// What the player is told when a handler failed.
MessageDialog UnhandledAlert(std::string_view what);
// The dialog as a platform window; returns the button pressed.
MessageDialog::Pressed RunMessageBox(const MessageDialog& d);
// Qt set up for the game: windows, the key store's event filter.
void InitQt();
// Follows the pointer through the application's mouse events (the real platform's Pointer).
void TrackPointer();
// Runs startup with the windows it makes held back, raises the application's
// Open, then opens those windows.
void BringUp(const std::function<void()>& startup);

}  // namespace fw::platform
