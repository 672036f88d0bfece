// Scripted input shared by the headless platform's parts.
#pragma once

#include <optional>
#include <utility>

namespace fw::test {
// The scripted pointer, if a test set one.
std::optional<std::pair<int, int>> ScriptedMouse();
// Forgets the scripted pointer and any press in progress.
void ForgetInput();
}  // namespace fw::test
