// Runs the built replay tool on a scenario text, as a developer runs it, and reads its trace.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/TempDir.h"

extern char** environ;

using nlohmann::json;


struct Result {
  int status = -1;
  std::string out, err;
  std::vector<json> lines;
  double cpuSeconds = 0;  // the run's own, user and system
};

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReplayTool : public testing::Test {
 protected:
  TempDir dir{"replay-tool"};

  // Runs the tool on the scenario text (or on the given path), with extraEnv added.
  Result Run(const std::string& scenario, std::vector<std::string> extraEnv = {}, std::optional<std::string> path = {}) {
    std::filesystem::path file = dir / ("scenario" + std::to_string(runs_++) + ".json");
    std::ofstream(file) << scenario;
    std::string arg = path.value_or(file.string());
    std::string outFile = (dir / "out.txt").string(), errFile = (dir / "err.txt").string();

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (char** e = environ; *e; ++e) extraEnv.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : extraEnv) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = ZEMBO_REPLAY_EXE;
    char* argv[] = {exe.data(), arg.data(), nullptr};
    pid_t pid = -1;
    Result r;
    if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv, envp.data()) == 0) {
      int st = 0;
      struct rusage use {};
      ::wait4(pid, &st, 0, &use);
      r.cpuSeconds = static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                     static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
      r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }
    posix_spawn_file_actions_destroy(&fa);
    r.out = Slurp(outFile);
    r.err = Slurp(errFile);
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(json::parse(line));
    return r;
  }

  static const json* Line(const Result& r, std::int64_t f) {
    for (const json& l : r.lines)
      if (l["f"] == f) return &l;
    return nullptr;
  }

 private:
  int runs_ = 0;
};
