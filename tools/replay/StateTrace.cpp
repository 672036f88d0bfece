#include "tools/replay/StateTrace.h"

#include "framework/Clock.h"
#include "game/BonusRd.h"
#include "game/GameScrn.h"
#include "game/Pixel.h"
#include "shell/globals.h"

namespace replay {

namespace {

template <typename T, typename F>
Json Either(const fw::Ref<T>& s, F&& fill) {
  if (!s) return nullptr;
  return fill(*s);
}

// A sprite's id and whole-pixel place, the fields every placed sprite's state starts with.
Json Placed(const fw::Sprite& sprite, const SpriteIds& ids) {
  Json j;
  j["id"] = ids(sprite);
  j["X"] = sprite.X();
  j["Y"] = sprite.Y();
  return j;
}

// The ball's and a bubble's id, exact place and speed, the fields their states start with.
Json Moving(const game::ExactSprite& sprite, const SpriteIds& ids) {
  Json j;
  j["id"] = ids(sprite);
  j["xPos"] = sprite.xPos();
  j["yPos"] = sprite.yPos();
  j["mDx"] = sprite.dx();
  j["mDy"] = sprite.dy();
  return j;
}

Json BubbleState(const Bubble& b, const SpriteIds& ids) {
  Json j = Moving(b, ids);
  j["closed"] = b.IsClosed();
  return j;
}

}  // namespace

Json SampleState(GameScrn& w, const SpriteIds& ids) {
  Json s;
  s["round"] = w.round;
  s["isBonusRnd"] = w.isBonusRnd;
  s["bonusRndCt"] = BonusRd::bonusRndCt;
  s["ctDown"] = w.ctDown;
  s["gameRunning"] = w.gameRunning;
  s["isPause"] = w.isPause;
  s["gameOver"] = w.gameOver;
  s["isWinner"] = w.isWinner;
  s["curScore"] = w.curScore;
  s["scoreMult"] = w.scoreMult;
  s["bltCt"] = w.bltCt;
  s["ballCt"] = w.ballCt;
  s["bubbleCt"] = w.bubbleCt;
  s["totBubbles"] = w.totBubbles;
  s["doDbl"] = w.doDbl;
  s["lastTime"] = w.lastTime;
  s["gPadWidth"] = globals::gPadWidth;
  s["needBall"] = w.needBall;
  s["prohibitShot"] = w.prohibitShot;
  s["rainCt"] = w.rainCt;
  s["ticks"] = fw::Ticks();
  s["mouseX"] = w.MouseX();
  s["runBtnVisible"] = w.runBtn.Visible();
  s["pauseInfo"] = w.pauseInfo.Text();
  s["RndTxt"] = w.RndTxt.Text();

  s["ball"] = Either(w.redBall, [&](const ball& b) {
    Json j = Moving(b, ids);
    j["X"] = b.X();
    j["Y"] = b.Y();
    return j;
  });
  s["paddle"] = Either(w.myPAD, [&](const fw::Sprite& p) { return Placed(p, ids); });
  s["bullet"] = Either(w.theBlt, [&](const myBullet& b) {
    Json j = Placed(b, ids);
    j["mDy"] = b.speed();
    j["isFiring"] = b.isFiring;
    j["isRichochet"] = b.isRichochet;
    j["allowCollision"] = b.allowCollision;
    return j;
  });
  s["drop"] = Either(w.theDrop, [&](const myDrop& d) {
    Json j = Placed(d, ids);
    j["mDy"] = d.speed();
    j["mytype"] = d.mytype;
    j["isDropping"] = d.isDropping;
    return j;
  });

  Json bubbles = Json::array();
  for (int i = 0; i < w.totBubbles && i < static_cast<int>(w.blBubble.size()); ++i) {
    const auto& b = w.blBubble[static_cast<std::size_t>(i)];
    bubbles.push_back(b ? BubbleState(*b, ids) : Json(nullptr));
  }
  for (const auto& b : BonusRd::tmpBubble)
    if (b) bubbles.push_back(BubbleState(*b, ids));
  s["bubbles"] = std::move(bubbles);

  Json rain = Json::array();
  for (const auto& r : w.theRain) {
    if (!r) continue;
    Json j = Placed(*r, ids);
    j["myDy"] = r->myDy;
    j["dead"] = r->dead;
    rain.push_back(std::move(j));
  }
  s["rain"] = std::move(rain);

  Json bonus;
  bonus["bonusRndCt"] = BonusRd::bonusRndCt;
  bonus["myTotBubs"] = BonusRd::myTotBubs;
  bonus["bonusBubCt"] = BonusRd::bonusBubCt;
  bonus["bonusCt"] = BonusRd::bonusCt;
  bonus["missedTot"] = BonusRd::missedTot;
  bonus["bustedTot"] = BonusRd::bustedTot;
  s["bonus"] = std::move(bonus);
  return s;
}

}  // namespace replay
