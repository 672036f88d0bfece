// The one key store: the platform's key events (or a headless driver) write it,
// AsyncKeyDown and AsyncOptionKey read it.
#pragma once

namespace fw::keys {

// By the classic key codes (35 P, 49 space, 8 C).
void Set(int keyCode, bool down);
void SetOption(bool down);
// Nothing is held any more: the application lost the focus, or a run starts afresh.
void ReleaseAll();

// The platform key for a classic key code, or -1.
int PlatformKey(int keyCode);

// Watches the application's key and focus events and keeps the store.
void InstallEventFilter();

}  // namespace fw::keys
