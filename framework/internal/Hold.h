// The application's hold: while a modal window, a message dialog or an open menu
// has the player's mouse, every window hears that it is held, and again when the
// last of them has gone.
#pragma once

namespace fw::hold {
void Begin();
void End();
}  // namespace fw::hold
