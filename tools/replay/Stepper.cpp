#include "tools/replay/Stepper.h"

#include "framework/Application.h"
#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "game/BonusRd.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/getCurPl.h"

#include <utility>

namespace replay {

namespace {
constexpr int kPointerY = 300;  // over the field, below the side panel's controls
}

Stepper::Stepper(const Setup& setup) {
  if (!fw::CurrentApp()) ownApp_ = std::make_unique<fw::Application>();
  if (setup.mediaFolder) fw::test::SetResourcesFolder(*setup.mediaFolder);
  if (!picHolder::pPaddle) picHolder::initPics();

  // A play window left from an earlier game goes first, so this one starts afresh.
  if (fw::Window* old = fw::windows::Find(typeid(GameScrn))) {
    old->Close();
    fw::test::AdvanceUs(0);
  }
  BonusRd::Reset();
  fw::random_hooks::SetSeed(setup.seed);
  globals::gR = fw::New<fw::Random>();
  mouseY_ = kPointerY;
  fw::test::SetMouse(mouseX_, mouseY_);

  // The loop plays rounds: it chooses no player (the window that asks is closed
  // unanswered) and reads no introduction. A test's own modal answers come after.
  fw::test::OnModal([](fw::Window& m) {
    if (dynamic_cast<getCurPl*>(&m)) m.Close();
  });
  GameScrn& w = GameScrn::Instance();
  fw::test::OnModal(nullptr);
  w.setSpeedMenu(setup.difficulty);
  w.initStartVars();
  w.round = setup.round - 1;
  bool noShow = std::exchange(globals::gNoShowBScrn, true);
  w.reinit();
  globals::gNoShowBScrn = noShow;
  if (setup.bltCt) w.bltCt = *setup.bltCt;
  if (setup.ballCt) w.ballCt = *setup.ballCt;
  if (setup.bltCt) {
    w.BltCtCnv.Refresh(true);
    w.BltCnv.Refresh(true);
  }
  if (setup.ballCt)
    for (int i = 0; i < game::kBallCanvases; ++i) w.ballCnv(i).Refresh(true);
  firstTick_ = fw::Ticks() + 1;
}

Stepper::~Stepper() = default;

GameScrn& Stepper::window() const { return GameScrn::Instance(); }

void Stepper::Step(const TickInput& input) {
  if (input.mouseX) {
    mouseX_ = *input.mouseX;
    fw::test::SetMouse(mouseX_, mouseY_);
  }
  for (const KeyChange& k : input.keys) fw::test::SetKey(k.keyCode, k.down);
  for (const std::string& c : input.clicks) ClickNow(c);
  // Everything due up to the tick's start runs now: the frame first, then timers, then paints.
  fw::test::AdvanceUs(fw::TickStartUs(firstTick_ + next_) - fw::NowUs());
  ++next_;
}

void Stepper::Steps(int n) {
  for (int i = 0; i < n; ++i) Step();
}

void Stepper::Click(const std::string& control) {
  TickInput in;
  in.clicks.push_back(control);
  Step(in);
}

// The press and release go straight to the control, so the pointer the game
// reads stays where the inputs put it.
void Stepper::ClickNow(const std::string& control) {
  auto* canvas = dynamic_cast<fw::Canvas*>(window().FindControl(control));
  if (!canvas || !canvas->Visible()) return;
  int x = canvas->Width() / 2, y = canvas->Height() / 2;
  fw::Guard([&] {
    if (canvas->Event_MouseDown(x, y)) canvas->Event_MouseUp(x, y);
  });
}

}  // namespace replay
