#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers, coverage instrumentation) and runs each one for a bounded time
# on its committed seed corpus.  A crash, a sanitizer report or a failed
# invariant stops the script with a non-zero exit; the input that did it is
# left in <build dir>/artifacts/.
#
#   fuzz/run.sh [build dir]          default: build-fuzz in the source tree
#   FUZZ_SECONDS=300 fuzz/run.sh     longer runs (default 30 s per target)
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$src/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
jobs=$(nproc 2>/dev/null || echo 2)
cxx="${FUZZ_CXX:-clang++-14}"

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" \
  -DPPS2BDE_FUZZ=ON -DPPS2BDE_TESTS=OFF >/dev/null
targets=()
for f in "$src"/fuzz/*_fuzz.cc; do
  targets+=("$(basename "$f" .cc)")
done
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for t in "${targets[@]}"; do
  # New inputs go to a scratch corpus, so the committed seeds stay as they are.
  work="$build/corpus/$t"
  mkdir -p "$work"
  echo "fuzz: $t for ${seconds}s"
  "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 \
    "$work" "$src/fuzz/corpus/$t" 2>"$build/$t.log" || {
      tail -n 60 "$build/$t.log"
      echo "fuzz: $t FAILED (input in $build/artifacts/)"
      exit 1
    }
  grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$t.log" | tail -n 2 || true
done
echo "fuzz: ${#targets[@]} targets passed"
