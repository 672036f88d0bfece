// Reading replay scenarios: defaults, ordering of timed entries, and the refusals.
#include "tools/replay/Scenario.h"

#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

using replay::ParseScenario;
using replay::Scenario;
using replay::ScenarioError;

Scenario Good(std::string_view json) {
  auto parsed = ParseScenario(json);
  if (auto* err = std::get_if<ScenarioError>(&parsed)) ADD_FAILURE() << err->message << " for " << json;
  auto* s = std::get_if<Scenario>(&parsed);
  return s ? *s : Scenario{};
}

std::string Refusal(std::string_view json) {
  auto parsed = ParseScenario(json);
  auto* err = std::get_if<ScenarioError>(&parsed);
  if (!err) {
    ADD_FAILURE() << "accepted " << json;
    return {};
  }
  return err->message;
}

TEST(ReplayScenario, FullScenarioIsReadWithEveryField) {
  Scenario s = Good(R"({"seed": 7, "difficulty": 2, "round": 3, "bltCt": 10, "ballCt": 2, "ticks": 3600,
      "mouse": [[0, 250], [90, 400]], "keys": [[100, "space", true], [160, "c", false], [170, "p", true]],
      "clicks": [[1, "runBtn"]], "snapshots": [[600, "f600.png"]]})");
  EXPECT_EQ(s.seed, 7u);
  EXPECT_EQ(s.difficulty, 2);
  EXPECT_EQ(s.round, 3);
  EXPECT_EQ(s.bltCt, 10);
  EXPECT_EQ(s.ballCt, 2);
  EXPECT_EQ(s.ticks, 3600);
  ASSERT_EQ(s.mouse.size(), 2u);
  EXPECT_EQ(s.mouse[1].tick, 90);
  EXPECT_EQ(s.mouse[1].x, 400);
  ASSERT_EQ(s.keys.size(), 3u);
  EXPECT_EQ(s.keys[0].keyCode, 49);
  EXPECT_TRUE(s.keys[0].down);
  EXPECT_EQ(s.keys[1].keyCode, 8);
  EXPECT_FALSE(s.keys[1].down);
  EXPECT_EQ(s.keys[2].keyCode, 35);
  ASSERT_EQ(s.clicks.size(), 1u);
  EXPECT_EQ(s.clicks[0].control, "runBtn");
  ASSERT_EQ(s.snapshots.size(), 1u);
  EXPECT_EQ(s.snapshots[0].file, "f600.png");
}

TEST(ReplayScenario, OnlyTicksGivesTheDefaultGame) {
  Scenario s = Good(R"({"ticks": 0})");
  EXPECT_EQ(s.ticks, 0);
  EXPECT_EQ(s.round, 1);
  EXPECT_EQ(s.difficulty, 1);
  EXPECT_FALSE(s.bltCt);
  EXPECT_FALSE(s.ballCt);
  EXPECT_TRUE(s.mouse.empty() && s.keys.empty() && s.clicks.empty() && s.snapshots.empty());
}

TEST(ReplayScenario, EntriesAreOrderedByTickKeepingTheOrderWithinATick) {
  Scenario s = Good(R"({"ticks": 10, "keys": [[5, "c", true], [2, "space", true], [5, "space", false], [2, "p", true]],
                        "seed": 4294967295})");
  ASSERT_EQ(s.keys.size(), 4u);
  EXPECT_EQ(s.keys[0].tick, 2);
  EXPECT_EQ(s.keys[0].keyCode, 49);
  EXPECT_EQ(s.keys[1].keyCode, 35);
  EXPECT_EQ(s.keys[2].keyCode, 8);
  EXPECT_EQ(s.keys[3].keyCode, 49);
  EXPECT_EQ(s.seed, 4294967295u);
}

TEST(ReplayScenario, RefusesWhatIsNotAScenario) {
  EXPECT_NE(Refusal("").find("not JSON"), std::string::npos);
  EXPECT_NE(Refusal("{\"ticks\": 3").find("not JSON"), std::string::npos);
  EXPECT_NE(Refusal("[1, 2]").find("object"), std::string::npos);
  EXPECT_NE(Refusal(R"({"round": 3})").find("\"ticks\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "tick": 5})").find("unknown key \"tick\""), std::string::npos);
}

TEST(ReplayScenario, RefusesValuesOutOfRange) {
  EXPECT_NE(Refusal(R"({"ticks": 5, "round": 0})").find("\"round\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "round": 18})").find("\"round\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "difficulty": 3})").find("\"difficulty\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "difficulty": -1})").find("\"difficulty\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": -1})").find("\"ticks\""), std::string::npos);
  // A hostile length is capped rather than run for days.
  EXPECT_NE(Refusal(R"({"ticks": 2160001})").find("\"ticks\""), std::string::npos);
  EXPECT_EQ(Good(R"({"ticks": 2160000})").ticks, replay::kMaxTicks);
  EXPECT_NE(Refusal(R"({"ticks": 99999999999999999999})").find("\"ticks\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "seed": 4294967296})").find("\"seed\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "ballCt": 8})").find("\"ballCt\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "bltCt": 21})").find("\"bltCt\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "mouse": [[-1, 3]]})").find("\"mouse\" entry 0 tick"), std::string::npos);
}

