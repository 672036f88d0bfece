// The list of open windows and their opening, for framework sources only.
#pragma once

#include <memory>
#include <typeindex>

#include "../Window.h"

namespace fw {

namespace internal {
struct WindowAccess {
  static void OpenNow(Window& w) { w.OpenNow(); }
  static bool Opened(const Window& w) { return w.opened_; }
};
}  // namespace internal

namespace windows {
void Adopt(std::type_index type, std::unique_ptr<Window> w);
// The window that gets menu commands: the modal one, else the newest visible one.
Window* Front();
// A closed window leaves the list and is destroyed at the next pass.
void Release(Window* w);
void DestroyClosed();
void DestroyAll();
// Windows made before the event loop starts open (and raise Open) only once it does.
void StartOpening();
void HoldOpening();
bool OpeningStarted();
}  // namespace windows

}  // namespace fw
