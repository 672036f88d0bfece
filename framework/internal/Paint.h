// Canvas paints that wait for the end of a pass of the event loop.
#pragma once

namespace fw::paint {

// Paints, in request order, every canvas refreshed without erasing since the last
// flush. The pump calls it after each pass's timers and frames.
void FlushPending();

}  // namespace fw::paint
