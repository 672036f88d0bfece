#include "game/BonusRd.h"

#include "framework/Application.h"
#include "game/GameScrn.h"
#include "shell/media.h"

namespace BonusRd {

int bonusRndCt = 0;
int myTotBubs = 0;
int bonusBubCt = 0;
int bonusCt = 0;
int missedTot = 0;
int bustedTot = 0;
std::array<fw::Ref<bonusBub>, kBubbles + 1> tmpBubble;

void initBonusBub() {
  myTotBubs = kBubbles;
  GameScrn& w = GameScrn::Instance();
  for (int i = 0; i < myTotBubs; ++i) {
    tmpBubble[i] = fw::New<bonusBub>();
    w.mySS.Attach(tmpBubble[i]);
  }
  bonusBubCt = 0;
}

void bonusNextEv() {
  ++bonusCt;
  if (bonusCt >= kReleaseFrames) {
    if (bonusBubCt < myTotBubs - 1) ++bonusBubCt;
    bonusCt = 0;
  }
  for (int i = 0; i <= bonusBubCt; ++i)
    if (tmpBubble[i]) tmpBubble[i]->bonusMove();
  if (missedTot == myTotBubs) GameScrn::Instance().hndlBonusDone(bustedTot);
}

void bustBoBub() {
  ++bustedTot;
  media::Play(&pop);
  if (bustedTot == kBubbles)
    if (fw::Application* a = fw::CurrentApp()) a->SetMouseCursor(fw::Cursors::Wait());
  GameScrn& w = GameScrn::Instance();
  w.curScore += kPointsPerHit;
  w.ScoreCnv.Refresh(true);
}

void myReinit() {
  bonusBubCt = 0;
  bonusCt = 0;
  bustedTot = 0;
  missedTot = 0;
  myTotBubs = 0;
}

void abandon() {
  for (auto& b : tmpBubble)
    if (b) b->Close();
  myReinit();
}

void Reset() {
  myReinit();
  bonusRndCt = 0;
  for (auto& b : tmpBubble) b = nullptr;
}

}  // namespace BonusRd
