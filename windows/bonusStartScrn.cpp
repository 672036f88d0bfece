#include "windows/bonusStartScrn.h"

bonusStartScrn::bonusStartScrn() { SetTitle("Bonus Start"); }
