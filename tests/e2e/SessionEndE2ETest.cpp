// The real executable on an X display of its own, ended as a session ends: a
// hangup, quit signals one after another, and the display going away. The
// player's data survives each.
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
#include <string>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kExe = std::string(ZEMBO_APP_DIR) + "/bin/zembo";
constexpr auto kStep = 20s;          // the longest any one wait may take
constexpr int kCommandSeconds = 10;  // each X tool run is cut off after this
// The Accept button's centre in the Current Player window's content, and that content's height (pixels).
constexpr int kAcceptX = 160, kAcceptY = 100, kAskHeight = 135;
const std::string kName = "Kim";

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ValueOf(const std::string& text, const std::string& name) {
  auto at = text.find(name + "=");
  if (at == std::string::npos) return {};
  at += name.size() + 1;
  return text.substr(at, text.find_first_of(" \n", at) - at);
}

class SessionEnd : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (make deps installs it)";
    config_ = dir_.path() / "config";
    fs::create_directories(config_);
  }

  // A virtual display of its own; Xvfb picks a free number and tells it.
  void StartX() {
    fs::path script = dir_.path() / "x.sh";
    std::ofstream(script) << "#!/bin/sh\nexec Xvfb -displayfd 3 -nolisten tcp -ac -screen 0 1024x768x24 "
                             "3>&1 >/dev/null 2>&1\n";
    fs::permissions(script, fs::perms::owner_all);
    x_ = std::make_unique<ChildProcess>(script.string(), std::vector<std::string>{});
    ASSERT_GT(x_->Pid(), 0);
    ASSERT_TRUE(x_->WaitFor("\n", kStep)) << "Xvfb did not start";
    xDisplay_ = std::stoi(x_->Output());
  }

  std::unique_ptr<ChildProcess> StartGame(int display) {
    return std::make_unique<ChildProcess>(
        kExe, std::vector<std::string>{"DISPLAY=:" + std::to_string(display), "QT_QPA_PLATFORM=xcb",
                                       "XAUTHORITY=" + (dir_.path() / "no-auth").string(),
                                       "XDG_CONFIG_HOME=" + config_.string(), "ZEMBO_SILENT_AUDIO=1",
                                       "ZEMBO_TRACE=1"});
  }

  std::optional<std::string> X(const std::string& command) {
    std::string line = "DISPLAY=:" + std::to_string(xDisplay_) + " XAUTHORITY=" + (dir_.path() / "no-auth").string() +
                       " timeout " + std::to_string(kCommandSeconds) + " " + command + " 2>/dev/null";
    FILE* p = ::popen(line.c_str(), "r");
    if (!p) return std::nullopt;
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    if (::pclose(p) != 0) return std::nullopt;
    return out;
  }

  // The geometry of the game's window with this title, once it is mapped.
  std::optional<std::string> Mapped(const std::string& title) {
    for (auto end = std::chrono::steady_clock::now() + kStep; std::chrono::steady_clock::now() < end;) {
      auto found = X("xdotool search --onlyvisible --name '^" + title + "$' getwindowgeometry --shell");
      if (found && found->find("X=") != std::string::npos) return found;
      std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
  }

  // The game on its display with the player's name typed and accepted, the
  // instructions put away: the data is changed and not yet written.
  void StartWithNameAccepted() {
    StartX();
    ASSERT_FALSE(HasFatalFailure());
    game_ = StartGame(xDisplay_);
    ASSERT_GT(game_->Pid(), 0);
    ASSERT_TRUE(game_->WaitFor("shown: Current Player", kStep)) << game_->Output();
    auto ask = Mapped("Current Player");
    ASSERT_TRUE(ask) << game_->Output();
    int x = std::stoi(ValueOf(*ask, "X")) + kAcceptX;
    int y = std::stoi(ValueOf(*ask, "Y")) + std::stoi(ValueOf(*ask, "HEIGHT")) - kAskHeight + kAcceptY;
    ASSERT_TRUE(X("xdotool search --onlyvisible --name '^Current Player$' windowfocus --sync type --delay 50 " + kName));
    ASSERT_TRUE(X("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1"));
    ASSERT_TRUE(game_->WaitFor("shown: Instructions", kStep)) << game_->Output();
    // Return puts them away once they have the keyboard, which may take a few tries.
    bool away = false;
    for (auto end = std::chrono::steady_clock::now() + kStep; !away && std::chrono::steady_clock::now() < end;) {
      if (Mapped("Instructions")) X("xdotool search --onlyvisible --name '^Instructions$' windowfocus --sync key Return");
      std::this_thread::sleep_for(300ms);
      away = X("xdotool search --onlyvisible --name '^Instructions$'").value_or("").empty();
    }
    ASSERT_TRUE(away) << "the instructions stayed";
  }

  void ExpectNameWrittenWhole() {
    std::string data = Slurp(config_ / "ZemboData");
    EXPECT_EQ(data.substr(0, 1 + kName.size()), std::string(1, static_cast<char>(kName.size())) + kName);
    EXPECT_NE(data.find("De. Zedod,2500,"), std::string::npos) << "the last row";
    for (const auto& e : fs::directory_iterator(config_))
      EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << "left behind: " << e.path();
  }

  TempDir dir_{"e2e-session"};
  fs::path config_;
  std::unique_ptr<ChildProcess> x_;
  int xDisplay_ = -1;
  std::unique_ptr<ChildProcess> game_;
};

TEST_F(SessionEnd, HangupWritesTheAcceptedName) {
  StartWithNameAccepted();
  ASSERT_FALSE(HasFatalFailure());
  ::kill(game_->Pid(), SIGHUP);
  EXPECT_EQ(game_->WaitExit(kStep), 0) << game_->Output();
  ExpectNameWrittenWhole();
}

TEST_F(SessionEnd, QuitSignalsThatKeepComingLetTheQuitFinishItsWrite) {
  StartWithNameAccepted();
  ASSERT_FALSE(HasFatalFailure());
  // As a session manager stops a session, then far more than the signal channel holds.
  ::kill(game_->Pid(), SIGTERM);
  ::kill(game_->Pid(), SIGHUP);
  for (int i = 0; i < 3000; ++i) ::kill(game_->Pid(), i % 3 == 0 ? SIGHUP : i % 3 == 1 ? SIGINT : SIGTERM);
  EXPECT_EQ(game_->WaitExit(kStep), 0) << game_->Output();
  ExpectNameWrittenWhole();
}

TEST_F(SessionEnd, LosingTheDisplayWritesTheDataAndExitsWithoutACrash) {
  StartWithNameAccepted();
  ASSERT_FALSE(HasFatalFailure());
  ::kill(x_->Pid(), SIGTERM);
  std::optional<int> status = game_->WaitExit(kStep);
  ASSERT_TRUE(status) << game_->Output();
  EXPECT_NE(*status, 0);
  EXPECT_LT(*status, 128) << "ended by signal " << *status - 128 << "\n" << game_->Output();
  ExpectNameWrittenWhole();
}

}  // namespace
