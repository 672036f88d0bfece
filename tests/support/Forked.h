// Runs a check in a forked child that is killed after a time limit, so that a
// call that blocks or never ends fails its test instead of hanging the run.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>

// The child's exit code (body's result), or 128 + the signal that ended it
// (SIGALRM at the limit). Standard error goes to stderrPath when one is given.
inline int RunForked(const std::function<int()>& body, unsigned limitSeconds, const std::string& stderrPath = {}) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::alarm(limitSeconds);
    if (!stderrPath.empty()) {
      const int fd = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) ::dup2(fd, STDERR_FILENO);
    }
    const int result = body();
    std::fflush(nullptr);
    ::_exit(result);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
