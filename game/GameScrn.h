// The play window: the sprite surface on which a round is played, the side
// panels, the run button, the two timers and the state of the game in progress.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/SpriteSurface.h"
#include "framework/Timer.h"
#include "framework/Window.h"
#include "game/Bubble.h"
#include "game/ball.h"
#include "game/myBullet.h"
#include "game/myDrop.h"
#include "game/myRain.h"
#include "shell/CnvBtn.h"

namespace game {
inline constexpr int kMaxBubbles = 18;     // Round #15 on Medium or Hard
inline constexpr int kBallCanvases = 7;    // one per spare ball, the most a player holds
inline constexpr int kMaxBullets = 20;      // a bullet drop fills up to this
inline constexpr int kCountdownEnd = 100;  // frames: a countdown at this value is over
inline constexpr int kLostBallCountdown = 49;  // counts up to kCountdownEnd: about 51 frames of grace
inline constexpr int kBonus2Seconds = 100;  // seconds of acid rain to survive
inline constexpr int kKeyP = 35, kKeySpace = 49, kKeyC = 8;  // classic key codes
inline constexpr fw::Color kPanelBack = fw::RGB(210, 225, 255);
inline constexpr fw::Color kFieldBack = fw::RGB(14, 18, 40);  // the sprites' soft edges are blended to it

// The spare-ball indicators: a control array of 8 x 8 canvases, 16 pixels apart.
using BallCanvases = fw::ControlArray<fw::Canvas, kBallCanvases>;
constexpr std::array<BallCanvases::Place, kBallCanvases> BallCanvasPlaces() {
  std::array<BallCanvases::Place, kBallCanvases> places{};
  for (std::size_t i = 0; i < places.size(); ++i) places[i] = {520 + 16 * static_cast<int>(i), 99, 8, 8};
  return places;
}
}  // namespace game

class GameScrn : public fw::Window {

 public:
  // ---- GameScrn.cpp: construction, layout and opening ----
  GameScrn();
  ~GameScrn() override;
  static GameScrn& Instance() { return fw::Implicit<GameScrn>(); }

  // Closing the play window quits the game.
  bool Event_CancelClose() override;
  void Event_Open() override;
  // GameMenus.cpp
  void Event_EnableMenuItems() override;
  // GameRound.cpp
  // A modal window, a dialog or an open menu has the player's mouse: the round in play
  // waits, its clock and countdowns frozen, and goes on where it was once they are gone.
  void Event_Held(bool held) override;

  // The state of the game in progress.
  fw::Ref<ball> redBall;
  std::array<fw::Ref<Bubble>, game::kMaxBubbles + 1> blBubble;
  fw::Ref<fw::Sprite> myPAD;
  int bubbleCt = 0;
  int totBubbles = 0;
  int curScore = 0;
  fw::Ref<myBullet> theBlt;
  int round = 0;
  bool isWinner = false;
  int scoreMult = 0;
  int bltCt = 0;
  fw::Ref<myDrop> theDrop;
  int ballCt = 0;
  double startTicks = 0.0;
  int lastTime = 0;
  bool gameRunning = false;
  bool isPause = false;
  std::vector<fw::Ref<myRain>> theRain;
  int rainCt = 0;
  int ctDown = 0;
  bool doDbl = false;
  bool needBall = false;
  bool isBonusRnd = false;
  int lastX = 0;
  int isPractice = 0;
  bool gameOver = false;
  bool prohibitShot = false;


