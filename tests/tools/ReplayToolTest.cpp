// The built replay tool end to end: refusals, determinism, and what its trace
// and snapshots show of real rounds.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/tools/ReplayRun.h"

namespace {

using nlohmann::json;

// A busy round: eighteen bubbles on Hard, started at tick 2, space held from tick 10.
const std::string kBusy =
    R"({"seed": 3, "difficulty": 2, "round": 17, "ticks": 400, "clicks": [[2, "runBtn"]], "keys": [[10, "space", true]]})";

TEST_F(ReplayTool, RefusesBadScenariosWithOneLineAndStatus2) {
  const std::vector<std::string> bad = {
      "not json at all",
      R"({"ticks": 10, "speed": 3})",
      R"({"ticks": "10"})",
      R"({"ticks": 10, "round": 0})",
      R"({"ticks": 10, "difficulty": 3})",
      R"({"ticks": -5})",
      // Names the game does not have are no disabled items or hidden controls.
      R"({"ticks": 10, "menu": [[1, "FileSaveGam"]]})",
      R"({"ticks": 10, "buttons": [[1, "RoundScreen", "ContBtn"]]})",
      R"({"ticks": 10, "clicks": [[1, "runButton"]]})",
      R"({"ticks": 10, "clicks": [[1, "RndTxt"]]})",
  };
  for (const std::string& s : bad) {
    Result r = Run(s);
    EXPECT_EQ(r.status, 2) << s;
    EXPECT_TRUE(r.out.empty()) << s;
    ASSERT_FALSE(r.err.empty()) << s;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << s << ": " << r.err;
  }
  Result missing = Run("", {}, (dir / "no-such.json").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1) << missing.err;
}

TEST_F(ReplayTool, SameScenarioGivesTheSameBytesAndAnotherSeedOtherDraws) {
  Result a = Run(kBusy);
  Result b = Run(kBusy);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_GT(a.lines.size(), 300u);
  EXPECT_EQ(a.out, b.out);

  std::string other = kBusy;
  other.replace(other.find("\"seed\": 3"), 9, "\"seed\": 4");
  Result c = Run(other);
  ASSERT_EQ(c.status, 0) << c.err;
  json drawsA = json::array(), drawsC = json::array();
  for (const json& l : a.lines) drawsA.push_back(l["rng"]);
  for (const json& l : c.lines) drawsC.push_back(l["rng"]);
  EXPECT_NE(drawsA, drawsC);
}

TEST_F(ReplayTool, RunButtonClickStartsTheFramesAndTheyRunOnEveryTick) {
  Result r = Run(R"({"seed": 5, "round": 1, "ticks": 120, "clicks": [[30, "runBtn"]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  std::int64_t last = -1;
  for (const json& l : r.lines) {
    EXPECT_GT(l["f"].get<std::int64_t>(), last);  // ticks in order, none twice
    last = l["f"];
    if (l["f"] < 30) {
      EXPECT_FALSE(l["ran"].get<bool>()) << l["f"];
      EXPECT_FALSE(l["state"]["gameRunning"].get<bool>());
      EXPECT_TRUE(l["state"]["runBtnVisible"].get<bool>());
    }
  }
  for (std::int64_t f = 31; f < 120; ++f) {
    const json* l = Line(r, f);
    ASSERT_TRUE(l) << "no line for tick " << f;
    EXPECT_TRUE((*l)["ran"].get<bool>()) << f;
    // Every running frame of a normal round draws once for drops and rain.
    int frameDraws = 0;
    for (const json& d : (*l)["rng"]) frameDraws += d[0] == 1 && d[1] == 1000;
    EXPECT_EQ(frameDraws, 1) << f;
  }
  const json& playing = *Line(r, 119);
  EXPECT_TRUE(playing["state"]["gameRunning"].get<bool>());
  EXPECT_FALSE(playing["state"]["runBtnVisible"].get<bool>());
  EXPECT_EQ(playing["state"]["totBubbles"], 4);
  EXPECT_EQ(playing["state"]["bubbles"].size(), 4u);
  // Idle ticks before the click are left out: nothing drew, ran or was input there.
  EXPECT_LT(r.lines.size(), 110u);
}

TEST_F(ReplayTool, ClickOnAHiddenControlDoesNothing) {
  Result r = Run(R"({"seed": 5, "round": 1, "ticks": 60, "clicks": [[5, "runBtn"], [20, "runBtn"]], "keys": [[30, "p", true]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  // The second click hit a hidden button: the round started once and was not disturbed.
  const json* later = Line(r, 25);
  ASSERT_TRUE(later);
  EXPECT_TRUE((*later)["state"]["gameRunning"].get<bool>());
  EXPECT_FALSE((*later)["state"]["isPause"].get<bool>());
  // P pauses: no frame runs after the pause, and the button is back.
  const json* paused = Line(r, 30);
  ASSERT_TRUE(paused);
  EXPECT_TRUE((*paused)["state"]["isPause"].get<bool>());
  EXPECT_TRUE((*paused)["state"]["runBtnVisible"].get<bool>());
  for (const json& l : r.lines) {
    if (l["f"] > 31) {
      EXPECT_FALSE(l["ran"].get<bool>()) << l["f"];
    }
  }
}

TEST_F(ReplayTool, SoundsAndPairsNameTheSpritesOfTheState) {
  Result r = Run(kBusy);
  ASSERT_EQ(r.status, 0) << r.err;
  int shots = 0, pops = 0, bulletPairs = 0;
  for (const json& l : r.lines) {
    for (const json& s : l["sounds"]) {
      shots += s == "shot";
      pops += s == "pop";
    }
    const json& st = l["state"];
    for (const json& p : l["pairs"]) {
      // Every pair names sprites the run made, with their real groups.
      EXPECT_GE(p[0].get<int>(), 1);
      EXPECT_GE(p[2].get<int>(), 1);
      for (int side : {0, 2}) {
        const json& group = p[side + 1];
        if (group == -4) {
          ++bulletPairs;
          EXPECT_EQ(p[side], st["bullet"]["id"]);
        } else if (group == -2) {
          EXPECT_EQ(p[side], st["paddle"]["id"]);
        } else if (group == -1) {
          EXPECT_EQ(p[side], st["ball"]["id"]);
        }
      }
    }
  }
  EXPECT_GE(shots, 2);
  EXPECT_GE(pops, 1);
  EXPECT_GE(bulletPairs, 1);
  // A burst bubble is shown closed, and the count of live ones went down by as many.
  const json& end = r.lines.back()["state"];
  int closed = 0;
  for (const json& b : end["bubbles"]) closed += b["closed"].get<bool>();
  EXPECT_EQ(end["totBubbles"], 18);
  EXPECT_EQ(closed, 18 - end["bubbleCt"].get<int>());
  EXPECT_GT(closed, 0);
  // The sprites of the round were made first: paddle, bullet, drop, ball, bubbles.
  EXPECT_EQ(end["paddle"]["id"], 1);
  EXPECT_EQ(end["ball"]["id"], 4);
  EXPECT_EQ(end["bubbles"][17]["id"], 22);
}

TEST_F(ReplayTool, BonusRoundsShowThePurpleBubblesAndTheRainOldestFirst) {
  Result first = Run(R"({"seed": 8, "round": 6, "ticks": 260, "clicks": [[1, "runBtn"]]})");
  ASSERT_EQ(first.status, 0) << first.err;
  const json& st = first.lines.back()["state"];
  EXPECT_EQ(st["RndTxt"], "Bonus #1");
  EXPECT_EQ(st["bonus"]["myTotBubs"], 10);
  EXPECT_EQ(st["bonus"]["bonusBubCt"], 2);  // released at frames 0, 100 and 200
  ASSERT_EQ(st["bubbles"].size(), 10u);     // no blue bubbles in a bonus round
  for (std::size_t i = 0; i < 10; ++i) {
    const json& b = st["bubbles"][i];
    EXPECT_EQ(b["mDy"], 0.0);
    if (i <= 2) {
      EXPECT_GT(b["xPos"].get<double>(), -32.0) << i;
    } else {
      EXPECT_EQ(b["xPos"], -32.0) << i;
    }
  }

  Result second = Run(R"({"seed": 8, "round": 12, "difficulty": 2, "ticks": 900, "clicks": [[1, "runBtn"]], "mouse": [[0, 0]]})");
  ASSERT_EQ(second.status, 0) << second.err;
  std::size_t most = 0, dead = 0;
  for (const json& l : second.lines) {
    const json& rain = l["state"]["rain"];
    ASSERT_EQ(rain.size(), l["state"]["rainCt"].get<std::size_t>());
    most = std::max(most, rain.size());
    std::size_t deadNow = 0;
    for (std::size_t i = 0; i < rain.size(); ++i) {
      if (i > 0) {
        EXPECT_GT(rain[i]["id"], rain[i - 1]["id"]);
      }
      if (rain[i]["dead"].get<bool>()) {
        ++deadNow;
        EXPECT_GT(rain[i]["Y"].get<int>(), 500);
      }
    }
    dead = std::max(dead, deadNow);
  }
  EXPECT_GE(most, 3u);
  EXPECT_GE(dead, 1u);
}

TEST_F(ReplayTool, SnapshotIsAPNGOfTheWindowsSize) {
  std::string shot = (dir / "f60.png").string();
  Result r = Run(R"({"seed": 2, "round": 12, "ticks": 61, "clicks": [[1, "runBtn"]], "snapshots": [[60, ")" + shot + R"("]]})");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string png = Slurp(shot);
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(16), 640u);
  EXPECT_EQ(be32(20), 520u);

  Result bad = Run(R"({"ticks": 3, "snapshots": [[1, ")" + (dir / "none" / "x.png").string() + R"("]]})");
  EXPECT_NE(bad.status, 0);
  EXPECT_NE(bad.err.find("snapshot"), std::string::npos);
}

TEST_F(ReplayTool, ABigDataFileCostsNothingWhileTheGameDoesNotWriteIt) {
  auto timed = [&](std::size_t size) {
    std::string bytes(1, '\0');  // an empty name, then empty rows: the rest is never read
    bytes.resize(size, '\0');
    std::filesystem::path file = dir / ("data" + std::to_string(size));
    std::ofstream(file, std::ios::binary) << bytes;
    Result r = Run(R"({"seed": 3, "round": 1, "ticks": 300, "clicks": [[1, "runBtn"]], "dataFile": ")" + file.string() +
                   R"("})");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines.size(), 300u);
    return r.cpuSeconds;
  };
  double small = timed(64);
  double big = timed(16 << 20);
  EXPECT_LT(big, small + 1.0) << "16 MiB: " << big << " s, 64 bytes: " << small << " s";
}

TEST_F(ReplayTool, LeavesThePlayersPreferencesAlone) {
  std::filesystem::path prefs = dir / "prefs";
  std::filesystem::create_directories(prefs);
  Result r = Run(R"({"seed": 9, "round": 1, "ballCt": 0, "ticks": 1500, "clicks": [[1, "runBtn"]]})",
                 {"XDG_CONFIG_HOME=" + prefs.string(), "HOME=" + prefs.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.lines.back()["state"]["gameOver"].get<bool>() || !r.lines.back()["state"]["gameRunning"].get<bool>());
  EXPECT_TRUE(std::filesystem::is_empty(prefs));
}

}  // namespace
