// The real executable on a virtual X display: the player's name accepted with a
// click, a round started, the field seen moving and then still under a pause, and
// a clean quit that leaves the data file written. Then under a real window manager:
// the windows' frames, the actions they offer and their stacking over the play window.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/e2e/XTools.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using namespace e2e;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The play field within the play window's content (pixels): x, y, width, height.
constexpr int kFieldX = 0, kFieldY = 4, kFieldW = 500, kFieldH = 500;
// The run button's centre and the Accept button's centre, in their windows' content.
constexpr int kRunX = 570, kRunY = 23;
constexpr int kAcceptX = 160, kAcceptY = 100;
constexpr int kAskHeight = 135, kPlayHeight = 520;  // the windows' content heights (pixels)
// The "Information" title in the play window's menu bar, from the frame's top-left (pixels).
constexpr int kInfoMenuX = 117, kInfoMenuY = 9;
// The functions' bits in _MOTIF_WM_HINTS.
constexpr int kMwmAll = 0x1, kMwmMinimise = 0x8, kMwmMaximise = 0x10, kMwmClose = 0x20;




class PlayOnX : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xauth", "xdotool", "import"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (make deps installs it)";
  }

  // Runs an X tool on the game's display; its standard output, or none when it failed.
  std::optional<std::string> X(const std::string& command) {
    return e2e::RunOn(display_, auth_, kCommandSeconds, command);
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

  // Starts the game on a virtual display of its own, under openbox when asked; the
  // game goes at the test's end, whatever failed, and the display after it.
  void Launch(bool windowManager) {
    config_ = dir_.path() / "config";
    fs::create_directories(config_);
    // The script tells where the game is and its process id; the settings are made in
    // it, since a shell keeps the last of two entries of one name.
    std::string wm = windowManager ? "openbox >/dev/null 2>&1 & "
                                     "until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; do sleep 0.1; done; "
                                   : "";
    fs::path script = dir_.path() / "play.sh";
    std::ofstream(script) << "#!/bin/sh\n"
                          << "export XDG_CONFIG_HOME='" << config_.string() << "' QT_QPA_PLATFORM=xcb\n"
                          << "exec xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' sh -c "
                          << "'" << wm << "echo \"e2e display=$DISPLAY auth=$XAUTHORITY pid=$$ \"; exec \"$0\"' '"
                          << kExe << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    std::vector<std::string> env = {"ZEMBO_SILENT_AUDIO=1", "ZEMBO_TRACE=1"};
    run_ = std::make_unique<ChildProcess>(script.string(), env);
    ASSERT_GT(run_->Pid(), 0);
    ASSERT_TRUE(run_->WaitFor("auth=", kStep)) << run_->Output();
    ASSERT_TRUE(run_->WaitFor("pid=", kStep)) << run_->Output();
    display_ = ValueOf(run_->Output(), "display");
    auth_ = ValueOf(run_->Output(), "auth");
    game_ = std::stoi(ValueOf(run_->Output(), "pid"));
  }

  void TearDown() override {
    if (!run_ || status_) return;
    if (game_ > 0) ::kill(game_, SIGKILL);
    run_->WaitExit(10s);
  }

  // Ends the game as the system would and returns its exit status.
  std::optional<int> Quit() {
    ::kill(game_, SIGTERM);
    status_ = run_->WaitExit(kStep);
    return status_;
  }

  TempDir dir_{"e2e-play"};
  fs::path config_;
  std::string display_, auth_;
  std::unique_ptr<ChildProcess> run_;
  pid_t game_ = -1;
  std::optional<int> status_;
};

