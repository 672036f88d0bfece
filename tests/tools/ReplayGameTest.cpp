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
  Result blocked = Run(R"({"ticks": 10, "dataFile": ")" + data + R"(", "clicks": [[2, "runBtn"], [9, "runBtn"]],
      "buttons": [[2, "GameScrn", "runBtn"], [2, "RoundScrn", "ContBtn"], [6, "getCurPl", "acceptBtn"]],
      "menu": [[3, "InformationShow"], [8, "FileSaveGame"], [8, "InformationShow"]], "answers": []})");
  ASSERT_EQ(blocked.status, 0) << blocked.err;
  ASSERT_TRUE(Line(blocked, 2) && Line(blocked, 3) && Line(blocked, 8) && Line(blocked, 9));
  EXPECT_EQ((*Line(blocked, 2))["inputs"], json::parse(R"([{"click": "runBtn", "done": false},
                                                           {"button": "GameScrn.runBtn", "done": false},
                                                           {"button": "RoundScrn.ContBtn", "done": false}])"));
  EXPECT_FALSE((*Line(blocked, 2))["state"]["gameRunning"]) << "no round under the player's window";
  EXPECT_EQ((*Line(blocked, 9))["inputs"], json::parse(R"([{"click": "runBtn", "done": true}])"));
  EXPECT_TRUE((*Line(blocked, 9))["state"]["gameRunning"]);
  EXPECT_EQ((*Line(blocked, 3))["inputs"], json::parse(R"([{"menu": "InformationShow", "done": false}])"));
  EXPECT_EQ((*Line(blocked, 8))["inputs"], json::parse(R"([{"menu": "FileSaveGame", "done": false},
                                                           {"menu": "InformationShow", "done": true}])"));
  EXPECT_TRUE(Windows(blocked).back().window["class"] == "HallOfFame") << "the scores shown once the menu is free";

  // A control its window does not have is found out once that window shows.
  Result typo = Run(R"({"ticks": 10, "dataFile": ")" + data + R"(", "buttons": [[6, "getCurPl", "acceptButton"]]})");
  EXPECT_EQ(typo.status, 2);
  EXPECT_EQ(std::count(typo.err.begin(), typo.err.end(), '\n'), 1) << typo.err;
  EXPECT_NE(typo.err.find("getCurPl.acceptButton"), std::string::npos) << typo.err;
}

