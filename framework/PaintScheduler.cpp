// The queue of canvas paints due at the end of the event loop's pass.
#include "internal/Paint.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <utility>
#include <vector>

#include "Controls.h"

namespace fw::paint {

namespace {
// Canvases refreshed without erasing, in request order, painted at the end of the pass.
std::vector<Canvas*> gPending;
std::vector<Canvas*>* gFlushing = nullptr;  // the list being painted; a destroyed canvas leaves it
bool gFlushPosted = false;
}  // namespace

void FlushPending() {
  // Requests made while these paint wait for the next pass.
  std::vector<Canvas*> due;
  due.swap(gPending);
  std::vector<Canvas*>* outer = std::exchange(gFlushing, &due);
  for (Canvas* c : due)
    if (c) PaintPending(*c);
  gFlushing = outer;
}

void Schedule(Canvas& c) {
  gPending.push_back(&c);
  // A request from an input event ends its pass with this; the pump's own passes flush sooner.
  if (!gFlushPosted && qApp) {
    gFlushPosted = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
          gFlushPosted = false;
          paint::FlushPending();
        },
        Qt::QueuedConnection);
  }
}

void Unschedule(Canvas& c) { gPending.erase(std::remove(gPending.begin(), gPending.end(), &c), gPending.end()); }

void Forget(Canvas& c) {
  Unschedule(c);
  if (gFlushing) std::replace(gFlushing->begin(), gFlushing->end(), &c, static_cast<Canvas*>(nullptr));
}

}  // namespace fw::paint
