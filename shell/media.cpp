#include "shell/media.h"

#include <functional>
#include <string_view>
#include <vector>

#include "framework/Application.h"
#include "framework/FolderItem.h"

namespace {

std::vector<std::function<void(bool)>>& Resets() {
  static std::vector<std::function<void(bool)>> resets;
  return resets;
}

std::optional<fw::FolderItem> ResourceChild(std::string_view fileName) {
  fw::Application* a = fw::CurrentApp();
  auto folder = a ? a->ResourcesFolder() : std::nullopt;
  return folder ? folder->Child(fileName) : std::nullopt;
}

class PictureCache {
 public:
  explicit PictureCache(std::string_view fileName) : fileName_(fileName) {
    Resets().push_back([this](bool everything) {
      if (everything) pic_ = nullptr;
    });
  }
  fw::Ref<fw::Picture> Get() {
    if (pic_) return pic_;
    if (auto file = ResourceChild(fileName_)) pic_ = file->OpenAsPicture();
    return pic_;
  }

 private:
  std::string_view fileName_;
  fw::Ref<fw::Picture> pic_;
};

class SoundCache {
 public:
  explicit SoundCache(std::string_view fileName) : fileName_(fileName) {
    Resets().push_back([this](bool) {
      permaSound_ = nullptr;
      loaded_ = false;
    });
  }
  fw::Ref<fw::Sound> Get() {
    if (!loaded_) {
      loaded_ = true;
      if (auto file = ResourceChild(fileName_)) permaSound_ = file->OpenAsSound();
    }
    return permaSound_;
  }

 private:
  std::string_view fileName_;
  fw::Ref<fw::Sound> permaSound_;
  bool loaded_ = false;
};

const fw::MouseCursor* gPermaCursor = nullptr;

}  // namespace

