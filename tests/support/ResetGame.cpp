// ResetAll for binaries that link the game's modules: each module's own reset,
// windows first so that nothing still shows what the others let go.
#include "tests/support/ResetAll.h"

#include "framework/TestHooks.h"
#include "shell/Startup.h"
#include "shell/globals.h"
#include "shell/media.h"

void ResetAll() {
  fw::test::Reset();
  startup::Reset();
  globals::Reset();
  savedInfo::Reset();
  media::ForgetAll();
  picHolder::Release();
}