  // Controls, in creation order.
  fw::SpriteSurface mySS{this, "mySS", 0, 4, 500, 500};
  fw::Timer roundTimer{fw::Timer::kOff, 2000};
  fw::Canvas ScoreCnv{this, "ScoreCnv", 520, 204, 100, 60};
  fw::StaticText StaticText1{this, "StaticText1", 520, 180, 100, 20};
  fw::StaticText StaticText2{this, "StaticText2", 563, 372, 72, 20};
  fw::StaticText StaticText3{this, "StaticText3", 527, 293, 50, 20};
  fw::StaticText StaticText4{this, "StaticText4", 527, 493, 40, 20};
  fw::StaticText StaticText5{this, "StaticText5", 527, 393, 40, 20};
  fw::StaticText StaticText6{this, "StaticText6", 527, 343, 40, 20};
  fw::StaticText StaticText7{this, "StaticText7", 527, 443, 40, 20};
  fw::Separator Separator1{this, "Separator1", 520, 169, 100, 4};
  game::BallCanvases ballCnv{this, "ballCnv", game::BallCanvasPlaces()};
  fw::StaticText StaticText9{this, "StaticText9", 520, 75, 100, 20};
  fw::Timer showTimer{fw::Timer::kOff, 800};
  fw::StaticText StaticText8{this, "StaticText8", 563, 286, 72, 20};
  fw::Separator Separator2{this, "Separator2", 556, 288, 4, 220};
  fw::Separator Separator3{this, "Separator3", 560, 349, 70, 4};
  fw::StaticText RndTxt{this, "RndTxt", 520, 146, 100, 20};
  fw::Line Line1{this, "Line1", 514, 299, 526, 299};
  fw::Canvas timeCnv{this, "timeCnv", 567, 313, 64, 26};
  fw::Canvas BltCnv{this, "BltCnv", 568, 400, 60, 26};
  fw::StaticText pauseInfo{this, "pauseInfo", 520, 47, 100, 26};
  fw::Canvas BltCtCnv{this, "BltCtCnv", 515, 303, 12, 200};
  fw::EditField stlFocus{this, "stlFocus", 650, 109, 40, 22};
  fw::Canvas dblCnv{this, "dblCnv", 543, 117, 60, 24};
  fw::StaticText StaticText10{this, "StaticText10", 507, 287, 30, 16};
  CnvBtn runBtn{this, "runBtn", 510, 8, 120, 30};

  // ---- GameFlow.cpp: the game's flow ----
  void gameStart(bool allowResume);
  void initStartVars();
  void reinit();
  std::string setRound();
  bool checkProhibit() const;
  void gameCleanup();
  void roundTimer_Action();
  void showTimer_Action();
  void hndlClosingGame();
  void hndlAbort();
  void confirmAbort();
  void askSave();

  // ---- GameSavedGame.cpp: saved game and hall-of-fame entry ----
  void saveInfo(bool fromMenu);
  void askResume();
  bool checkScore();
  void resetScores();

  // ---- GameMenus.cpp: the menus ----
  void setSpeedMenu(int level);
  bool _FileNewPlayer_Action();
  bool _InformationInstructions_Action();
  bool _FileAbortGame_Action();
  bool _InformationShow_Action();
  bool _InformationClear_Action();
  bool _AppleAboutZembo_Action();
  bool _PracticeBonus1_Action();
  bool _PracticeBonus2_Action();
  bool _PracticeRound7_Action();
  bool _GameSpeedFast_Action();
  bool _GameSpeedMedium_Action();
  bool _GameSpeedSlow_Action();
  bool _InformationCheckVersion_Action();
  bool _FileSaveGame_Action();

  // ---- GameRound.cpp: round start, the hold and the frame loop ----
  void hndlRunAction();
  void setPAD();
  void initBall();
  void initBubble();
  void mySS_NextFrame();
  void movePaddle();
  void shootBlt();

  // ---- GameCollisions.cpp: collisions, scoring and drops ----
  void mySS_Collision(fw::Sprite& first, fw::Sprite& second);
  void bustAbubble(bool scores, bool byBall);
  void hndlDone(bool won);
  void hndlDropColl();
  void addNewBall();

  // ---- GameBonus.cpp: the bonus rounds ----
  void hndlBonusDone(int n);

  // ---- GamePanels.cpp: side panels and the run button ----
  void ScoreCnv_Paint(fw::Graphics& g);
  void ballCnv_Paint(fw::Canvas& canvas, fw::Graphics& g);
  void timeCnv_Paint(fw::Graphics& g);
  void BltCnv_Paint(fw::Graphics& g);
  void BltCtCnv_Paint(fw::Graphics& g);
  void dblCnv_Paint(fw::Graphics& g);
  void runBtn_Open();
  void runBtn_MouseUp(int x, int y);

