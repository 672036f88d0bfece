// What a window and its controls share, for framework sources only: neither reaches
// further into the other than this.
#pragma once

#include <string>

class QPainter;
class QRect;
class QWidget;

namespace fw {

class Control;
class Window;

// The widget that holds a window's content and controls.
QWidget* ContentWidget(const Window& w);
// The window's back colour and backdrop under area (window coordinates), drawn at the painter's origin.
void PaintWindowBackground(const Window& w, QPainter& p, const QRect& area);
// Return or Enter presses the window's first enabled, shown default button; Escape its
// cancel button. True when a button was pressed.
bool PressButtonForKey(Window& w, const std::string& key);

namespace internal {
struct WindowControls {
  // The window's side, for its controls: the list they join and leave, and whether
  // the window has opened.
  static void Enlist(Window& w, Control& c);
  static void Delist(Window& w, Control& c);
  static bool Opened(const Window& w);
  // The control's side, for its window as it opens.
  static void DrawFirstContent(Control& c);
};
}  // namespace internal

}  // namespace fw
