#!/usr/bin/env bash
# Builds the job and runs every test, then builds and runs the same tests
# with the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

# Tests ON explicitly: ./demo.sh configures the same build folder without
# them, and a cached OFF would leave ctest nothing to run.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPPS2BDE_TESTS=ON -DPPS2BDE_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs" --timeout 600

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPPS2BDE_SANITIZE=ON -DPPS2BDE_TESTS=ON -DPPS2BDE_WERROR=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j"$jobs" --timeout 900

# The benchmark must keep building (it is run by hand: README.md, "Performance").
cmake --build build --target pps2bde-bench -j"$jobs"
# The fuzz targets of the configuration reader, the cipher and the download
# formatting, built with clang and run for a bounded time each.
./fuzz/run.sh build-fuzz
