// Runs of the job for the reliability tests, each bounded in time: a run
// that hangs (waiting for a lock that is never freed, say) is killed and
// fails the test instead of stopping the suite.
#ifndef PPS2BDE_TESTS_E2E_JOBS_H_
#define PPS2BDE_TESTS_E2E_JOBS_H_

#include <string>
#include <vector>

#include "tests/support/install.h"

namespace e2e {

// Longest time one run may take, in seconds.
constexpr double kRunLimit = 60;

// Runs pps2bde in the installation's working folder; its exit code.
inline int Job(testing_support::Installation& inst, const std::vector<std::string>& env = {}) {
  return testing_support::RunProcessFor(kRunLimit, {testing_support::BuiltProgram("pps2bde")},
                                        inst.run(), env, inst.output());
}

// Runs the crash-point build with its switches ("PPS2BDE_...=N"); its exit
// code, 99 when it crashed.
inline int Crashpoint(testing_support::Installation& inst,
                      const std::vector<std::string>& switches) {
  return testing_support::RunProcessFor(
      kRunLimit, {testing_support::BuiltProgram("pps2bde-crashpoint")}, inst.run(), switches,
      inst.output());
}

}  // namespace e2e

#endif  // PPS2BDE_TESTS_E2E_JOBS_H_
