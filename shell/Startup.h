// The program's entry and exit, in the order the rest of the game relies on.
#pragma once

namespace startup {
// Process entry: start-up, the event loop, finalisation. Returns the exit status.
int Main(int argc, char** argv);
// Everything before the event loop: file type, application object, menu bar, splash window.
void Startup();
// After the event loop: the module objects are let go; nothing is written.
void Finalise();
// The application object, the menu bar and the file type gone, as before Startup.
void Reset();
}  // namespace startup
