// first_window_bench RUNS PROGRAM...: process start to the program's first window
// mapped on the X display, trials taking turns between the programs so that each
// sees the same machine. Prints one line per program. Without a display it runs
// itself under xvfb-run. Each program gets a fresh HOME and XDG_CONFIG_HOME.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kTimeout = 20s;   // a program with no window by then has failed
constexpr auto kSettle = 300ms;  // between trials, for the last one's exit to finish
constexpr const char* kUnderXvfb = "ZEMBO_FIRST_WINDOW_UNDER_XVFB";

struct Program {
  std::string name;  // as given
  std::string path;
  std::filesystem::path home;
  std::vector<double> ms;
};

// Waits for the first top-level window to be mapped; false on timeout.
bool WaitForMap(xcb_connection_t* c, Clock::time_point deadline, Clock::time_point& mappedAt) {
  pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
  while (Clock::now() < deadline) {
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
      bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                    !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect;
      std::free(e);
      if (mapped) {
        mappedAt = Clock::now();
        return true;
      }
    }
    if (xcb_connection_has_error(c)) return false;
    ::poll(&fd, 1, 1);
  }
  return false;
}

void Stop(pid_t pid) {
  ::kill(pid, SIGTERM);
  for (auto end = Clock::now() + 3s; Clock::now() < end; std::this_thread::sleep_for(10ms))
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

bool Trial(xcb_connection_t* c, Program& p) {
  std::vector<std::string> env = {"HOME=" + p.home.string(), "XDG_CONFIG_HOME=" + p.home.string()};
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "HOME=", 5) != 0 && std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  char* argv[] = {p.path.data(), nullptr};

  while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);  // the last trial's
  pid_t pid = -1;
  Clock::time_point start = Clock::now(), mappedAt;
  posix_spawn_file_actions_t quiet;  // the programs' chatter would drown the figures
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  int spawned = ::posix_spawn(&pid, argv[0], &quiet, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return false;
  bool ok = WaitForMap(c, start + kTimeout, mappedAt);
  Stop(pid);
  if (ok) p.ms.push_back(std::chrono::duration<double, std::milli>(mappedAt - start).count());
  return ok;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

int RerunUnderXvfb(char** argv) {
  ::setenv(kUnderXvfb, "1", 1);
  std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                             const_cast<char*>("-screen 0 1280x1024x24")};
  for (char** a = argv; *a; ++a) args.push_back(*a);
  args.push_back(nullptr);
  ::execvp(args[0], args.data());
  std::fprintf(stderr, "first_window_bench: no display, and xvfb-run could not be started\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 2 ? std::atoi(argv[1]) : 0;
  if (runs < 1) {
    std::fprintf(stderr, "usage: first_window_bench RUNS PROGRAM...\n");
    return 2;
  }
  if (!std::getenv("DISPLAY") && !std::getenv(kUnderXvfb)) return RerunUnderXvfb(argv);

  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return std::fprintf(stderr, "first_window_bench: no X display\n"), 1;
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));

  auto scratch = std::filesystem::temp_directory_path() / ("first-window-" + std::to_string(::getpid()));
  std::vector<Program> programs;
  for (int i = 2; i < argc; ++i) {
    programs.push_back({argv[i], std::filesystem::absolute(argv[i]).string(), scratch / std::to_string(i), {}});
    std::filesystem::create_directories(programs.back().home);
  }
  for (int r = 0; r < runs; ++r) {
    for (Program& p : programs) {
      if (!Trial(c, p)) std::fprintf(stderr, "first_window_bench: no window from %s\n", p.path.c_str());
      std::this_thread::sleep_for(kSettle);
    }
  }
  for (const Program& p : programs) {
    auto [lo, hi] = std::minmax_element(p.ms.begin(), p.ms.end());
    std::printf("%s: runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f\n", p.name.c_str(), p.ms.size(), Median(p.ms),
                p.ms.empty() ? 0 : *lo, p.ms.empty() ? 0 : *hi);
  }
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
  xcb_disconnect(c);
  return 0;
}
