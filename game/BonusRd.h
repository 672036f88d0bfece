// The first bonus round's state and steps: ten purple bubbles released one
// after another, shot for flat points.
#pragma once

#include <array>

#include "framework/Ref.h"
#include "game/bonusBub.h"

namespace BonusRd {

inline constexpr int kBubbles = 10;
inline constexpr int kReleaseFrames = 100;  // frames between two releases
inline constexpr int kPointsPerHit = 100;

// 1 during Bonus #1, 2 during Bonus #2, 3 at the first late-game round.
extern int bonusRndCt;
extern int myTotBubs;
extern int bonusBubCt;  // newest released bubble
extern int bonusCt;     // frames since the last release
extern int missedTot;   // bubbles past the right edge, hit or not
extern int bustedTot;   // bubbles hit
extern std::array<fw::Ref<bonusBub>, kBubbles + 1> tmpBubble;

void initBonusBub();
void bonusNextEv();
void bustBoBub();
void myReinit();
// An abandoned round: its purple bubbles leave the surface and the counters start
// again, so that the next Bonus #1 begins as the first did.
void abandon();

// Everything back to the program's start, bubbles let go (tests run many games).
void Reset();

}  // namespace BonusRd
