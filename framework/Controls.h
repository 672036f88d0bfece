// The controls a window lists as members. Labels, canvases, lines and separators
// draw into pictures of their own; the screen only ever shows those pictures, so a
// canvas's Paint runs exactly when the game refreshes it (and once when its window opens).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Picture.h"
#include "Ref.h"
#include "Values.h"

namespace fw {

class Window;
class MouseCursor;
namespace internal {
struct WindowControls;
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
  void Refresh(bool eraseBackground) { Redraw(eraseBackground); }
  void SetFocus();
  // The pointer over the control; a control with its own pointer takes the mouse over its area.
  void SetMouseCursor(const MouseCursor* cursor);
  const MouseCursor* GetMouseCursor() const { return cursor_; }
  // A tip shown while the pointer rests on the control; empty for none.
  void SetHelpTag(std::string_view tag);
  std::string HelpTag() const;
  // Keeps the control's distance to the window's bottom edge when the window's height
  // changes after it opened.
  void SetLockBottom(bool lock) { lockBottom_ = lock; }
  bool LockBottom() const { return lockBottom_; }

  // The owner's Open handler of this control.
  std::function<void()> Open;
  virtual void RaiseOpen() {
    if (Open) Open();
  }

  Impl& impl() const { return *impl_; }

 protected:
  // What Refresh does for this kind of control; by default the platform draws it again.
  virtual void Redraw(bool eraseBackground);
  // The window has opened: draw the first content unless something was drawn already.
  virtual void DrawFirstContent() {}
  virtual void Resized() {}

  Window* owner_;
  std::unique_ptr<Impl> impl_;

 private:
  friend struct internal::WindowControls;
  std::string name_;
  int index_ = -1;
  const MouseCursor* cursor_ = nullptr;
  bool lockBottom_ = false;
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

  // The owner's mouse handlers, set before the window opens. A label with any of them,
  // a help tag or a pointer of its own takes the mouse; others let clicks through.
  std::function<bool(int, int)> MouseDown;  // true gets the matching MouseUp
  std::function<void(int, int)> MouseUp;
  std::function<void()> MouseEnter;
  std::function<void()> MouseExit;
  void RaiseOpen() override;

 protected:
  // Draws the text into the label's picture, over a transparent ground.
  void Redraw(bool eraseBackground) override;
  void Resized() override { Redraw(true); }

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
  // Text the player cannot change; it can still be selected.
  bool ReadOnly() const;
  void SetReadOnly(bool r);
  // The selection, in characters from the start; a length past the end stops at the end.
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  // The most characters the player can type; 0 for no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n);
  enum Align { kLeft = 0, kCenter = 1, kRight = 2 };
  void SetAlignment(int a);
  // The typed key (its text, or "\r" / "\x03" for Return / Enter); true swallows it.
  std::function<bool(const std::string&)> KeyDown;
  std::function<void()> TextChange;

 private:
  int maxLength_ = 0;
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

  // Drawn at its own size at the top left before every Paint; shown from the next paint on.
  void SetBackdrop(Ref<Picture> pic) { backdrop_ = std::move(pic); }
  const Ref<Picture>& Backdrop() const { return backdrop_; }

  // The canvas's drawing surface while it paints; none at any other time.
  fw::Graphics& Graphics();

 protected:
  // With erase: at once, over the window's background. Without: once, at the end of
  // the event loop's current pass, over what the canvas showed.
  void Redraw(bool eraseBackground) override;
  void DrawFirstContent() override;
  void Resized() override;

 private:
  friend void PaintPending(Canvas& c);
  void PaintNow(bool erase);

  fw::Graphics* paintGraphics_ = nullptr;
  Ref<Picture> backdrop_;
};

// A thin etched line along its longer side.
class Separator : public Control {
 public:
  Separator(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~Separator() override;

 protected:
  void Redraw(bool eraseBackground) override;
  void Resized() override { Redraw(true); }
};

// A straight line between two points in window coordinates.
class Line : public Control {
 public:
  Line(Window* owner, std::string_view name, int x1, int y1, int x2, int y2);
  ~Line() override;

  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w);  // pixels, at least 1
  Color LineColor() const { return lineColor_; }
  void SetLineColor(Color c);  // black unless set

 protected:
  void Redraw(bool eraseBackground) override;

 private:
  void Place();
  int x1_, y1_, x2_, y2_;
  int borderWidth_ = 1;
  Color lineColor_{};
};

// Controls of one class and name told apart by index, made in index order.
template <class C, std::size_t N>
class ControlArray {
 public:
  struct Place {
    int left, top, width, height;
  };
  ControlArray(Window* owner, std::string_view name, const std::array<Place, N>& places) {
    for (std::size_t i = 0; i < N; ++i) {
      const Place& p = places[i];
      items_[i] = std::make_unique<C>(owner, name, p.left, p.top, p.width, p.height);
      items_[i]->SetIndex(static_cast<int>(i));
    }
  }
  C& operator()(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  static constexpr int Count() { return static_cast<int>(N); }

 private:
  std::array<std::unique_ptr<C>, N> items_;
};

}  // namespace fw
