#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for one CTest run.
#
#   pg_cluster.sh start DIR SCHEMA   initdb in DIR/data, a server on the Unix
#                                    socket DIR/.s.PGSQL.55432 only, the
#                                    database pps2bde_template loaded with
#                                    SCHEMA, pps2bde_functions with its
#                                    part before the first table (tests copy
#                                    them per test)
#   pg_cluster.sh restart DIR        stops the server at once (as a crash or
#                                    an operator would) and starts it again
#   pg_cluster.sh stop DIR           stops the server and removes DIR
#
# The cluster's superuser is pps2bde with the password pps2bde-test
# (password authentication, so that a wrong password is refused).  Run as
# root, the server runs as the user postgres (initdb refuses root).  When no
# server binaries are installed, start writes DIR/missing and succeeds, so
# that the tests report themselves skipped; under CI (CI=true) it fails.
set -euo pipefail
cmd=$1
dir=$2
port=55432
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)

as_server() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  if [ -n "$bindir" ] && [ -f "$dir/data/postmaster.pid" ]; then
    as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case $cmd in
  start)
    stop
    mkdir -p "$dir"
    if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
      echo "PostgreSQL server binaries not installed" > "$dir/missing"
      echo "pg_cluster: no PostgreSQL server binaries; PostgreSQL tests are skipped"
      [ "${CI:-}" = true ] && exit 1
      exit 0
    fi
    [ "$(id -u)" = 0 ] && chown postgres "$dir"
    echo pps2bde-test > "$dir/pw"
    [ "$(id -u)" = 0 ] && chown postgres "$dir/pw"
    as_server "$bindir/initdb" -D "$dir/data" -U pps2bde --pwfile="$dir/pw" \
      --auth=scram-sha-256 -E UTF8 --no-locale >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log"; exit 1; }
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-k $dir -p $port -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
      start >/dev/null || { cat "$dir/server.log"; exit 1; }
    export PGPASSWORD=pps2bde-test
    psql=("$bindir/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -p $port -U pps2bde)
    "${psql[@]}" -d postgres -c "CREATE DATABASE pps2bde_template" \
      -c "CREATE DATABASE pps2bde_functions"
    "${psql[@]}" -d pps2bde_template --single-transaction -f "$3"
    # The functions come before the first table.
    sed '/^CREATE TABLE/,$d' "$3" | "${psql[@]}" -d pps2bde_functions --single-transaction -f -
    echo "pg_cluster: server on $dir port $port"
    ;;
  restart)
    as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m immediate -w -t 60 \
      restart >/dev/null || { cat "$dir/server.log"; exit 1; }
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start DIR SCHEMA | restart DIR | stop DIR" >&2
    exit 2
    ;;
esac
