// Windows. A window class lists its controls (Controls.h) as members; the
// framework raises the controls' Open handlers, then the window's Event_Open.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

#include "Controls.h"
#include "Picture.h"
#include "Ref.h"
#include "Values.h"

namespace fw {

class MenuBar;
class MouseCursor;
namespace internal {
struct WindowAccess;
struct WindowControls;
}

class Window {
 public:
  struct Impl;
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Settings, made in the subclass's constructor.
  void SetSize(int width, int height);
  int Width() const;
  int Height() const;
  void SetTitle(std::string_view title);
  const std::string& Title() const;
  void SetBackdrop(Ref<Picture> pic);
  const Ref<Picture>& Backdrop() const;
  void SetBackColor(Color c, bool hasBackColor);
  void SetResizeable(bool r);
  // Without a close box the window manager's close requests are refused too.
  void SetCloseButton(bool c);
  // The minimise and maximise boxes (both on unless set otherwise).
  void SetMinimizeButton(bool m);
  void SetMaximizeButton(bool m);
  void SetMenuBar(MenuBar* bar);
  MenuBar* GetMenuBar() const;
  // Whether the window shows as soon as it opens (true unless set otherwise).
  void SetVisibleOnOpen(bool v) { visibleOnOpen_ = v; }

  void Show();
  // Shows the window and runs the event loop until it closes.
  void ShowModal();
  void Hide();
  // Closes and destroys the window (at the event loop's next pass); its implicit
  // instance is made anew at the next use.
  void Close();
  bool IsOpen() const { return !closed_; }
  bool IsVisible() const;
  bool IsModal() const { return modal_; }

  // The pointer's position in the window's content.
  int MouseX() const;
  int MouseY() const;
  void SetMouseCursor(const MouseCursor* cursor);
  // No control keeps the keyboard focus: keys go to the window's own handler.
  void ClearFocus();
  // Puts the window's stored content on the screen again; runs no Paint handler.
  void Refresh();

  virtual void Event_Open() {}
  virtual void Event_Close() {}
  // Each time the window becomes the active one.
  virtual void Event_Activate() {}
  // The close box was clicked; true keeps the window open.
  virtual bool Event_CancelClose() { return false; }
  virtual bool Event_MouseDown(int, int) { return false; }
  virtual void Event_MouseUp(int, int) {}
  virtual bool Event_KeyDown(const std::string&) { return false; }
  // Before a menu shows or a shortcut acts: enable the items this window handles.
  virtual void Event_EnableMenuItems() {}
  // A modal window, a message dialog or an open menu has taken the player's mouse
  // (held), or the last of them has gone: a window that plays in real time waits.
  virtual void Event_Held(bool) {}

  void AddMenuHandler(std::string_view itemName, std::function<bool()> handler);
  // Runs the handler registered for the item; false when there is none.
  bool HandleMenu(std::string_view itemName);

  const std::vector<Control*>& Controls() const { return controls_; }
  Control* FindControl(std::string_view name) const;
  // An element of a control array: the control with this name and index.
  Control* FindControl(std::string_view name, int index) const;
  Impl& impl() const { return *impl_; }

 private:
  friend struct internal::WindowAccess;
  friend struct internal::WindowControls;
  // Raises the Open handlers, gives the controls their first content and shows the window (once).
  void OpenNow();
  // The controls' first content, then the window on screen if it shows as it opens.
  void ShowAfterOpen();

  std::unique_ptr<Impl> impl_;
  std::vector<Control*> controls_;
  std::map<std::string, std::function<bool()>, std::less<>> menuHandlers_;
  bool visibleOnOpen_ = true;
  bool opened_ = false;
  bool closed_ = false;
  bool modal_ = false;
};

namespace windows {
// The instance of a window class, if one exists now.
Window* Find(std::type_index type);
// Every open window, oldest first.
std::vector<Window*> All();
// The open instance of type, else a new one from make, opened.
Window& Instance(std::type_index type, std::unique_ptr<Window> (*make)());
// Takes a window made by its caller and opens it; it is not an implicit instance.
Window& Own(std::unique_ptr<Window> w);
}  // namespace windows

// A window of its own, besides any implicit instance: made now and opened; the
// framework destroys it once it closes.
template <class W, class... Args>
W& Open(Args&&... args) {
  return static_cast<W&>(windows::Own(std::make_unique<W>(std::forward<Args>(args)...)));
}

// The implicit instance of W: made on first use, gone when closed.
template <class W>
W& Implicit() {
  auto make = []() -> std::unique_ptr<Window> { return std::make_unique<W>(); };
  return static_cast<W&>(windows::Instance(typeid(W), make));
}

}  // namespace fw
