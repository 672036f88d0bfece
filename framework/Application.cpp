#include "Application.h"

#include <QCursor>
#include <QGuiApplication>

#include <cstdio>
#include <utility>

#include "MessageDialog.h"
#include "internal/Platform.h"
#include "internal/QtBridge.h"

#ifndef ZEMBO_SHORT_VERSION
#define ZEMBO_SHORT_VERSION "2.1"
#endif
#ifndef ZEMBO_BUILD_NUMBER
#define ZEMBO_BUILD_NUMBER 0
#endif

namespace fw {

namespace {
Application* gApp = nullptr;
}

Application* CurrentApp() { return gApp; }

Application::Application() { gApp = this; }
Application::~Application() {
  if (gApp == this) gApp = nullptr;
}

std::string Application::ShortVersion() const { return ZEMBO_SHORT_VERSION; }
std::string Application::LongVersion() const { return "Zembo " + ShortVersion(); }
int Application::BugVersion() const { return ZEMBO_BUILD_NUMBER; }

void Application::SetMouseCursor(const MouseCursor* cursor) {
  // At most one override of ours on Qt's stack, and none for the standard pointer: an
  // override beats every control's and window's own pointer.
  if (std::exchange(overriding_, false) && qApp) QGuiApplication::restoreOverrideCursor();
  cursor_ = cursor;
  if (!cursor_ || cursor_->shape == MouseCursor::Shape::Standard || !qApp) return;
  QGuiApplication::setOverrideCursor(ToQCursor(cursor_));
  overriding_ = true;
}

const MouseCursor* Application::ResourceFile::GetCursor(int id) const {
  static constexpr MouseCursor kHidden(MouseCursor::Shape::Hidden);
  constexpr int kHiddenCursorId = 168;
  return id == kHiddenCursorId ? &kHidden : nullptr;
}

std::optional<FolderItem> Application::ResourcesFolder() const {
  auto folder = platform::Current().ResourcesFolder();
  if (!folder) return std::nullopt;
  return FolderItem(*folder);
}

void Application::Quit() {
  if (quitting_) return;
  quitting_ = true;
  Guard([&] { Event_Close(); });
  platform::Current().LeaveEventLoop();
}

namespace Cursors {
const MouseCursor* StandardPointer() {
  static constexpr MouseCursor c(MouseCursor::Shape::Standard);
  return &c;
}
const MouseCursor* FingerPointer() {
  static constexpr MouseCursor c(MouseCursor::Shape::Finger);
  return &c;
}
const MouseCursor* Wait() {
  static constexpr MouseCursor c(MouseCursor::Shape::Wait);
  return &c;
}
}  // namespace Cursors

void ReportUnhandled(std::string_view what) {
  std::fprintf(stderr, "zembo: unhandled exception: %.*s\n", static_cast<int>(what.size()), what.data());
  platform::Current().ReportUnhandled(std::string(what));
}

void ShowURL(std::string_view url) { platform::Current().ShowURL(url); }

namespace platform {

std::optional<std::filesystem::path> ResourcesBesideExecutable() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return std::nullopt;
  auto folder = exe.parent_path().parent_path() / "Resources";
  if (!std::filesystem::is_directory(folder, ec)) return std::nullopt;
  return folder;
}

MessageDialog UnhandledAlert(std::string_view what) {
  MessageDialog d;
  d.Icon = 2;
  d.Message = "An unexpected error occurred.";
  d.Explanation = std::string(what) + "\nThe game goes on, but it may not behave as it should.";
  return d;
}

}  // namespace platform

}  // namespace fw
