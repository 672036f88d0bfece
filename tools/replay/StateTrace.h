// The play window's state as the replay trace shows it at the end of a tick.
#pragma once

#include "tools/replay/Trace.h"

class GameScrn;

namespace replay {

Json SampleState(GameScrn& w, const SpriteIds& ids);

}  // namespace replay
