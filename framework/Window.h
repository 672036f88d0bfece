// Windows and their controls. A window class lists its controls as members; the
// framework raises the controls' Open handlers, then the window's Event_Open.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "Picture.h"
#include "Ref.h"
#include "Values.h"

namespace fw {

class Control;
class MenuBar;
class MouseCursor;

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
  void SetCloseButton(bool c);
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
  void Refresh();

  virtual void Event_Open() {}
  virtual void Event_Close() {}
  // The close box was clicked; true keeps the window open.
  virtual bool Event_CancelClose() { return false; }
  virtual bool Event_MouseDown(int, int) { return false; }
  virtual void Event_MouseUp(int, int) {}
  virtual bool Event_KeyDown(const std::string&) { return false; }
  // Before a menu shows or a shortcut acts: enable the items this window handles.
  virtual void Event_EnableMenuItems() {}

  void AddMenuHandler(std::string_view itemName, std::function<bool()> handler);
  // Runs the handler registered for the item; false when there is none.
  bool HandleMenu(std::string_view itemName);

  const std::vector<Control*>& Controls() const { return controls_; }
  Control* FindControl(std::string_view name) const;
  // An element of a control array: the control with this name and index.
  Control* FindControl(std::string_view name, int index) const;
  Impl& impl() const { return *impl_; }

  // Framework: raises the Open handlers and shows the window (once).
  void OpenNow();
  bool Opened() const { return opened_; }

 private:
  friend class Control;
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
void Adopt(std::type_index type, std::unique_ptr<Window> w);
// Every open window, oldest first.
std::vector<Window*> All();
// The window that gets menu commands: the modal one, else the newest visible one.
Window* Front();
// Framework: a closed window leaves the list and is destroyed at the next pass.
void Release(Window* w);
void DestroyClosed();
void DestroyAll();
// Windows made before the event loop starts open (and raise Open) only once it does.
void StartOpening();
void HoldOpening();
bool OpeningStarted();
}  // namespace windows

// The implicit instance of W: made on first use, gone when closed.
template <class W>
W& Implicit() {
  if (Window* w = windows::Find(typeid(W))) return static_cast<W&>(*w);
  auto owned = std::make_unique<W>();
  W& ref = *owned;
  windows::Adopt(typeid(W), std::move(owned));
  ref.OpenNow();
  return ref;
}

class Control {
 public:
  struct Impl;
  Control(Window* owner, std::string_view name, int left, int top, int width, int height);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Window* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // -1 unless the control is an element of a control array.
  int Index() const { return index_; }
  void SetIndex(int i) { index_ = i; }
  int Left() const;
  int Top() const;
  void SetLeft(int x);
  void SetTop(int y);
  int Width() const;
  int Height() const;
  void SetSize(int w, int h);
  bool Visible() const;
  void SetVisible(bool v);
  bool Enabled() const;
  void SetEnabled(bool e);
  void Refresh() { Refresh(false); }
  void Refresh(bool eraseBackground);
  void SetFocus();
  void SetMouseCursor(const MouseCursor* cursor);
  const MouseCursor* GetMouseCursor() const { return cursor_; }

  // The owner's Open handler of this control.
  std::function<void()> Open;
  virtual void RaiseOpen() {
    if (Open) Open();
  }

  Impl& impl() const { return *impl_; }

 protected:
  Window* owner_;
  std::unique_ptr<Impl> impl_;

 private:
  std::string name_;
  int index_ = -1;
  const MouseCursor* cursor_ = nullptr;
};

class StaticText : public Control {
 public:
  StaticText(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~StaticText() override;

  const std::string& Text() const { return text_; }
  void SetText(std::string_view t);
  enum Align { kLeft = 0, kCenter = 1, kRight = 2 };
  void SetTextAlign(int a);
  void SetTextColor(Color c);
  void SetTextFont(std::string_view f);
  void SetTextSize(int s);
  void SetBold(bool b);
  void SetItalic(bool i);
  // Breaks at CR, LF or CRLF and wraps words at the label's width.
  void SetMultiline(bool m);

  // Framework: draws the label.
  void PaintOn(Graphics& g) const;

 private:
  std::string text_;
  int align_ = kLeft;
  Color color_{};
  std::string font_ = "System";
  int size_ = 0;
  bool bold_ = false, italic_ = false;
  bool multiline_ = false;
};

class EditField : public Control {
 public:
  EditField(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~EditField() override;

  std::string Text() const;
  void SetText(std::string_view t);
  void SetTextFont(std::string_view f);
  void SetTextSize(int s);
  // The typed key (its text, or "\r" / "\x03" for Return / Enter); true swallows it.
  std::function<bool(const std::string&)> KeyDown;
  std::function<void()> TextChange;
};

class Canvas : public Control {
 public:
  Canvas(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~Canvas() override;

  // The owner's handlers; a subclass may take the events over by overriding.
  std::function<void(Graphics&)> Paint;
  std::function<bool(int, int)> MouseDown;
  std::function<void(int, int)> MouseUp;
  std::function<void(int, int)> MouseDrag;

  virtual void Event_Paint(Graphics& g) {
    if (Paint) Paint(g);
  }
  // True gets the matching MouseUp, wherever the pointer is then.
  virtual bool Event_MouseDown(int x, int y) { return MouseDown ? MouseDown(x, y) : false; }
  virtual void Event_MouseUp(int x, int y) {
    if (MouseUp) MouseUp(x, y);
  }
  virtual void Event_MouseDrag(int x, int y) {
    if (MouseDrag) MouseDrag(x, y);
  }
  virtual void Event_MouseEnter() {}
  virtual void Event_MouseExit() {}

  // Drawn at its own size at the top left, under what Paint draws.
  void SetBackdrop(Ref<Picture> pic);
  const Ref<Picture>& Backdrop() const { return backdrop_; }

  // The canvas's drawing surface while it paints; none at any other time.
  fw::Graphics& Graphics();
  void SetPaintGraphics(fw::Graphics* g) { paintGraphics_ = g; }

 private:
  fw::Graphics* paintGraphics_ = nullptr;
  Ref<Picture> backdrop_;
};

// A thin etched line along its longer side.
class Separator : public Control {
 public:
  Separator(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~Separator() override;
};

// A straight line between two points in window coordinates.
class Line : public Control {
 public:
  Line(Window* owner, std::string_view name, int x1, int y1, int x2, int y2);
  ~Line() override;

  int X1() const { return x1_; }
  int Y1() const { return y1_; }
  int X2() const { return x2_; }
  int Y2() const { return y2_; }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w);  // pixels, at least 1
  Color LineColor() const { return lineColor_; }
  void SetLineColor(Color c);

 private:
  void Place();
  int x1_, y1_, x2_, y2_;
  int borderWidth_ = 1;
  Color lineColor_{};
};

}  // namespace fw
