// Envs for tests: one that forwards every call to the POSIX Env, so a test
// overrides only the calls it wants to fix or fail, and a guard that
// installs an Env for one scope.
#ifndef PPS2BDE_RUNTIME_OS_TEST_ENV_H_
#define PPS2BDE_RUNTIME_OS_TEST_ENV_H_

#include <vector>

#include "runtime/os/env.h"

class ForwardingEnv : public Env {
 public:
  int OpenExclusive(const char* path, int* fd) override {
    return Env_Posix()->OpenExclusive(path, fd);
  }
  int SeekEnd(int fd, int64_t* size) override { return Env_Posix()->SeekEnd(fd, size); }
  int Write(int fd, const void* data, size_t n, size_t* written) override {
    return Env_Posix()->Write(fd, data, n, written);
  }
  int Truncate(int fd, int64_t size) override { return Env_Posix()->Truncate(fd, size); }
  int Close(int fd) override { return Env_Posix()->Close(fd); }
  int Rename(const char* from, const char* to) override {
    return Env_Posix()->Rename(from, to);
  }
  int Remove(const char* path) override { return Env_Posix()->Remove(path); }
  int OpenRead(const char* path, int* fd) override { return Env_Posix()->OpenRead(path, fd); }
  int Read(int fd, char* buf, size_t cap, size_t* len) override {
    return Env_Posix()->Read(fd, buf, cap, len);
  }
  int ReadAt(int fd, int64_t offset, char* buf, size_t cap, size_t* len) override {
    return Env_Posix()->ReadAt(fd, offset, buf, cap, len);
  }
  int CheckNamed(const char* path, int fd) override {
    return Env_Posix()->CheckNamed(path, fd);
  }
  void SleepMs(int ms) override { Env_Posix()->SleepMs(ms); }
  time_t Now() override { return Env_Posix()->Now(); }
};

// A fixed clock; sleeps are recorded and, when realSleep, really taken.
class ClockEnv : public ForwardingEnv {
 public:
  time_t now = 0;
  bool realSleep = true;
  std::vector<int> sleeps;

  time_t Now() override { return now; }
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    if (realSleep) ForwardingEnv::SleepMs(ms);
  }
};

class ScopedEnv {
 public:
  explicit ScopedEnv(Env* env) : previous_(Env_Set(env)) {}
  ~ScopedEnv() { Env_Set(previous_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  Env* previous_;
};

#endif  // PPS2BDE_RUNTIME_OS_TEST_ENV_H_
