// Whole games in the play window: a scripted player who answers the windows and
// dialogs the game puts up, with the game's own application object and data file.
#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "framework/Menu.h"
#include "framework/MessageDialog.h"
#include "shell/app.h"
#include "tests/game/GameFixture.h"
#include "tests/support/TempDir.h"
#include "windows/HallOfFame.h"
#include "windows/Instr2Scrn.h"
#include "windows/aboutScrn.h"
#include "windows/checkVersScrn.h"
#include "windows/getCurPl.h"

// The availability of the five items the play window switches, after the enabling pass.
struct MenuAvailability {
  bool newPlayer, showScores, practice, abort, save;
  bool operator==(const MenuAvailability&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const MenuAvailability& a) {
  return os << "{newPlayer " << a.newPlayer << ", show " << a.showScores << ", practice " << a.practice << ", abort "
            << a.abort << ", save " << a.save << "}";
}

class FlowFixture : public GameFixture {
 protected:
  using Pressed = fw::MessageDialog::Pressed;

  void SetUp() override {
    GameFixture::SetUp();
    ::setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    theApp = std::make_unique<app>();
    fw::test::OnShown([this](fw::Window& w) { shown.push_back(Kind(w)); });
  }
  void TearDown() override {
    GameFixture::TearDown();
    theApp.reset();
    ::unsetenv("XDG_CONFIG_HOME");
  }

  static std::string Kind(const fw::Window& w) {
    if (dynamic_cast<const GameScrn*>(&w)) return "GameScrn";
    if (dynamic_cast<const RoundScrn*>(&w)) return "RoundScrn";
    if (dynamic_cast<const HallOfFame*>(&w)) return "HallOfFame";
    if (dynamic_cast<const getCurPl*>(&w)) return "getCurPl";
    if (dynamic_cast<const bonusStartScrn*>(&w)) return "bonusStartScrn";
    if (dynamic_cast<const Instr2Scrn*>(&w)) return "Instr2Scrn";
    if (dynamic_cast<const aboutScrn*>(&w)) return "aboutScrn";
    if (dynamic_cast<const checkVersScrn*>(&w)) return "checkVersScrn";
    return typeid(w).name();
  }
  template <class W>
  static bool IsOpen() {
    for (fw::Window* w : fw::windows::All())
      if (dynamic_cast<W*>(w) && w->IsOpen()) return true;
    return false;
  }

  // Prepared through the stepping loop, then the player's windows answered by the script.
  GameScrn& Begin(replay::Setup setup = {}) {
    GameScrn& w = Start(setup);
    globals::gCurPlayer = playerName;
    AnswerWindows();
    AnswerDialogs();
    return w;
  }
  // The play window opened afresh, as the splash window opens it.
  GameScrn& OpenAsAtStartUp() {
    Start();
    GameScrn::Instance().Close();
    fw::test::AdvanceUs(0);
    AnswerWindows();
    AnswerDialogs();
    shown.clear();
    modals.clear();
    return GameScrn::Instance();
  }

  // Every modal window the game shows, answered as the player would.
  void AnswerWindows() {
    fw::test::OnModal([this](fw::Window& m) {
      modals.push_back(Kind(m));
      modalTitles.push_back(m.Title());
      if (dynamic_cast<getCurPl*>(&m)) {
        playWindowShownBeneath = GameScrn::Instance().IsVisible();
        m.Close();
        globals::gCurPlayer = playerName;
        GameScrn::Instance().gameStart(true);  // Accept
      } else if (dynamic_cast<bonusStartScrn*>(&m)) {
        intros.push_back(BonusRd::bonusRndCt);
        if (tickNoShow) globals::gNoShowBScrn = true;  // the check box, then Begin
        if (BonusRd::bonusRndCt == 3) BonusRd::bonusRndCt = 0;
        m.Close();
      } else {
        m.Close();
      }
    });
  }
  // Dialogs answered by their message; notices are acknowledged.
  void AnswerDialogs() {
    fw::test::OnDialog([this](const fw::MessageDialog& d) {
      if (d.Icon == -1) {
        notices.push_back(d.Message);
        return Pressed::Action;
      }
      if (duringDialog) duringDialog(d);
      auto it = answers.find(d.Message);
      return it == answers.end() ? Pressed::None : it->second;
    });
  }