fw::Ref<fw::Picture> ScoreBkg() { static PictureCache cache("ScoreBkg.psd"); return cache.Get(); }
fw::Ref<fw::Picture> Aqua120x30() { static PictureCache cache("Aqua120x30.png"); return cache.Get(); }
fw::Ref<fw::Picture> Mask120x30() { static PictureCache cache("Mask120x30.png"); return cache.Get(); }
fw::Ref<fw::Picture> BadDrop() { static PictureCache cache("BadDrop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> BallDrop() { static PictureCache cache("BallDrop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> BltDrop() { static PictureCache cache("BltDrop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> BlueBubble() { static PictureCache cache("BlueBubble.pct"); return cache.Get(); }
fw::Ref<fw::Picture> bullet() { static PictureCache cache("bullet.pct"); return cache.Get(); }
fw::Ref<fw::Picture> paddle() { static PictureCache cache("paddle.pct"); return cache.Get(); }
fw::Ref<fw::Picture> Paddle2() { static PictureCache cache("Paddle2.pct"); return cache.Get(); }
fw::Ref<fw::Picture> Paddle3() { static PictureCache cache("Paddle3.pct"); return cache.Get(); }
fw::Ref<fw::Picture> Paddle4() { static PictureCache cache("Paddle4.pct"); return cache.Get(); }
fw::Ref<fw::Picture> redSprite() { static PictureCache cache("redSprite.pct"); return cache.Get(); }
fw::Ref<fw::Picture> Drop() { static PictureCache cache("Drop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> DblDrop() { static PictureCache cache("DblDrop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> PadDrop() { static PictureCache cache("PadDrop.pct"); return cache.Get(); }
fw::Ref<fw::Picture> NextBtn() { static PictureCache cache("NextBtn.pct"); return cache.Get(); }
fw::Ref<fw::Picture> ExitBtn() { static PictureCache cache("ExitBtn.pct"); return cache.Get(); }
fw::Ref<fw::Picture> PrevBtn() { static PictureCache cache("PrevBtn.pct"); return cache.Get(); }
fw::Ref<fw::Picture> MetalBkg() { static PictureCache cache("MetalBkg.pct"); return cache.Get(); }
fw::Ref<fw::Picture> PurpBub() { static PictureCache cache("PurpBub.pct"); return cache.Get(); }
fw::Ref<fw::Picture> newZemboTitle() { static PictureCache cache("newZemboTitle.png"); return cache.Get(); }
fw::Ref<fw::Sound> bing() { static SoundCache cache("bing.wav"); return cache.Get(); }
fw::Ref<fw::Sound> Ding() { static SoundCache cache("Ding.wav"); return cache.Get(); }
fw::Ref<fw::Sound> fire() { static SoundCache cache("fire.wav"); return cache.Get(); }
fw::Ref<fw::Sound> larger() { static SoundCache cache("larger.wav"); return cache.Get(); }
fw::Ref<fw::Sound> pop() { static SoundCache cache("pop.wav"); return cache.Get(); }
fw::Ref<fw::Sound> TaDa() { static SoundCache cache("TaDa.wav"); return cache.Get(); }
fw::Ref<fw::Sound> UhOhh() { static SoundCache cache("Uh-Ohh.wav"); return cache.Get(); }
fw::Ref<fw::Sound> Wrong() { static SoundCache cache("Wrong.wav"); return cache.Get(); }
fw::Ref<fw::Sound> newLife() { static SoundCache cache("newLife.wav"); return cache.Get(); }
fw::Ref<fw::Sound> shot() { static SoundCache cache("shot.wav"); return cache.Get(); }
fw::Ref<fw::Sound> dud() { static SoundCache cache("dud.wav"); return cache.Get(); }

const fw::MouseCursor* HidCurs() {
  constexpr int kHiddenCursorId = 168;
  if (gPermaCursor) return gPermaCursor;
  if (fw::Application* a = fw::CurrentApp()) gPermaCursor = a->ResourceFork()->GetCursor(kHiddenCursorId);
  return gPermaCursor;
}

namespace media {

namespace {
std::function<void(std::string_view)>& PlayObserver() {
  static std::function<void(std::string_view)> observer;
  return observer;
}
}  // namespace

std::string_view SoundName(SoundAccessor s) {
  static constexpr std::array<std::string_view, std::size(kSounds)> kNames = {
      "bing", "Ding", "fire", "larger", "pop", "TaDa", "UhOhh", "Wrong", "newLife", "shot", "dud"};
  for (std::size_t i = 0; i < std::size(kSounds); ++i)
    if (kSounds[i] == s) return kNames[i];
  return {};
}

void Play(SoundAccessor s) {
  if (fw::Ref<fw::Sound> sound = s()) sound->Play();
  if (auto& observer = PlayObserver()) observer(SoundName(s));
}

void SetPlayObserver(std::function<void(std::string_view)> observer) { PlayObserver() = std::move(observer); }

void ReleaseSoundsAndCursor() {
  for (auto& reset : Resets()) reset(false);
  gPermaCursor = nullptr;
}
void ForgetAll() {
  for (auto& reset : Resets()) reset(true);
  gPermaCursor = nullptr;
}
}  // namespace media

namespace picHolder {

fw::Ref<fw::Picture> gAquaLg;
fw::Ref<fw::Picture> pBadDrop, pBallDrop, pBltDrop, pBlueBubble, pBullet, pPaddle, pPaddle2, pPaddle3, pPaddle4,
    pRedSprite, pDrop, pDblDrop, pPadDrop;

void initPics() {
  gAquaLg = Aqua120x30();
  // The face is the accessor's own object, so every later caller sees the mask.
  // Without a face the buttons draw a plain one of their own (CnvBtn).
  if (gAquaLg) {
    fw::Ref<fw::Picture> mask = Mask120x30();
    gAquaLg->Mask(true)->Graphics().DrawPicture(mask.get(), 0, 0);
  }
  pBadDrop = BadDrop();
  pBallDrop = BallDrop();
  pBltDrop = BltDrop();
  pBlueBubble = BlueBubble();
  pBullet = bullet();
  pPaddle = paddle();
  pPaddle2 = Paddle2();
  pPaddle3 = Paddle3();
  pPaddle4 = Paddle4();
  pRedSprite = redSprite();
  pDrop = Drop();
  pDblDrop = DblDrop();
  pPadDrop = PadDrop();
}

void Release() {
  for (auto* p : {&gAquaLg, &pBadDrop, &pBallDrop, &pBltDrop, &pBlueBubble, &pBullet, &pPaddle, &pPaddle2, &pPaddle3,
                  &pPaddle4, &pRedSprite, &pDrop, &pDblDrop, &pPadDrop})
    *p = nullptr;
}

}  // namespace picHolder
