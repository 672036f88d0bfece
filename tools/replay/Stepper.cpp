#include "tools/replay/Stepper.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "framework/Application.h"
#include "framework/CheckBox.h"
#include "framework/Menu.h"
#include "framework/PushButton.h"
#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "framework/Window.h"
#include "game/BonusRd.h"
#include "game/GameScrn.h"
#include "shell/SplashScrn.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "windows/HallOfFame.h"
#include "windows/Instr2Scrn.h"
#include "windows/RoundScrn.h"
#include "windows/aboutScrn.h"
#include "windows/bonusStartScrn.h"
#include "windows/checkVersScrn.h"
#include "windows/getCurPl.h"

#include <utility>

namespace replay {

namespace {
constexpr int kPointerY = 300;  // over the field, below the side panel's controls

// The newest open window that can take input: a modal one if any is up.
fw::Window* FrontWindow() {
  fw::Window* front = nullptr;
  for (fw::Window* w : fw::windows::All()) {
    if (!w->IsOpen() || !w->IsVisible()) continue;
    if (w->IsModal() || !front || !front->IsModal()) front = w;
  }
  return front;
}

std::string Demangled(const std::type_info& type) {
  const char* mangled = type.name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return status == 0 && name ? name.get() : mangled;
}

bool Quitting() { return fw::CurrentApp() && fw::CurrentApp()->Quitting(); }

// The first item of the bar, in menu order, that matches.
template <class Match>
fw::MenuItem* FirstItem(const fw::MenuBar& bar, Match matches) {
  fw::MenuItem* found = nullptr;
  fw::ForEachItem(bar, [&](fw::MenuItem& it) {
    if (!found && matches(it)) found = &it;
  });
  return found;
}

fw::MenuItem* QuitItem(const fw::MenuBar& bar) {
  return FirstItem(bar, [](const fw::MenuItem& it) { return it.GetKind() == fw::MenuItem::Kind::Quit; });
}
}  // namespace

std::string ClassName(const fw::Window& w) { return Demangled(typeid(w)); }

bool IsWindowClass(std::string_view name) {
  for (const std::type_info* t : {&typeid(SplashScrn), &typeid(GameScrn), &typeid(RoundScrn), &typeid(HallOfFame),
                                  &typeid(getCurPl), &typeid(bonusStartScrn), &typeid(Instr2Scrn),
                                  &typeid(checkVersScrn), &typeid(aboutScrn)})
    if (Demangled(*t) == name) return true;
  return false;
}

bool HasButton(const fw::Window& w, std::string_view control) {
  fw::Control* c = w.FindControl(control);
  return dynamic_cast<fw::PushButton*>(c) || dynamic_cast<fw::CheckBox*>(c) || dynamic_cast<fw::Canvas*>(c);
}

bool HasCanvas(const fw::Window& w, std::string_view control) {
  return dynamic_cast<fw::Canvas*>(w.FindControl(control)) != nullptr;
}

fw::MenuBar* ShownMenuBar() {
  fw::Window* play = fw::windows::Find(typeid(GameScrn));
  fw::MenuBar* bar = play ? play->GetMenuBar() : nullptr;
  if (!bar && fw::CurrentApp()) bar = fw::CurrentApp()->GetMenuBar();
  return bar;
}

fw::MenuItem* FindMenuItem(const fw::MenuBar& bar, std::string_view name) {
  return FirstItem(bar, [name](const fw::MenuItem& it) { return it.Name() == name; });
}

bool MenusBlocked() {
  for (fw::Window* w : fw::windows::All())
    if (w->IsOpen() && w->IsModal()) return true;
  return false;
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
  if (setup.opening) {
    firstTick_ = fw::Ticks() + 1;
    return;
  }

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

void Stepper::Open() {
  if (!fw::windows::Find(typeid(GameScrn))) GameScrn::Instance();
}

GameScrn& Stepper::window() const { return GameScrn::Instance(); }

void Stepper::Step(const TickInput& input) {
  Apply(input);
  Advance();
}

void Stepper::Apply(const TickInput& input, const InputSeen& seen) {
  auto tell = [&](InputOutcome o) {
    o.done = o.done && !Quitting();
    if (seen) seen(o);
    return o.done;
  };
  if (input.mouseX) {
    mouseX_ = *input.mouseX;
    fw::test::SetMouse(mouseX_, mouseY_);
  }
  for (const KeyChange& k : input.keys) fw::test::SetKey(k.keyCode, k.down);
  for (const std::string& c : input.clicks) {
    fw::Canvas* canvas = ClickTarget(c);
    if (tell({"click", c, canvas != nullptr})) PressCanvas(*canvas);
  }
  for (const std::string& item : input.menus)
    if (tell({"menu", item, MenuEnabled(item)})) fw::Guard([&] { fw::test::ChooseMenu(item); });
  for (const TickInput::Button& b : input.buttons) {
    fw::Control* c = Clickable(b.window, b.control);
    if (tell({"button", b.window + "." + b.control, c != nullptr})) PressButton(*c);
  }
  for (const std::string& text : input.typed) {
    fw::Window* front = FrontWindow();
    if (tell({"type", text, front != nullptr})) TypeText(*front, text);
  }
  if (input.quit) {
    fw::MenuBar* bar = ShownMenuBar();
    fw::MenuItem* quit = bar ? QuitItem(*bar) : nullptr;
    std::string name = quit ? quit->Name() : "Quit";
    if (tell({"menu", name, quit && MenuEnabled(name)})) fw::Guard([&] { fw::test::ChooseMenu(name); });
  }
  // The pointer the game reads goes back where the inputs put it.
  if (!input.buttons.empty()) fw::test::SetMouse(mouseX_, mouseY_);
}

// The tick is counted before its time runs, so that ticks run inside it (a modal
// window's) follow it in order.
void Stepper::Advance() {
  std::int64_t t = next_++;
  // Everything due up to the tick's start runs now: the frame first, then timers, then paints.
  fw::test::AdvanceUs(fw::TickStartUs(firstTick_ + t) - fw::NowUs());
}

void Stepper::Steps(int n) {
  for (int i = 0; i < n; ++i) Step();
}

void Stepper::Click(const std::string& control) {
  TickInput in;
  in.clicks.push_back(control);
  Step(in);
}

// A hidden or disabled canvas, or one behind a modal window, takes no click.
fw::Canvas* Stepper::ClickTarget(const std::string& control) {
  fw::Window* play = fw::windows::Find(typeid(GameScrn));
  auto* canvas = play ? dynamic_cast<fw::Canvas*>(play->FindControl(control)) : nullptr;
  if (!canvas || !canvas->Visible() || !canvas->Enabled() || fw::test::IsBlocked(*play)) return nullptr;
  return canvas;
}

// The press and release go straight to the control, so the pointer the game
// reads stays where the inputs put it.
void Stepper::PressCanvas(fw::Canvas& canvas) {
  int x = canvas.Width() / 2, y = canvas.Height() / 2;
  fw::Guard([&] {
    if (canvas.Event_MouseDown(x, y)) canvas.Event_MouseUp(x, y);
  });
}

// A hidden or disabled control, or a window behind a modal one, takes no click.
fw::Control* Stepper::Clickable(const std::string& windowClass, const std::string& control) {
  fw::Window* target = nullptr;
  for (fw::Window* w : fw::windows::All())
    if (w->IsOpen() && w->IsVisible() && ClassName(*w) == windowClass) target = w;
  if (!target || fw::test::IsBlocked(*target) || !HasButton(*target, control)) return nullptr;
  fw::Control* c = target->FindControl(control);
  return c->Visible() && c->Enabled() ? c : nullptr;
}

// As the menu bar would offer it: nothing while a modal window is up, else after the enabling pass.
bool Stepper::MenuEnabled(const std::string& item) {
  fw::MenuBar* bar = ShownMenuBar();
  if (MenusBlocked() || !bar) return false;
  fw::menus::RunEnablePass(*bar);
  fw::MenuItem* found = FindMenuItem(*bar, item);
  if (!found || !found->Enabled()) return false;
  for (fw::MenuItem* p = found->Parent(); p && p != bar; p = p->Parent())
    if (!p->Enabled()) return false;
  return true;
}

// A press and release at the control's centre, as the pointer makes them.
void Stepper::PressButton(fw::Control& c) {
  fw::Window& target = *c.Owner();
  int x = c.Left() + c.Width() / 2, y = c.Top() + c.Height() / 2;
  fw::Guard([&] {
    fw::test::PressMouse(target, x, y);
    if (target.IsOpen()) fw::test::ReleaseMouse(target, x, y);
  });
}

// Key by key, each a whole UTF-8 character, while the window stays in front.
void Stepper::TypeText(fw::Window& front, const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1;
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) n = 4;
    else if (lead >= 0xE0) n = 3;
    else if (lead >= 0xC0) n = 2;
    std::string key = text.substr(i, n);
    i += n;
    if (FrontWindow() != &front) return;
    fw::Guard([&] { fw::test::TypeKey(front, key); });
  }
}

}  // namespace replay
