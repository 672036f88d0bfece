#include "windows/getCurPl.h"

getCurPl::getCurPl() { SetTitle("Current Player"); }
