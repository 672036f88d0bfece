// What the headless platform's parts share: scripted input and network routes.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace fw::test {
// The scripted pointer, if a test set one.
std::optional<std::pair<int, int>> ScriptedMouse();
// Forgets the scripted pointer and any press in progress.
void ForgetInput();
// Where a request for host at port goes: its route, else where it was asked to.
std::pair<std::string, int> RoutedTarget(const std::string& host, int port);
}  // namespace fw::test