  static constexpr const char* kResume = "Resume the saved game?";
  static constexpr const char* kAbort = "Are you sure you want to quit the current game?";
  static constexpr const char* kSave = "Save the current game before quitting?";
  static constexpr const char* kClear = "Are you sure you want to clear all of the High Scores?";

  // Rows scored from `top` down in equal steps to `top` / 10.
  static void FameDescending(int top) {
    for (int i = 0; i < globals::kFameRows; ++i)
      globals::FameList[static_cast<std::size_t>(i)] = "P" + std::to_string(i) + "," + std::to_string(top - i * top / 10) + ",1/1/26";
  }
  static int FameScore(int row) {
    return static_cast<int>(FameRow::Parse(globals::FameList[static_cast<std::size_t>(row)]).Score());
  }

  // The run button, then the round played to its end by the script: a normal round won
  // with the ball on its last bubble, Bonus #1 let pass, Bonus #2 ended by a raindrop.
  void PlayRound(GameScrn& w, const std::function<bool()>& over = [] { return StatusWindow() != nullptr; }) {
    stepper->Click("runBtn");
    ASSERT_TRUE(w.gameRunning) << "round " << w.round;
    if (!w.isBonusRnd) {
      // One bubble left, in the ball's way (the first frame may have burst another).
      ParkBubbles(w);
      int last = 0;
      while (w.blBubble[static_cast<std::size_t>(last)]->IsClosed()) ++last;
      w.bubbleCt = 1;
      w.redBall->SetMotion(100, 200, 0, 3);
      w.blBubble[static_cast<std::size_t>(last)]->SetMotion(96, 190, 0, 0);
    } else if (BonusRd::bonusRndCt != 1) {
      Steps(1);
      auto rain = fw::New<myRain>();
      w.mySS.Attach(rain);
      w.theRain.push_back(rain);
      ++w.rainCt;
      w.mySS_Collision(*w.myPAD, *rain);
    }
    for (int i = 0; i < 3000 && !over(); ++i) Steps(1);
  }
  // The last ball lost in a round just started.
  void LoseRound(GameScrn& w) {
    stepper->Click("runBtn");
    w.ballCt = 0;
    ParkBubbles(w);
    DropBall(w, 250, 502);
    for (int i = 0; i < 400 && !StatusWindow(); ++i) Steps(1);
  }

  // The open status window's End Game, pressed with the pointer.
  static void PressEndGame() {
    RoundScrn& s = *StatusWindow();
    int x = s.EndBtn.Left() + 5, y = s.EndBtn.Top() + 5;
    fw::test::PressMouse(s, x, y);
    fw::test::ReleaseMouse(s, x, y);
  }

  static MenuAvailability MenuState() {
    fw::MenuBar& bar = *GameScrn::Instance().GetMenuBar();
    fw::menus::RunEnablePass(bar);
    auto on = [&](std::string_view name) {
      bool enabled = false;
      fw::ForEachItem(bar, [&](fw::MenuItem& it) {
        if (it.Name() == name) enabled = it.Enabled();
      });
      return enabled;
    };
    return {on("FileNewPlayer"), on("InformationShow"), on("InformationPractice"), on("FileAbortGame"),
            on("FileSaveGame")};
  }

  TempDir dir_{"flow"};
  std::unique_ptr<app> theApp;
  std::string playerName = "Robin";
  bool tickNoShow = false;
  bool playWindowShownBeneath = false;
  std::map<std::string, Pressed> answers;
  std::function<void(const fw::MessageDialog&)> duringDialog;
  std::vector<std::string> shown, modals, modalTitles, notices;
  std::vector<int> intros;
};
