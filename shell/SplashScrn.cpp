#include "shell/SplashScrn.h"

#include <array>

#include "framework/Application.h"
#include "game/GameScrn.h"
#include "shell/media.h"

namespace {
constexpr fw::Color kTextColor = fw::RGB(255, 240, 240);
constexpr std::array<const char*, 4> kActivity = {
    "Initializing Pictures and Sounds", "Initializing Pictures and Sounds.", "Initializing Pictures and Sounds..",
    "Initializing Pictures and Sounds..."};
}  // namespace

SplashScrn::SplashScrn() {
  Layout();
  _CreateControls0();
}

void SplashScrn::Layout() {
  SetBackdrop(newZemboTitle());
  SetResizeable(true);
  SetSize(400, 250);
  SetTitle("Untitled");
  SetCloseButton(true);
  SetBackColor(fw::RGB(255, 255, 255), false);
}

void SplashScrn::_CreateControls0() {
  closeTimer.Action = [this] { closeTimer_Action(); };
  versText.SetTextAlign(fw::StaticText::kCenter);
  versText.SetTextColor(kTextColor);
  versText.SetTextFont("System");
  versText.SetTextSize(10);
  versText.Open = [this] { versText_Open(); };
  activityText.SetText("Initializing Sounds...");
  activityText.SetTextAlign(fw::StaticText::kLeft);
  activityText.SetTextColor(kTextColor);
  activityText.SetTextFont("System");
  activityText.SetTextSize(0);
  initThread.Priority = 5;
  initThread.RunHandler = [this] { initThread_Run(); };
  activTimer.Action = [this] { activTimer_Action(); };
}

void SplashScrn::Event_Open() { initThread.Run(); }

bool SplashScrn::Event_CancelClose() {
  if (fw::Application* a = fw::CurrentApp()) a->Quit();
  return true;
}

void SplashScrn::versText_Open() { versText.SetText("Version: " + fw::CurrentApp()->ShortVersion()); }

void SplashScrn::initThread_Run() {
  // However the loading ends, the hand-over comes: the game plays without what
  // could not be loaded, and the framework still reports what was thrown.
  struct HandOverOnExit {
    fw::Timer& closeTimer;
    ~HandOverOnExit() { closeTimer.SetMode(fw::Timer::kSingle); }
  } handOver{closeTimer};
  for (auto accessor : media::kSounds) initSound(accessor());
  picHolder::initPics();
}

// A sound that could not be loaded is skipped: the game plays without it rather
// than stopping here.
void SplashScrn::initSound(const fw::Ref<fw::Sound>& s) {
  if (!s) return;
  s->SetVolume(0);
  s->Play();
  // The loader sleeps until the sound's end, when the next check will find it done.
  while (s->IsPlaying()) fw::YieldUntil(s->EndUs());
  s->SetVolume(100);
}

void SplashScrn::activTimer_Action() {
  actCount = static_cast<std::uint8_t>(actCount + 1);
  if (actCount > 3) actCount = 0;
  activityText.SetText(kActivity[actCount]);
}

void SplashScrn::closeTimer_Action() {
  Close();
  // The splash is gone: a play window that cannot be made would leave the game
  // running with no window at all, so it ends instead.
  try {
    GameScrn::Instance().Show();
  } catch (...) {
    if (fw::Application* a = fw::CurrentApp()) a->Quit();
    throw;
  }
}
