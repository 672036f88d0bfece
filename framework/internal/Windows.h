// The list of open windows and their opening, for framework sources only.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <typeindex>
#include <vector>

#include "../Window.h"

namespace fw {

namespace internal {
struct WindowAccess {
  static void OpenNow(Window& w) { w.OpenNow(); }
  static bool Opened(const Window& w) { return w.opened_; }
  static bool HasMenuHandler(const Window& w, std::string_view item) { return w.menuHandlers_.contains(item); }
  // When the window was last shown or activated: the front one has the latest.
  static std::uint64_t FrontStamp(const Window& w);
};
}  // namespace internal

namespace windows {
void Adopt(std::type_index type, std::unique_ptr<Window> w);
// The modal window, else the visible window shown or activated last.
Window* Front();
// The oldest open window that shows a menu bar.
Window* MenuBarOwner();
// The window a new top-level window belongs to and stays above (the menu bar's owner,
// the document window); none for that window itself, or before it exists.
Window* OwnerOfNewWindow(const Window* w);
// Who gets a menu command: a modal window; else the front window when it has a handler
// for the item; else the menu bar's owner.
Window* MenuTarget(std::string_view item);
// Whose Event_EnableMenuItems runs, in order: a modal window alone; else the menu bar's
// owner, then the front window when it is another.
std::vector<Window*> MenuEnablers();
// Another window is modal over this one: its input is blocked.
bool BlockedByModal(const Window& w);
// A closed window leaves the list and is destroyed at the next pass.
void Release(Window* w);
void DestroyClosed();
// Held around every nested event loop, a modal window's or a message dialog's: a
// window closed outside the loop is not destroyed inside it, since the handler that
// closed it may still be on the stack beneath.
class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;
};
void DestroyAll();
// Windows made before the event loop starts open (and raise Open) only once it does.
void StartOpening();
void HoldOpening();
bool OpeningStarted();
}  // namespace windows

}  // namespace fw
