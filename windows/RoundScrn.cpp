#include "windows/RoundScrn.h"

RoundScrn::RoundScrn(int, int, int, bool, bool) { SetTitle("Current Status"); }
