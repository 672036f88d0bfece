// The real executable on a virtual X display: the player's name accepted with a
// click, a round started, the field seen moving and then still under a pause, and
// a clean quit that leaves the data file written.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kExe = std::string(ZEMBO_APP_DIR) + "/bin/zembo";
constexpr auto kStep = 20s;         // the longest any one wait may take
constexpr int kCommandSeconds = 10;  // each X tool run is cut off after this
// The play field within the play window's content (pixels): x, y, width, height.
constexpr int kFieldX = 0, kFieldY = 4, kFieldW = 500, kFieldH = 500;
// The run button's centre and the Accept button's centre, in their windows' content.
constexpr int kRunX = 570, kRunY = 23;
constexpr int kAcceptX = 160, kAcceptY = 100;
constexpr int kAskHeight = 135, kPlayHeight = 520;  // the windows' content heights (pixels)

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The value after "name=" up to the next space or line end in text.
std::string ValueOf(const std::string& text, const std::string& name) {
  auto at = text.find(name + "=");
  if (at == std::string::npos) return {};
  at += name.size() + 1;
  return text.substr(at, text.find_first_of(" \n", at) - at);
}

class PlayOnX : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xauth", "xdotool", "import"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (make deps installs it)";
  }

  // Runs an X tool on the game's display; its standard output, or none when it failed.
  std::optional<std::string> X(const std::string& command) {
    std::string line = "DISPLAY=" + display_ + " XAUTHORITY=" + auth_ + " timeout " + std::to_string(kCommandSeconds) +
                       " " + command + " 2>/dev/null";
    FILE* p = ::popen(line.c_str(), "r");
    if (!p) return std::nullopt;
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    if (::pclose(p) != 0) return std::nullopt;
    return out;
  }

  // The top-left corner on screen of the content of the window with this title, once
  // it is mapped: below whatever the frame puts above a content this high (a menu bar).
  std::optional<std::pair<int, int>> WindowAt(const std::string& title, int contentHeight) {
    auto end = std::chrono::steady_clock::now() + kStep;
    while (std::chrono::steady_clock::now() < end) {
      auto found = X("xdotool search --onlyvisible --name '^" + title + "$' getwindowgeometry --shell");
      if (found && found->find("X=") != std::string::npos)
        return std::pair(std::stoi(ValueOf(*found, "X")),
                         std::stoi(ValueOf(*found, "Y")) + std::stoi(ValueOf(*found, "HEIGHT")) - contentHeight);
      std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
  }

  bool Click(int x, int y) {
    return X("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1").has_value();
  }

  // The play field's pixels as the screen shows them (binary PPM: no dates in it).
  std::string FieldPixels(std::pair<int, int> window) {
    fs::path shot = dir_.path() / "field.ppm";
    fs::remove(shot);
    std::string crop = std::to_string(kFieldW) + "x" + std::to_string(kFieldH) + "+" +
                       std::to_string(window.first + kFieldX) + "+" + std::to_string(window.second + kFieldY);
    if (!X("import -window root -crop " + crop + " +repage ppm:" + shot.string())) return {};
    return Slurp(shot);
  }

  TempDir dir_{"e2e-play"};
  std::string display_, auth_;
};

TEST_F(PlayOnX, AcceptStartPauseAndQuit) {
  fs::path config = dir_.path() / "config";
  fs::create_directories(config);
  // The game under a virtual display of its own; the script tells where it is and the game's process id.
  fs::path script = dir_.path() / "play.sh";
  // The settings are made in the script: a shell keeps the last of two entries of one name.
  std::ofstream(script) << "#!/bin/sh\n"
                        << "export XDG_CONFIG_HOME='" << config.string() << "' QT_QPA_PLATFORM=xcb\n"
                        << "exec xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' sh -c "
                        << "'echo \"e2e display=$DISPLAY auth=$XAUTHORITY pid=$$ \"; exec \"$0\"' '" << kExe << "'\n";
  fs::permissions(script, fs::perms::owner_all);
  ChildProcess run(script.string(), {"ZEMBO_SILENT_AUDIO=1", "ZEMBO_TRACE=1"});
  ASSERT_GT(run.Pid(), 0);
  ASSERT_TRUE(run.WaitFor("auth=", kStep)) << run.Output();
  ASSERT_TRUE(run.WaitFor("pid=", kStep)) << run.Output();
  display_ = ValueOf(run.Output(), "display");
  auth_ = ValueOf(run.Output(), "auth");
  pid_t game = std::stoi(ValueOf(run.Output(), "pid"));
  // Whatever fails below, the game goes, and xvfb-run takes its display down after it.
  std::optional<int> status;
  struct Stop {
    pid_t pid;
    ChildProcess& run;
    std::optional<int>& status;
    ~Stop() {
      if (status) return;
      ::kill(pid, SIGKILL);
      run.WaitExit(10s);
    }
  } stop{game, run, status};

  ASSERT_TRUE(run.WaitFor("shown: Current Player", kStep)) << run.Output();
  auto ask = WindowAt("Current Player", kAskHeight);
  ASSERT_TRUE(ask) << run.Output();
  ASSERT_TRUE(Click(ask->first + kAcceptX, ask->second + kAcceptY));
  // A first run is a new player's: the instructions come, and Return puts them away.
  if (run.WaitFor("shown: Instructions", 3s)) {
    ASSERT_TRUE(WindowAt("Instructions", 0));
    ASSERT_TRUE(X("xdotool search --onlyvisible --name '^Instructions$' windowfocus --sync key Return"));
  }

  auto play = WindowAt("Vivuz ide Zevezer", kPlayHeight);
  ASSERT_TRUE(play) << run.Output();
  std::string still = FieldPixels(*play);
  ASSERT_FALSE(still.empty()) << "no screenshot";
  std::this_thread::sleep_for(700ms);
  EXPECT_TRUE(FieldPixels(*play) == still) << "before the run button nothing moves";
  ASSERT_TRUE(Click(play->first + kRunX, play->second + kRunY));
  std::this_thread::sleep_for(1500ms);
  std::string a = FieldPixels(*play);
  std::this_thread::sleep_for(700ms);
  std::string b = FieldPixels(*play);
  ASSERT_FALSE(a.empty());
  ASSERT_EQ(a.size(), b.size());
  EXPECT_TRUE(a != b) << "the field moves once the round runs";

  // Held over several frames, since the game reads the key's state once a frame.
  ASSERT_TRUE(X("xdotool search --onlyvisible --name '^Vivuz ide Zevezer$' windowfocus --sync keydown p sleep 0.3 keyup p"));
  std::this_thread::sleep_for(500ms);
  std::string paused1 = FieldPixels(*play);
  std::this_thread::sleep_for(700ms);
  std::string paused2 = FieldPixels(*play);
  EXPECT_TRUE(!paused1.empty() && paused1 == paused2) << "nothing moves while paused";

  ::kill(game, SIGTERM);
  status = run.WaitExit(kStep);
  EXPECT_EQ(status, 0) << run.Output();
  std::string data = Slurp(config / "ZemboData");
  ASSERT_GE(data.size(), 5u);
  EXPECT_EQ(data.substr(0, 5), std::string("\x04"
                                           "Anon"))
      << "the name accepted as it stood";
  EXPECT_NE(data.find("Marlo,25000,"), std::string::npos);
  EXPECT_EQ(run.Output().find("unhandled"), std::string::npos) << run.Output();
}

}  // namespace