  // What a finished round hands to the round status window.
  struct RoundResult {
    int points = 0;
    int seconds = 0;
    int level = 0;  // the internal round; -1 for a bonus round
    bool won = false;
    bool practice = false;
    bool operator==(const RoundResult&) const = default;
  };
  std::optional<RoundResult> lastResult;

  // ---- Where the game stands: every question about it is answered here ----
  // Idle: no round prepared (before the first game, or after an abort while the hall of
  // fame is pending). Ready: a round is prepared and waits for the run button. InPlay:
  // from the run button until the next round is prepared, through pauses, the round's
  // end and its status window.
  enum class Phase { Idle, Ready, InPlay };
  Phase phase() const { return phase_; }
  // A round is prepared or in play: there is a game for the run button and the windows.
  bool hasRound() const { return phase_ != Phase::Idle; }
  // A round is prepared and waits for the run button.
  bool roundReady() const { return phase_ == Phase::Ready; }
  // A round is running, paused or ending, or its status window is still open: the
  // game in progress must not be replaced under it.
  bool roundInPlay() const { return phase_ == Phase::InPlay; }
  // The round is played on: from the run button until it is won, lost or abandoned,
  // a lost ball's countdown included.
  bool roundRunning() const { return gameRunning; }
  bool roundPaused() const { return isPause; }
  // A modal window, a dialog or an open menu holds the round (see Event_Held).
  bool roundHeld() const { return hold_.has_value(); }
  // The round is over (game lost, or the round timer armed): the run button no longer acts.
  bool roundEnded() const { return gameOver || roundTimer.GetMode() != fw::Timer::kOff; }
  // From a round's end until its status window is answered: the game is neither new
  // nor running.
  bool roundOver() const { return roundInPlay() && !roundRunning(); }
  // A game the player has under way, which a window left open from an earlier game must
  // not end or replace: a round running, paused or just ended (its status window still
  // open), or a later round prepared. What is left is a game just ended or aborted, or
  // one not begun: the hall of fame, when it closes, starts the next game only then.
  bool gameUnderway() const { return roundRunning() || roundInPlay() || (roundReady() && round > 1); }
  // Every game begun has a number of its own. A window that reported a round acts on the
  // play window only while its game is still the one there: not ended, aborted or replaced.
  int gameNumber() const { return gameNumber_; }
  bool stillPlaying(int game) const { return hasRound() && game == gameNumber_; }

 private:
  void Layout();

  // GameFlow.cpp
  // Every end of a round: no pause left behind, no run button on a finished round.
  void endRound();
  void closeRain();
  void openStatusWindow(const RoundResult& result);
  // Ends the round in progress at once: surface stopped, sprites closed, nothing left
  // to resume or to count down, and no run button until a round is prepared again.
  void abandonRound();

  // GameMenus.cpp
  void AddMenuHandlers();
  void enableItem(std::string_view name, bool enabled);
  // The practice rounds: a round prepared from the one before it, outside the game.
  void startPractice(int before);

  // GameRound.cpp
  void pauseRound();
  // Frames again, the pointer hidden and the keys at the field.
  void playOn();
  void addRain();
  void moveRain();
  // A normal round's frame, in its steps.
  void normalFrame();
  void countdownOver();
  bool readInput();
  // Fires the bullet if it is parked; answers whether it was already in flight.
  bool fireIfParked();
  void applyRules();
  bool moveSprites(bool bulletFlying);
  bool settleBall(bool lost);
  void refreshPanels(bool newSecond);

  // GameCollisions.cpp
  void refreshBallCnv(int index);

  // GameBonus.cpp
  // A bonus round's frame, in its steps.
  void bonusFrame();
  bool bonusClock();
  void refreshBonusPanels(bool newSecond);

  Phase phase_ = Phase::Idle;
  int gameNumber_ = 0;

  // A round held while the player cannot play it.
  struct Hold {
    std::int64_t since = 0;  // the Ticks at which it began
    bool frames = false;     // the surface was running
  };
  std::optional<Hold> hold_;
};
