// Start-up, headless: process start to the splash on screen, to the play window,
// and the peak resident memory after the hand-over. Run: build/bench/startup_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long PeakResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  auto config = std::filesystem::temp_directory_path() / "zembo-bench-config";
  std::filesystem::create_directories(config);
  std::vector<double> toSplash, toPlay, peakMiB;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    ChildProcess game(std::string(ZEMBO_APP_DIR) + "/bin/zembo",
                      {"XDG_CONFIG_HOME=" + config.string(), "QT_QPA_PLATFORM=offscreen", "ZEMBO_TRACE=1"});
    if (!game.WaitFor("shown: Untitled", 20s)) return std::fprintf(stderr, "no splash\n"), 1;
    toSplash.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (!game.WaitFor("shown: Vivuz ide Zevezer", 20s)) return std::fprintf(stderr, "no play window\n"), 1;
    toPlay.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    peakMiB.push_back(static_cast<double>(PeakResidentKiB(game.Pid())) / 1024.0);
    ::kill(game.Pid(), SIGTERM);
    game.WaitExit(10s);
  }
  std::printf("runs: %d\n", runs);
  std::printf("process start to splash shown:      %7.1f ms (median)\n", Median(toSplash));
  std::printf("process start to play window shown: %7.1f ms (median)\n", Median(toPlay));
  std::printf("peak resident memory after hand-over: %5.1f MiB (median)\n", Median(peakMiB));
  return 0;
}
