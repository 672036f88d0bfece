// SIGTERM, SIGINT and SIGHUP as quit requests on the event loop.
#pragma once

namespace fw {
// The handlers; needs nothing of Qt, so it comes first, before the platform starts. Once.
void InstallQuitSignals();
// A quit signal has come that the event loop has not taken yet.
bool QuitRequested();
// Hands the requests to the event loop; needs the Qt application object.
void DeliverQuitSignals();
}  // namespace fw
