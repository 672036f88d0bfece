// The keys a window's buttons answer once its key handlers have left them.
#pragma once

#include <string>

namespace fw {

class Window;

// Return or Enter presses the window's first enabled, shown default button; Escape its
// cancel button. True when a button was pressed.
bool PressButtonForKey(Window& w, const std::string& key);

}  // namespace fw
