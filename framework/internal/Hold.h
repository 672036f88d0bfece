// The application's hold: while a modal window, a message dialog or an open menu
// has the player's mouse, every window hears that it is held, and again when the
// last of them has gone.
#pragma once

namespace fw::hold {
void Begin();
void End();
bool Held();

// Held for the life of the object: around a modal loop.
class Scope {
 public:
  Scope() { Begin(); }
  ~Scope() { End(); }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
};
}  // namespace fw::hold
