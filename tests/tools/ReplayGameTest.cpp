// Whole games through the built replay tool: the player's name, a lost round and its
// status window, the end of the game in the hall of fame, a save and its resumption
// from the written data file, and the dialogs a scenario must answer.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/tools/ReplayRun.h"

namespace {

using nlohmann::json;

std::string PString(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }

// A data file: the player, then ten rows; the last row is low enough for any score to beat.
std::string DataFile(const std::string& player) {
  std::string bytes = PString(player);
  for (int i = 0; i < 9; ++i) bytes += PString("P" + std::to_string(i) + "," + std::to_string(25000 - i * 2000) + ",1/1/26");
  bytes += PString("Low,20,1/1/26");
  return bytes;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

class ReplayGame : public ReplayTool {
 protected:
  std::string WriteData(const std::string& name, const std::string& bytes) {
    std::filesystem::path file = dir / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
  // Every window event of the trace, in order, with the tick it came in.
  struct WindowEvent {
    std::int64_t f;
    std::string kind;  // "opened" or "closed"
    json window;
  };
  static std::vector<WindowEvent> Windows(const Result& r) {
    std::vector<WindowEvent> events;
    for (const json& l : r.lines)
      if (l.contains("windows"))
        for (const json& e : l["windows"])
          for (const auto& [kind, w] : e.items()) events.push_back({l["f"].get<std::int64_t>(), kind, w});
    return events;
  }
  static const WindowEvent* Find(const std::vector<WindowEvent>& events, const std::string& kind, const std::string& cls) {
    for (const WindowEvent& e : events)
      if (e.kind == kind && e.window["class"] == cls) return &e;
    return nullptr;
  }
};

// From the opening of the play window: a new name typed over the old one, the
// instructions a new player gets, a round lost with the pointer far to the left,
// then End Game.
std::string LostGame(const std::string& data) {
  return R"({"seed": 3, "ticks": 1000, "dataFile": ")" + data + R"(", "mouse": [[0, 0]], "type": [[5, "Kim"]],
    "buttons": [[10, "getCurPl", "acceptBtn"], [12, "Instr2Scrn", "ExitCnv"], [20, "GameScrn", "runBtn"],
                [800, "RoundScrn", "EndBtn"]]})";
}

TEST_F(ReplayGame, NameRoundLostEndGameAndTheHallOfFameEntry) {
  Result r = Run(LostGame(WriteData("data", DataFile("Robin"))));
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<WindowEvent> events = Windows(r);

  const WindowEvent* ask = Find(events, "opened", "getCurPl");
  ASSERT_TRUE(ask);
  EXPECT_EQ(ask->f, 0);
  EXPECT_EQ(ask->window["fields"]["EditField1"], "Robin") << "the name from the data file";
  ASSERT_TRUE(Find(events, "opened", "GameScrn"));
  const WindowEvent* accepted = Find(events, "closed", "getCurPl");
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->f, 10);
  const WindowEvent* rules = Find(events, "opened", "Instr2Scrn");
  ASSERT_TRUE(rules) << "a new name is a new player";
  EXPECT_EQ(rules->f, 10);
  ASSERT_TRUE(Find(events, "closed", "Instr2Scrn"));

  const WindowEvent* status = Find(events, "opened", "RoundScrn");
  ASSERT_TRUE(status);
  ASSERT_GT(status->f, 20);
  ASSERT_LT(status->f, 800) << "the round must be over before End Game is clicked";
  const json* atEnd = Line(r, status->f);
  ASSERT_TRUE(atEnd);
  EXPECT_TRUE((*atEnd)["state"]["gameOver"]);
  EXPECT_EQ((*atEnd)["state"]["ballCt"], 0);
  int points = (*atEnd)["state"]["curScore"];
  EXPECT_GT(points, 0) << "the ball burst something before it was lost";
  EXPECT_EQ(status->window["labels"]["NameTxt"], "Sorry, Kim");
  EXPECT_NE(status->window["labels"]["whichRndTxt"].get<std::string>().find("game is over"), std::string::npos);
  EXPECT_EQ(status->window["fields"]["PtsFld"], std::to_string(points));
  EXPECT_EQ(status->window["fields"]["AllTotalFld"], std::to_string(points));
  EXPECT_EQ((*atEnd)["game"]["gTotScore"], points);
  EXPECT_EQ(status->window["labels"]["FameTxt"], "# 10");

  const WindowEvent* ended = Find(events, "closed", "RoundScrn");
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended->f, 800);
  const WindowEvent* fame = Find(events, "opened", "HallOfFame");
  ASSERT_TRUE(fame);
  EXPECT_GT(fame->f, 800);
  const json& rows = fame->window["rows"]["ListBox1"];
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[9][0], "Kim");
  EXPECT_EQ(rows[9][1], std::to_string(points));
  EXPECT_EQ(rows[8][0], "P8") << "the rows above keep their places";
  const json& last = r.lines.back()["game"];
  EXPECT_EQ(last["FameList"][9].get<std::string>().rfind("Kim," + std::to_string(points) + ",", 0), 0u);
  EXPECT_EQ(last["gCurPlayer"], "Kim");

  // The same scenario again gives the same trace, byte for byte.
  Result again = Run(LostGame(WriteData("data", DataFile("Robin"))));
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, r.out);
}

