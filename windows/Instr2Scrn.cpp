#include "windows/Instr2Scrn.h"

Instr2Scrn::Instr2Scrn() { SetTitle("Instructions"); }