TEST(ReplayScenario, RefusesWrongTypes) {
  EXPECT_NE(Refusal(R"({"ticks": 5.5})").find("whole number"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": "60"})").find("whole number"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "round": true})").find("\"round\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "mouse": [0, 250]})").find("\"mouse\" entry 0"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "mouse": {"0": 250}})").find("\"mouse\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "mouse": [[0, 250, 1]]})").find("\"mouse\" entry 0"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "keys": [[1, "space", 1]]})").find("down"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "keys": [[1, "q", true]]})").find("\"keys\" entry 0 key"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "clicks": [[1, 7]]})").find("\"clicks\" entry 0"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "snapshots": [[1, ""]]})").find("\"snapshots\" entry 0"), std::string::npos);
}

TEST(ReplayScenario, EveryRefusalIsOneLine) {
  for (const char* bad : {"{\n\"ticks\":\n", "{\"ticks\": 1,\n \"x\": 2}", "{\"ticks\": \"\\n\"}"})
    EXPECT_EQ(Refusal(bad).find('\n'), std::string::npos) << bad;
}

TEST(ReplayScenario, LoadsFromAFileAndRefusesAnUnreadableOne) {
  TempDir dir("replay-scenario");
  {
    std::ofstream(dir / "good.json") << R"({"ticks": 12, "round": 6})";
  }
  auto good = replay::LoadScenario(dir / "good.json");
  ASSERT_TRUE(std::holds_alternative<Scenario>(good));
  EXPECT_EQ(std::get<Scenario>(good).round, 6);

  auto missing = replay::LoadScenario(dir / "none.json");
  ASSERT_TRUE(std::holds_alternative<ScenarioError>(missing));
  EXPECT_NE(std::get<ScenarioError>(missing).message.find("cannot read"), std::string::npos);
  EXPECT_TRUE(std::holds_alternative<ScenarioError>(replay::LoadScenario(dir.path())));
}

}  // namespace

namespace {

TEST(ReplayScenario, WholeGameKeysAndWhenThePlayWindowOpensAsAtStartUp) {
  Scenario s = Good(R"({"ticks": 50, "dataFile": "d.bin",
      "menu": [[9, "FileSaveGame"], [2, "InformationShow"]],
      "buttons": [[4, "RoundScrn", "ContBtn"], [1, "getCurPl", "acceptBtn"]],
      "type": [[3, "Kim"]], "answers": ["OK", "Resume"]})");
  ASSERT_EQ(s.menu.size(), 2u);
  EXPECT_EQ(s.menu[0].item, "InformationShow") << "in tick order";
  EXPECT_EQ(s.menu[1].tick, 9);
  ASSERT_EQ(s.buttons.size(), 2u);
  EXPECT_EQ(s.buttons[0].window, "getCurPl");
  EXPECT_EQ(s.buttons[0].control, "acceptBtn");
  EXPECT_EQ(s.buttons[1].window, "RoundScrn");
  ASSERT_EQ(s.typed.size(), 1u);
  EXPECT_EQ(s.typed[0].text, "Kim");
  EXPECT_EQ(s.answers, (std::vector<std::string>{"OK", "Resume"}));
  ASSERT_TRUE(s.dataFile);
  EXPECT_TRUE(s.Opening());

  EXPECT_FALSE(Good(R"({"ticks": 5, "dataFile": "d.bin", "round": 1})").Opening()) << "a round given is prepared";
  EXPECT_FALSE(Good(R"({"ticks": 5})").Opening()) << "no data file: the prepared round as before";
  EXPECT_TRUE(Good(R"({"ticks": 5, "dataFile": null})").Opening()) << "the first start, with no data file";
}

TEST(ReplayScenario, WholeGameKeysOfTheWrongShapeAreRefused) {
  EXPECT_NE(Refusal(R"({"ticks": 5, "menu": [[1]]})").find("\"menu\" entry 0"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "menu": [[1, 2]]})").find("item name"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "buttons": [[1, "RoundScrn"]]})").find("\"buttons\" entry 0"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "buttons": [[1, "", "ContBtn"]]})").find("window class"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "type": [[-1, "a"]]})").find("tick"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "answers": "OK"})").find("\"answers\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "answers": ["OK", 3]})").find("\"answers\" entry 1"), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "dataFile": ""})").find("\"dataFile\""), std::string::npos);
  EXPECT_NE(Refusal(R"({"ticks": 5, "quit": 5})").find("\"quit\""), std::string::npos) << "a quit after the run";
  for (const char* day : {R"("2026-02-29")", R"("2026-12-9")", R"("09.12.2026")", "20261209", R"("0000-01-01")"})
    EXPECT_NE(Refusal(std::string(R"({"ticks": 5, "today": )") + day + "}").find("\"today\""), std::string::npos) << day;
  EXPECT_EQ(Good(R"({"ticks": 5, "today": "2028-02-29"})").today->day, 29);
}

}  // namespace
