#include "windows/checkVersScrn.h"

checkVersScrn::checkVersScrn() { SetTitle("Check Version"); }
