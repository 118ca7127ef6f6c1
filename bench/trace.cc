#include "bench/trace.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int Trace_Run(const std::string& job, const std::string& cwd, const std::string& logPath,
              TraceCounts* out) {
  std::string calls = "trace=openat";
  for (const char* c : kTraceCalls) calls += std::string(",") + c;
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    execlp("strace", "strace", "-f", "-qq", "-o", logPath.c_str(), "-e", calls.c_str(),
           job.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
    std::fprintf(stderr, "pps2bde-bench: strace did not run (Debian: strace)\n");
    return -1;
  }
  FILE* f = std::fopen(logPath.c_str(), "r");
  if (f == nullptr) {
    std::fprintf(stderr, "pps2bde-bench: no strace log %s\n", logPath.c_str());
    return -1;
  }
  // Lines are "pid  name(arguments) = result".
  long long* counts = out->transfer;
  char line[4096];
  while (std::fgets(line, sizeof line, f) != nullptr) {
    const char* name = std::strchr(line, ' ');
    if (name == nullptr) continue;
    while (*name == ' ') ++name;
    if (counts == out->transfer && std::strncmp(name, "openat(", 7) == 0 &&
        std::strstr(name, "SndDnl") != nullptr) {
      counts = out->release;
      continue;
    }
    for (int i = 0; i < kTraceCallCount; ++i) {
      const size_t n = std::strlen(kTraceCalls[i]);
      if (std::strncmp(name, kTraceCalls[i], n) == 0 && name[n] == '(') ++counts[i];
    }
  }
  std::fclose(f);
  return WEXITSTATUS(status);
}
