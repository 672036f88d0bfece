#include "windows/aboutScrn.h"

aboutScrn::aboutScrn() { SetTitle("About Zembo"); }
