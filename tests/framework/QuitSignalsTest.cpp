// The quit signals: their channel stays inside the game (a browser it starts does not
// inherit it), and a hang-up the game was told to ignore stays ignored.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "framework/internal/QuitSignals.h"
#include "tests/support/Forked.h"

namespace {

std::set<int> SocketFds() {
  std::set<int> fds;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    auto target = std::filesystem::read_symlink(e.path(), ec).string();
    if (!ec && target.starts_with("socket:")) fds.insert(std::stoi(e.path().filename().string()));
  }
  return fds;
}

TEST(QuitSignals, TheirSocketsCloseOnExec) {
  // In a child, so that the signals stay this test process's own.
  int result = RunForked(
      [] {
        std::set<int> before = SocketFds();
        fw::InstallQuitSignals();
        int made = 0, leaking = 0;
        for (int fd : SocketFds())
          if (!before.contains(fd)) ++made, leaking += !(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
        return made == 2 ? leaking : 10;
      },
      10);
  EXPECT_EQ(result, 0) << "sockets left open across exec, or 10: not the two made";
}

TEST(QuitSignals, AHangUpTheGameWasStartedToIgnoreStaysIgnored) {
  int result = RunForked(
      [] {
        std::signal(SIGHUP, SIG_IGN);  // as nohup starts it
        fw::InstallQuitSignals();
        struct sigaction hup {}, term {};
        sigaction(SIGHUP, nullptr, &hup);
        sigaction(SIGTERM, nullptr, &term);
        return (hup.sa_handler == SIG_IGN ? 0 : 1) + (term.sa_handler != SIG_DFL ? 0 : 2);
      },
      10);
  EXPECT_EQ(result, 0) << "1: the hang-up is no longer ignored; 2: SIGTERM is not taken";
}

}  // namespace