// Mended: the round ran on behind a window opened during play, and the trace printed that
// tick twice and folded the two after the window into one line.
TEST_F(ReplayGame, AWindowOverTheRoundHoldsItAndEveryTickKeepsItsOwnLine) {
  Result r = Run(R"({"seed": 4, "round": 3, "ticks": 200, "clicks": [[1, "runBtn"]],
                    "menu": [[30, "AppleAboutZembo"]], "buttons": [[90, "aboutScrn", "acceptBtn"]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  std::int64_t previous = -1;
  for (const json& l : r.lines) {
    EXPECT_GT(l["f"].get<std::int64_t>(), previous) << l.dump();
    previous = l["f"];
  }
  auto ran = [&](std::int64_t f) {
    const json* l = Line(r, f);
    return l && (*l)["ran"].get<bool>();
  };
  for (std::int64_t f = 2; f < 200; ++f) {
    if (f >= 30 && f <= 90) {
      EXPECT_FALSE(ran(f)) << "held in tick " << f;
    } else {
      EXPECT_TRUE(ran(f)) << "one frame in tick " << f;
    }
  }
  ASSERT_TRUE(Line(r, 199));
  EXPECT_EQ((*Line(r, 199))["state"]["lastTime"], 2) << "the round's clock counts the ticks played";
}

// The first start on a fixed day, the player's name typed, then Quit: the defaults are
// written at once, and the file again at quit, where the run ends.
TEST_F(ReplayGame, FirstRunOnAFixedDayWritesTheDefaultsAndTheFileAtQuit) {
  const std::string scenario = R"({"seed": 2, "ticks": 100, "dataFile": null, "today": "2026-12-09", "quit": 30,
      "type": [[2, "Kim"]], "buttons": [[3, "getCurPl", "acceptBtn"], [5, "Instr2Scrn", "ExitCnv"]]})";
  Result r = Run(scenario);
  ASSERT_EQ(r.status, 0) << r.err;
  const json* first = Line(r, 0);
  ASSERT_TRUE(first && first->contains("dataFile"));
  std::string defaults = PString("Anon") + PString("Marlo,25000,12/9/26") + PString("Kip Fenwold,22500,12/9/26");
  EXPECT_EQ(FromHex((*first)["dataFile"]).substr(0, defaults.size()), defaults);
  EXPECT_EQ((*first)["game"]["FameList"][9], "De. Zedod,2500,12/9/26");

  const json& quit = r.lines.back();
  EXPECT_EQ(quit["f"], 30) << "the run ends at the quit";
  EXPECT_EQ(quit["inputs"], json::parse(R"([{"menu": "FileQuit", "done": true}])"));
  ASSERT_TRUE(quit.contains("dataFile")) << "a typed name is written at quit";
  std::string atQuit = FromHex(quit["dataFile"]);
  EXPECT_EQ(atQuit.substr(0, 4), PString("Kim"));
  EXPECT_EQ(atQuit.substr(4), FromHex((*first)["dataFile"]).substr(5)) << "the rows and the saved game as written";
  for (const json& l : r.lines) {
    if (l["f"] != 0 && l["f"] != 30) {
      EXPECT_FALSE(l.contains("dataFile")) << l["f"];
    }
  }

  // The day's rows read the same in any locale.
  Result german = Run(scenario, {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
  ASSERT_EQ(german.status, 0) << german.err;
  EXPECT_EQ(german.out, r.out);

  // While the player's window is up the menus, Quit among them, are out of reach.
  Result blocked = Run(R"({"ticks": 10, "dataFile": null, "quit": 1})");
  ASSERT_EQ(blocked.status, 0) << blocked.err;
  ASSERT_TRUE(Line(blocked, 1));
  EXPECT_EQ((*Line(blocked, 1))["inputs"], json::parse(R"([{"menu": "FileQuit", "done": false}])"));
  EXPECT_EQ(blocked.lines.back()["f"], 9);
}

// Part of what the trace shows as it changes: the run button's caption and the menus'
// enabled and ticked items, here for a round started, aborted, and the difficulty changed.
TEST_F(ReplayGame, RunButtonCaptionAndMenuStatesAreTracedWhenTheyChange) {
  Result r = Run(R"({"seed": 4, "round": 2, "ticks": 12, "clicks": [[1, "runBtn"]],
                     "menu": [[5, "FileAbortGame"], [8, "GameSpeedFast"]], "answers": ["Abort Game"]})");
  ASSERT_EQ(r.status, 0) << r.err;
  auto item = [](bool enabled, bool checked) { return json{{"enabled", enabled}, {"checked", checked}}; };
  const json& start = r.lines.front();
  EXPECT_EQ(start["f"], 0);
  EXPECT_EQ(start["runBtnCaption"], "Continue");
  EXPECT_EQ(start["menus"]["FileSaveGame"], item(true, false));
  EXPECT_EQ(start["menus"]["FileNewPlayer"], item(false, false));
  EXPECT_EQ(start["menus"]["GameSpeedMedium"], item(true, true));
  EXPECT_EQ(start["menus"].size(), 26u) << "every item, once";

  ASSERT_TRUE(Line(r, 1) && Line(r, 5) && Line(r, 8));
  EXPECT_EQ((*Line(r, 1))["menus"], (json{{"FileSaveGame", item(false, false)}, {"FileAbortGame", item(true, false)}}));
  EXPECT_EQ((*Line(r, 5))["runBtnCaption"], "New Game");
  EXPECT_EQ((*Line(r, 5))["menus"], (json{{"FileNewPlayer", item(true, false)}, {"InformationShow", item(true, false)},
                                          {"InformationPractice", item(true, false)},
                                          {"FileAbortGame", item(false, false)}}));
  EXPECT_EQ((*Line(r, 8))["menus"], (json{{"GameSpeedMedium", item(true, false)}, {"GameSpeedFast", item(true, true)}}));
  for (const json& l : r.lines) {
    std::int64_t f = l["f"];
    EXPECT_EQ(l.contains("runBtnCaption"), f == 0 || f == 5) << f;
    EXPECT_EQ(l.contains("menus"), f == 0 || f == 1 || f == 5 || f == 8) << f;
  }
}

TEST_F(ReplayGame, APreparedRoundKeepsItsLinesAndAddsOnlyTheGameState) {
  Result r = Run(R"({"seed": 7, "round": 3, "ticks": 120, "clicks": [[1, "runBtn"]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_FALSE(r.lines.empty());
  const std::vector<std::string> keys = {"f", "ran", "rng", "pairs", "sounds", "state", "game"};
  // Besides them a line holds only what its tick did: the click, the run button's caption and the menus.
  const std::vector<std::string> events = {"inputs", "runBtnCaption", "menus"};
  for (const json& l : r.lines) {
    std::vector<std::string> seen;
    for (const auto& [key, value] : l.items())
      if (std::find(events.begin(), events.end(), key) == events.end()) seen.push_back(key);
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
