// SIGTERM, SIGINT and SIGHUP as quit requests on the event loop.
#pragma once

namespace fw {
// Needs the Qt application object; call once, before the loop runs.
void InstallQuitSignals();
}  // namespace fw
