// One accessor per picture, sound and cursor of the game, each loading its file
// from the resources folder at first use and sharing one object from then on.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "framework/Picture.h"
#include "framework/Ref.h"
#include "framework/Sound.h"

namespace fw {
class MouseCursor;
}

// Pictures: a failed load is tried again at the next call.
fw::Ref<fw::Picture> ScoreBkg();
fw::Ref<fw::Picture> Aqua120x30();
fw::Ref<fw::Picture> Mask120x30();
fw::Ref<fw::Picture> BadDrop();
fw::Ref<fw::Picture> BallDrop();
fw::Ref<fw::Picture> BltDrop();
fw::Ref<fw::Picture> BlueBubble();
fw::Ref<fw::Picture> bullet();
fw::Ref<fw::Picture> paddle();
fw::Ref<fw::Picture> Paddle2();
fw::Ref<fw::Picture> Paddle3();
fw::Ref<fw::Picture> Paddle4();
fw::Ref<fw::Picture> redSprite();
fw::Ref<fw::Picture> Drop();
fw::Ref<fw::Picture> DblDrop();
fw::Ref<fw::Picture> PadDrop();
fw::Ref<fw::Picture> NextBtn();
fw::Ref<fw::Picture> ExitBtn();
fw::Ref<fw::Picture> PrevBtn();
fw::Ref<fw::Picture> MetalBkg();
fw::Ref<fw::Picture> PurpBub();
fw::Ref<fw::Picture> newZemboTitle();

// Sounds: tried once; one that failed stays unavailable for the run.
fw::Ref<fw::Sound> bing();
fw::Ref<fw::Sound> Ding();
fw::Ref<fw::Sound> fire();
fw::Ref<fw::Sound> larger();
fw::Ref<fw::Sound> pop();
fw::Ref<fw::Sound> TaDa();
fw::Ref<fw::Sound> UhOhh();
fw::Ref<fw::Sound> Wrong();
fw::Ref<fw::Sound> newLife();
fw::Ref<fw::Sound> shot();
fw::Ref<fw::Sound> dud();

// The hidden pointer; asked for again while it cannot be had.
const fw::MouseCursor* HidCurs();

namespace media {
// The eleven sound accessors, in the order the splash preloads them.
inline constexpr std::array<fw::Ref<fw::Sound> (*)(), 11> kSounds = {
    &bing, &Ding, &fire, &larger, &pop, &TaDa, &UhOhh, &Wrong, &newLife, &shot, &dud};
using SoundAccessor = fw::Ref<fw::Sound> (*)();
// Plays the accessor's sound when it could be loaded (a missing one plays nothing)
// and tells the observer its name either way.
void Play(SoundAccessor s);
// The accessor's name ("pop", "UhOhh" ...); empty for anything else.
std::string_view SoundName(SoundAccessor s);
// Called with the name of every sound the game plays; none to stop.
void SetPlayObserver(std::function<void(std::string_view name)> observer);
// Finalisation: the sound caches and the cursor are let go.
void ReleaseSoundsAndCursor();
// Tests: every cache empty again, as at process start.
void ForgetAll();
}  // namespace media

namespace picHolder {
extern fw::Ref<fw::Picture> gAquaLg;
extern fw::Ref<fw::Picture> pBadDrop, pBallDrop, pBltDrop, pBlueBubble, pBullet, pPaddle, pPaddle2, pPaddle3,
    pPaddle4, pRedSprite, pDrop, pDblDrop, pPadDrop;

// Fills the variables once, the button face with its mask first.
void initPics();
void Release();
}  // namespace picHolder
