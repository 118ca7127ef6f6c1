#!/usr/bin/env bash
# The benchmark, tiny, on one engine: passes when its run was complete (and
# on PostgreSQL when the replay of the job's requests ended as the job did).
#
#   bench_smoke.sh BENCH sqlite|postgres
#
# Without PostgreSQL server binaries the postgres run is skipped (exit 77,
# CTest's SKIP_RETURN_CODE); under CI (CI=true) it fails instead, as the
# other PostgreSQL tests do.
set -euo pipefail
bench=$1
engine=$2
if [ "$engine" = postgres ] && ! ls -d /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1; then
  echo "bench_smoke: no PostgreSQL server binaries"
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi
extra=()
[ "$engine" = postgres ] && extra=(--replay)
exec "$bench" --engine "$engine" --orders 20 --ops 2 --no-floor "${extra[@]}"
