// SIGTERM and SIGINT as quit requests, delivered on the event loop.
#include "internal/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "Application.h"

namespace fw {
namespace {

int gSignalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the loop reads the byte and quits.
void OnSignal(int) {
  char c = 1;
  [[maybe_unused]] auto n = ::write(gSignalPipe[1], &c, 1);
}

}  // namespace

void InstallQuitSignals() {
  // Close-on-exec: a browser started from the game must not hold the game's channel.
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char c;
    [[maybe_unused]] auto n = ::read(gSignalPipe[0], &c, 1);
    if (Application* app = CurrentApp()) app->Quit();
    else QCoreApplication::exit(0);
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

}  // namespace fw