TEST_F(ReplayGame, SaveBetweenRoundsThenResumeFromTheWrittenFile) {
  Result saved = Run(R"({"seed": 5, "ticks": 20, "dataFile": ")" + WriteData("data", DataFile("Robin")) +
                     R"(", "round": 4, "bltCt": 7, "ballCt": 3, "difficulty": 2,
                        "menu": [[5, "FileSaveGame"]], "answers": ["OK"]})");
  ASSERT_EQ(saved.status, 0) << saved.err;
  const json* at = Line(saved, 5);
  ASSERT_TRUE(at);
  EXPECT_EQ((*at)["inputs"], json::parse(R"([{"menu": "FileSaveGame", "done": true}])"));
  ASSERT_EQ((*at)["dialogs"].size(), 1u);
  EXPECT_EQ((*at)["dialogs"][0]["message"], "The current game has been saved.");
  EXPECT_EQ((*at)["dialogs"][0]["answer"], "OK");
  EXPECT_EQ((*at)["game"]["savedInfo"],
            json::parse(R"({"isSavedGame": true, "svRound": 3, "svTotScore": 0, "svBltCt": 7, "svBallCt": 3,
                            "svDiffLev": 2})"));
  ASSERT_TRUE((*at).contains("dataFile")) << "the save writes the data file";
  std::string bytes = FromHex((*at)["dataFile"]);
  EXPECT_EQ(bytes.substr(0, DataFile("Robin").size()), DataFile("Robin")) << "player and rows as they were";
  for (const json& l : saved.lines) {
    if (l["f"] == 5) continue;
    EXPECT_FALSE(l.contains("dataFile")) << "written once, at tick " << l["f"];
  }

  // A second run from the written file, opened as at start-up: the name accepted, the game resumed.
  Result resumed = Run(R"({"seed": 5, "ticks": 10, "dataFile": ")" + WriteData("written", bytes) +
                       R"(", "buttons": [[3, "getCurPl", "acceptBtn"]], "answers": ["Resume"]})");
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  const json* asked = Line(resumed, 3);
  ASSERT_TRUE(asked);
  ASSERT_EQ((*asked)["dialogs"].size(), 1u);
  EXPECT_EQ((*asked)["dialogs"][0]["message"], "Resume the saved game?");
  EXPECT_EQ((*asked)["dialogs"][0]["buttons"], json::parse(R"(["Resume", "Cancel"])"));
  const json& state = (*asked)["state"];
  EXPECT_EQ(state["round"], 4);
  EXPECT_EQ(state["RndTxt"], "Round #4");
  EXPECT_EQ(state["bltCt"], 7);
  EXPECT_EQ(state["ballCt"], 3);
  EXPECT_FALSE((*asked)["game"]["savedInfo"]["isSavedGame"]) << "a resumed game is used up";
}

TEST_F(ReplayGame, DialogsAndClicksTheScenarioCannotMake) {
  std::string data = WriteData("data", DataFile("Robin"));
  // A dialog with no answer left, and an answer that is none of the dialog's buttons.
  for (const std::string& answers : {std::string("[]"), std::string(R"(["Save"])")}) {
    Result r = Run(R"({"ticks": 10, "dataFile": ")" + data + R"(", "round": 3, "menu": [[2, "FileSaveGame"]],
                      "answers": )" + answers + "}");
    EXPECT_EQ(r.status, 2) << answers;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("dialog \"The current game has been saved.\" at tick 2"), std::string::npos) << r.err;
  }
  Result missing = Run(R"({"ticks": 10, "dataFile": ")" + (dir / "none").string() + R"("})");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;

  // While the player's window is up the play window's button and the menus are out of reach;
  // the save is refused in round 1 too, where nothing has been played yet.
  Result blocked = Run(R"({"ticks": 10, "dataFile": ")" + data + R"(",
      "buttons": [[2, "GameScrn", "runBtn"], [2, "RoundScrn", "ContBtn"], [6, "getCurPl", "acceptBtn"]],
      "menu": [[3, "InformationShow"], [8, "FileSaveGame"], [8, "InformationShow"]], "answers": []})");
  ASSERT_EQ(blocked.status, 0) << blocked.err;
  ASSERT_TRUE(Line(blocked, 2) && Line(blocked, 3) && Line(blocked, 8));
  EXPECT_EQ((*Line(blocked, 2))["inputs"], json::parse(R"([{"button": "GameScrn.runBtn", "done": false},
                                                           {"button": "RoundScrn.ContBtn", "done": false}])"));
  EXPECT_EQ((*Line(blocked, 3))["inputs"], json::parse(R"([{"menu": "InformationShow", "done": false}])"));
  EXPECT_EQ((*Line(blocked, 8))["inputs"], json::parse(R"([{"menu": "FileSaveGame", "done": false},
                                                           {"menu": "InformationShow", "done": true}])"));
  EXPECT_TRUE(Windows(blocked).back().window["class"] == "HallOfFame") << "the scores shown once the menu is free";
}

TEST_F(ReplayGame, APreparedRoundKeepsItsLinesAndAddsOnlyTheGameState) {
  Result r = Run(R"({"seed": 7, "round": 3, "ticks": 120, "clicks": [[1, "runBtn"]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_FALSE(r.lines.empty());
  const std::vector<std::string> keys = {"f", "ran", "rng", "pairs", "sounds", "state", "game"};
  for (const json& l : r.lines) {
    std::vector<std::string> seen;
    for (const auto& [key, value] : l.items()) seen.push_back(key);
    // nlohmann's json sorts its keys, so the order is read from the text itself.
    EXPECT_EQ(seen.size(), keys.size()) << l.dump();
  }
  std::string first = r.out.substr(0, r.out.find('\n'));
  std::size_t at = 0;
  for (const std::string& k : keys) {
    std::size_t next = first.find("\"" + k + "\":", at);
    ASSERT_NE(next, std::string::npos) << k << " in " << first.substr(0, 200);
    at = next;
  }
  EXPECT_EQ(r.lines.back()["game"]["gTotScore"], 0);
  EXPECT_FALSE(r.lines.back()["game"]["savedInfo"]["isSavedGame"]);
}

}  // namespace
