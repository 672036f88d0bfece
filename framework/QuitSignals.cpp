// SIGTERM, SIGINT and SIGHUP as quit requests, delivered on the event loop.
#include "internal/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "Application.h"

namespace fw {
namespace {

int gSignalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the loop reads the byte and quits. The socket
// does not block: when a flood of signals fills it, a request is pending already
// and the byte is dropped rather than stopping the thread the signal came to.
void OnSignal(int) {
  const int saved = errno;
  char c = 1;
  [[maybe_unused]] auto n = ::write(gSignalPipe[1], &c, 1);
  errno = saved;
}

}  // namespace

void InstallQuitSignals() {
  if (gSignalPipe[0] >= 0) return;
  // Close-on-exec: a browser started from the game must not hold the game's channel.
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalPipe) != 0) return;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  // The handlers stay for the rest of the process: a request during the quit
  // only waits for the quit's write to finish.
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    // A hang-up that the game was started to ignore (nohup) stays ignored.
    struct sigaction before {};
    if (sig == SIGHUP && sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(sig, &sa, nullptr);
  }
}

bool QuitRequested() {
  if (gSignalPipe[0] < 0) return false;
  pollfd p{gSignalPipe[0], POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

void DeliverQuitSignals() {
  if (gSignalPipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    // Every request so far is one: the quit is raised once.
    char buf[64];
    while (::read(gSignalPipe[0], buf, sizeof buf) > 0) {
    }
    if (Application* app = CurrentApp()) app->Quit();
    else QCoreApplication::exit(0);
  });
}

}  // namespace fw
