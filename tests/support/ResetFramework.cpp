// ResetAll for binaries that test the framework alone.
#include "tests/support/ResetAll.h"

#include "framework/TestHooks.h"

void ResetAll() { fw::test::Reset(); }
