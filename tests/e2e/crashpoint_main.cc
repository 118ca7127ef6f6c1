// pps2bde-crashpoint: the job with a crash built in, for tests only.
//
// With PPS2BDE_CRASH_AFTER_COMMITS=N in the environment the process ends
// abruptly (no final commit, no clean-up) right after its N-th successful
// commit, as a power cut or a kill would end it there.
#include <unistd.h>

#include <cstdlib>

#include "driver/run.h"
#include "sql/engine.h"

namespace {

class CrashAfterCommits : public sql::ForwardingEngine {
 public:
  explicit CrashAfterCommits(long n) : left_(n) {}
  int Commit() override {
    int rc = sql::ForwardingEngine::Commit();
    if (rc == 0 && --left_ == 0) _exit(99);
    return rc;
  }

 private:
  long left_;
};

}  // namespace

int main(int argc, char** argv) {
  const char* n = std::getenv("PPS2BDE_CRASH_AFTER_COMMITS");
  static CrashAfterCommits engine(n ? std::atol(n) : 0);
  if (n != nullptr && std::atol(n) > 0) sql::SetEngineForTest(&engine);
  return Pps2bde_Main(argc, argv);
}
