// The stepping loop replays a game exactly, and every sound goes through one traced call.
#include "tests/game/GameFixture.h"

#include "tests/support/TempDir.h"

namespace {

using StepperTest = GameFixture;

// What a run leaves behind, tick by tick.
std::vector<std::string> Replay(std::unique_ptr<replay::Stepper>& stepper, replay::Setup setup) {
  setup.mediaFolder = ZEMBO_MEDIA_DIR;
  stepper = std::make_unique<replay::Stepper>(setup);
  GameScrn& w = stepper->window();
  std::vector<std::string> trace;
  for (int tick = 0; tick < 900; ++tick) {
    replay::TickInput in;
    in.mouseX = 250 + (tick * 7) % 200 - 100;
    if (tick == 3) in.clicks = {"runBtn"};
    if (tick % 90 == 10) in.keys = {{49, true}};
    if (tick % 90 == 40) in.keys = {{49, false}, {8, true}};
    if (tick % 90 == 60) in.keys = {{8, false}};
    stepper->Step(in);
    std::string line = std::to_string(w.curScore) + " " + std::to_string(w.ballCt) + " " + std::to_string(w.bltCt) +
                       " " + std::to_string(w.rainCt) + " " + std::to_string(w.ctDown);
    if (w.redBall) line += " " + std::to_string(w.redBall->X()) + "," + std::to_string(w.redBall->Y());
    trace.push_back(line);
  }
  return trace;
}

TEST_F(StepperTest, SameSeedAndInputsGiveTheSameGame) {
  auto first = Replay(stepper, {.seed = 71, .difficulty = 2, .round = 9});
  auto firstSounds = sounds;
  sounds.clear();
  auto second = Replay(stepper, {.seed = 71, .difficulty = 2, .round = 9});
  EXPECT_EQ(first, second);
  EXPECT_EQ(firstSounds, sounds);
  EXPECT_GT(std::count(firstSounds.begin(), firstSounds.end(), "shot"), 2);
  auto other = Replay(stepper, {.seed = 72, .difficulty = 2, .round = 9});
  EXPECT_NE(first, other);
}

TEST_F(StepperTest, PreparesTheAskedRoundAndOverrides) {
  GameScrn& w = Start({.seed = 73, .difficulty = 0, .round = 14, .bltCt = 3, .ballCt = 5});
  EXPECT_EQ(w.round, 14);
  EXPECT_EQ(w.RndTxt.Text(), "Round #12");
  EXPECT_EQ(globals::gDiffFactor, 0);
  EXPECT_EQ(globals::gSpeed, 0);
  EXPECT_EQ(w.bltCt, 3);
  EXPECT_EQ(w.ballCt, 5);
  EXPECT_EQ(w.runBtn.getTitle(), "Continue");
  // A hidden control gets no click.
  stepper->Click("runBtn");
  ASSERT_TRUE(w.gameRunning);
  Key(35, true);
  Key(35, false);
  w.runBtn.SetVisible(false);
  stepper->Click("runBtn");
  EXPECT_TRUE(w.isPause);
}

TEST_F(StepperTest, MissingSoundsAreTracedWithoutPlaying) {
  TempDir empty("nosound");
  fw::test::SetResourcesFolder(empty.path());
  media::ForgetAll();
  EXPECT_NO_THROW(media::Play(&UhOhh));
  EXPECT_NO_THROW(media::Play(&newLife));
  EXPECT_EQ(sounds, (std::vector<std::string>{"UhOhh", "newLife"}));
  for (auto [accessor, name] : {std::pair{&shot, "shot"}, {&dud, "dud"}, {&pop, "pop"}, {&TaDa, "TaDa"},
                                {&Wrong, "Wrong"}, {&bing, "bing"}, {&larger, "larger"}, {&Ding, "Ding"}})
    EXPECT_EQ(media::SoundName(accessor), name);
  media::ForgetAll();
}

}  // namespace
