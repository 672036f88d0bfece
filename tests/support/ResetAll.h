// Everything a test may have changed, back as at process start, so that any
// number of tests can run in one process.
#pragma once

// The framework's state, then that of every module linked into the test binary.
void ResetAll();
