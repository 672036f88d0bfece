// The real executable on an X display of its own, ended as a session ends: a
// hangup, quit signals one after another, the display going away, and a quit
// signal while the platform is still starting. The player's data survives each.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "tests/e2e/XTools.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using namespace e2e;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The Accept button's centre in the Current Player window's content, and that content's height (pixels).
constexpr int kAcceptX = 160, kAcceptY = 100, kAskHeight = 135;
const std::string kName = "Kim";




// A Unix socket of the abstract namespace (name without the leading zero byte).
sockaddr_un Abstract(const std::string& name, socklen_t& length) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::memcpy(a.sun_path + 1, name.data(), name.size());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return a;
}

class SessionEnd : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool"})
      if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (make deps installs it)";
    config_ = dir_.path() / "config";
    fs::create_directories(config_);
  }

  // The game first, then the display, which ends as asked so that it clears its lock and socket.
  void TearDown() override {
    game_.reset();
    if (x_ && x_->WaitExit(1ms) == std::nullopt) {
      ::kill(x_->Pid(), SIGTERM);
      x_->WaitExit(5s);
    }
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
    return e2e::RunOn(":" + std::to_string(xDisplay_), (dir_.path() / "no-auth").string(), kCommandSeconds, command);
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

// The game is held inside the platform's start (its connection to the display
// waits for an answer that this test relays only later) when the signal comes.
TEST_F(SessionEnd, AQuitSignalWhileThePlatformStartsEndsTheStartUp) {
  StartX();
  ASSERT_FALSE(HasFatalFailure());
  // A display number of the test's own, where X clients look first.
  int held = -1, listener = -1;
  for (int n = 7100; n < 7300 && listener < 0; ++n) {
    socklen_t length = 0;
    sockaddr_un a = Abstract("/tmp/.X11-unix/X" + std::to_string(n), length);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), length) == 0 && ::listen(fd, 8) == 0) {
      held = n, listener = fd;
    } else {
      ::close(fd);
    }
  }
  ASSERT_GE(listener, 0);
  game_ = StartGame(held);
  ASSERT_GT(game_->Pid(), 0);
  pollfd p{listener, POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 20000), 1) << "the game never connected";
  std::map<int, int> partner;  // each end of the relay to the other
  auto relay = [&] {
    int down = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    int up = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "/tmp/.X11-unix/X%d", xDisplay_);
    if (down < 0 || ::connect(up, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return false;
    partner[down] = up, partner[up] = down;
    return true;
  };
  // The game waits for the display's answer now: well inside its start.
  ::kill(game_->Pid(), SIGTERM);
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(relay());

  std::optional<int> status;
  for (auto end = std::chrono::steady_clock::now() + kStep; !status && std::chrono::steady_clock::now() < end;) {
    std::vector<pollfd> fds{{listener, POLLIN, 0}};
    for (auto [fd, other] : partner) fds.push_back({fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), 20) > 0) {
      if (fds[0].revents & POLLIN) relay();
      for (std::size_t i = 1; i < fds.size(); ++i) {
        if (!fds[i].revents || !partner.contains(fds[i].fd)) continue;
        char buf[65536];
        ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
        int other = partner[fds[i].fd];
        if (n <= 0 || ::send(other, buf, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
          ::close(fds[i].fd), ::close(other);
          partner.erase(fds[i].fd), partner.erase(other);
        }
      }
    }
    status = game_->WaitExit(1ms);
  }
  for (auto [fd, other] : partner) ::close(fd);
  ::close(listener);

  EXPECT_EQ(status, 0) << game_->Output();
  game_->WaitFor("(never written)", 100ms);  // the rest of its output, up to its end
  EXPECT_EQ(game_->Output().find("shown:"), std::string::npos) << game_->Output();
}

}  // namespace
