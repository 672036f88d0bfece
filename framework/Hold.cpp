#include "internal/Hold.h"

#include "Application.h"
#include "Window.h"

namespace fw::hold {
namespace {
int gDepth = 0;

void Tell(bool held) {
  // A handler may open or close windows.
  for (Window* w : windows::All())
    if (w->IsOpen()) Guard([&] { w->Event_Held(held); });
}
}  // namespace

void Begin() {
  if (gDepth++ == 0) Tell(true);
}

void End() {
  if (gDepth == 0) return;
  if (--gDepth == 0) Tell(false);
}

}  // namespace fw::hold
