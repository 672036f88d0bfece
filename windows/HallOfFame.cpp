#include "windows/HallOfFame.h"

HallOfFame::HallOfFame() { SetTitle("Hall of Fame"); }
