#!/usr/bin/env bash
# Builds the job, lays out a demo installation in ./demo and runs it.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)
# The tests stay as the folder was configured (off in a new one): turning
# them off here would leave the test build stale.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target pps2bde pps2bde-admin
rm -rf demo
build/pps2bde-admin demo demo