// Under a window manager, which places frames around the windows.
class FramesOnX : public PlayOnX {
 protected:
  void SetUp() override {
    PlayOnX::SetUp();
    if (IsSkipped()) return;
    for (const char* tool : {"openbox", "xprop", "xwininfo"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (make deps installs it)";
  }

  struct Client {
    std::string id;  // hexadecimal, as the root window's lists give it
    int x = 0, y = 0, width = 0, height = 0;  // the game's own window, without the frame
  };

  // The game's window with this title, once mapped.
  std::optional<Client> Find(const std::string& title) {
    auto end = std::chrono::steady_clock::now() + kStep;
    while (std::chrono::steady_clock::now() < end) {
      auto found = X("xdotool search --onlyvisible --name '^" + title + "$'");
      if (found && !found->empty()) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(*found));
        if (auto c = Geometry(hex)) return c;
      }
      std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
  }

  std::optional<Client> Geometry(const std::string& id) {
    auto info = X("xwininfo -id " + id);
    if (!info) return std::nullopt;
    auto field = [&](const std::string& name) {
      auto at = info->find(name + ":");
      return at == std::string::npos ? -1 : std::stoi(info->substr(at + name.size() + 1));
    };
    return Client{id, field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
  }

  std::string Property(const Client& c, const std::string& name) {
    return X("xprop -id " + c.id + " " + name).value_or("");
  }

  // The window manager is asked to make the window 900 x 700: a fixed-size window keeps
  // its size, and the window manager offers no maximising either.
  void ExpectFixed(const Client& c, const std::string& what) {
    ASSERT_TRUE(X("xdotool windowsize " + c.id + " 900 700"));
    std::this_thread::sleep_for(400ms);
    auto now = Geometry(c.id);
    ASSERT_TRUE(now);
    EXPECT_EQ(std::pair(now->width, now->height), std::pair(c.width, c.height)) << what << " took a new size";
    EXPECT_EQ(Property(c, "_NET_WM_ALLOWED_ACTIONS").find("MAXIMIZE"), std::string::npos) << what;
  }

  // The boxes the window asks the window manager for: "close", "minimise", "maximise".
  // (Openbox offers its close action to every window whatever it asks, so what the
  // window asks for is read instead of what openbox offers.)
  std::string Boxes(const Client& c) {
    std::string hints = Property(c, "_MOTIF_WM_HINTS");  // "... = flags, functions, decorations, ..."
    auto eq = hints.find("= "), comma = hints.find(", ");
    int functions = kMwmAll;  // no hints: everything
    if (eq != std::string::npos && comma != std::string::npos && (std::stoi(hints.substr(eq + 2), nullptr, 16) & 1))
      functions = std::stoi(hints.substr(comma + 2), nullptr, 16);
    auto has = [&](int bit) { return (functions & (bit | kMwmAll)) != 0; };
    std::string boxes;
    for (auto [bit, name] : {std::pair(kMwmClose, "close"), {kMwmMinimise, "minimise"}, {kMwmMaximise, "maximise"}})
      if (has(bit)) boxes += (boxes.empty() ? "" : " ") + std::string(name);
    return boxes;
  }

  // Whether the window is stacked above the play window.
  bool Above(const Client& c, const Client& play) {
    std::string stacking = X("xprop -root _NET_CLIENT_LIST_STACKING").value_or("");  // bottom to top
    auto at = stacking.find(c.id + ","), under = stacking.find(play.id + ",");
    if (at == std::string::npos) at = stacking.find(c.id + "\n");
    return at != std::string::npos && under != std::string::npos && under < at;
  }

  // Chooses an item of the Information menu with the keys, after a click on its title.
  bool ChooseInformation(const Client& play, const std::string& keys) {
    // Not Click: a pointer already where it is sent never reports the move.
    return X("xdotool mousemove " + std::to_string(play.x + kInfoMenuX) + " " + std::to_string(play.y + kInfoMenuY) +
             " sleep 0.2 click 1 sleep 0.5 key --delay 100 " + keys)
        .has_value();
  }
};

TEST_F(PlayOnX, AcceptStartPauseAndQuit) {
  Launch(false);
  ASSERT_FALSE(HasFatalFailure());
  ChildProcess& run = *run_;
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

  EXPECT_EQ(Quit(), 0) << run.Output();
  std::string data = Slurp(config_ / "ZemboData");
  ASSERT_GE(data.size(), 5u);
  EXPECT_EQ(data.substr(0, 5), std::string("\x04"
                                           "Anon"))
      << "the name accepted as it stood";
  EXPECT_NE(data.find("Marlo,25000,"), std::string::npos);
  EXPECT_EQ(run.Output().find("unhandled"), std::string::npos) << run.Output();
}

TEST_F(FramesOnX, FixedFramesOfferedActionsAndStackingOverThePlayWindow) {
  Launch(true);
  ASSERT_FALSE(HasFatalFailure());
  ChildProcess& run = *run_;

  // The player's name: a modal window of the play window, fixed, without a close box.
  ASSERT_TRUE(run.WaitFor("shown: Current Player", kStep)) << run.Output();
  auto ask = Find("Current Player");
  ASSERT_TRUE(ask) << run.Output();
  EXPECT_NE(Property(*ask, "WM_TRANSIENT_FOR").find("window id"), std::string::npos);
  EXPECT_EQ(Boxes(*ask), "minimise");
  ExpectFixed(*ask, "Current Player");
  ASSERT_TRUE(Click(ask->x + kAcceptX, ask->y + kAcceptY));
  if (run.WaitFor("shown: Instructions", 3s)) {
    ASSERT_TRUE(Find("Instructions"));
    ASSERT_TRUE(X("xdotool search --onlyvisible --name '^Instructions$' windowfocus --sync key Return"));
  }

  // The play window: neither resized nor maximised, not by a double click on its title either.
  auto play = Find("Vivuz ide Zevezer");
  ASSERT_TRUE(play) << run.Output();
  EXPECT_EQ(play->width, 640);
  EXPECT_EQ(Boxes(*play), "close minimise");
  ExpectFixed(*play, "the play window");
  ASSERT_TRUE(X("xdotool mousemove --sync " + std::to_string(play->x + 100) + " " + std::to_string(play->y - 8) +
                " click --repeat 2 --delay 80 1"));
  std::this_thread::sleep_for(400ms);
  auto after = Geometry(play->id);
  ASSERT_TRUE(after);
  EXPECT_EQ(std::pair(after->width, after->height), std::pair(play->width, play->height)) << "maximised";

  // Check Version opens 230 high (the last item but one).
  ASSERT_TRUE(ChooseInformation(*play, "Up Up Return"));
  ASSERT_TRUE(run.WaitFor("shown: Check Version", kStep)) << run.Output();
  auto check = Find("Check Version");
  ASSERT_TRUE(check);
  EXPECT_EQ(check->height, 230);
  EXPECT_EQ(Boxes(*check), "close minimise maximise");
  ExpectFixed(*check, "Check Version");
  ASSERT_TRUE(X("xdotool windowactivate --sync " + check->id + " key alt+F4"));  // its close box

  // The hall of fame stays above the play window, which a click on the field makes active.
  ASSERT_TRUE(ChooseInformation(*play, "Down Return"));  // "Show High Scores"
  ASSERT_TRUE(run.WaitFor("shown: Hall of Fame", kStep)) << run.Output();
  auto fame = Find("Hall of Fame");
  ASSERT_TRUE(fame);
  EXPECT_EQ(Boxes(*fame), "minimise");
  ExpectFixed(*fame, "Hall of Fame");
  ASSERT_TRUE(Click(play->x + 20, play->y + play->height - 20));
  std::this_thread::sleep_for(400ms);
  EXPECT_NE(X("xprop -root _NET_ACTIVE_WINDOW").value_or("").find(play->id), std::string::npos)
      << "the hall of fame does not block the play window";
  EXPECT_TRUE(Above(*fame, *play));
  ASSERT_TRUE(X("xdotool windowactivate --sync " + fame->id + " key Return"));

  // A round lost with the paddle kept in a corner: its status window stays above a click on the field.
  int contentTop = play->y + play->height - kPlayHeight;
  ASSERT_TRUE(Click(play->x + kRunX, contentTop + kRunY));
  ASSERT_TRUE(X("xdotool mousemove " + std::to_string(play->x + 2) + " " + std::to_string(contentTop + 480)));
  ASSERT_TRUE(run.WaitFor("shown: Current Status", 90s)) << run.Output();
  auto status = Find("Current Status");
  ASSERT_TRUE(status);
  EXPECT_EQ(Boxes(*status), "minimise");
  ExpectFixed(*status, "Current Status");
  ASSERT_TRUE(Click(play->x + 20, contentTop + 20));
  std::this_thread::sleep_for(400ms);
  EXPECT_TRUE(Above(*status, *play)) << "the status window went behind the play window";

  EXPECT_EQ(Quit(), 0) << run.Output();
  EXPECT_EQ(run.Output().find("unhandled"), std::string::npos) << run.Output();
}

}  // namespace
