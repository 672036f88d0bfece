// Canvas paints that wait for the end of a pass of the event loop.
#pragma once

namespace fw {

class Canvas;
// Paints the canvas if a paint of it is still due.
void PaintPending(Canvas& c);

namespace paint {

// Paints, in request order, every canvas refreshed without erasing since the last
// flush. The pump calls it after each pass's timers and frames.
void FlushPending();
// Queues the canvas's paint for the end of the pass.
void Schedule(Canvas& c);
// The canvas has painted: its queued request is answered.
void Unschedule(Canvas& c);
// The canvas is gone: it leaves the queue and the list being painted.
void Forget(Canvas& c);

}  // namespace paint
}  // namespace fw
