#!/usr/bin/env bash
# A private PostgreSQL server for the records tests, in a folder of its own:
#   postgres-test-server.sh start <dir>    a new cluster, started
#   postgres-test-server.sh stop <dir>     stopped and removed
#   postgres-test-server.sh halt <dir>     stopped, data kept (a server "away")
#   postgres-test-server.sh resume <dir>   started again on the same port
# It listens on a unix socket (trust, for the tests' own set-up) and on
# 127.0.0.1 at a free port, where the role kelvry_test logs in with a
# password (SCRAM), so that password files and masking are tried for real.
# <dir>/server.env tells the tests where it is (key=value lines).
# initdb refuses root: as root the server runs as the postgres user. Its
# cluster and socket live in a folder of their own under the temporary
# folder, which that user can reach wherever <dir> is (a checkout in a
# private folder) and whose path stays short enough for a socket.
set -euo pipefail

command=${1:?start, stop, halt or resume}
dir=${2:?the server folder}

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[[ -x $bin/initdb ]] || { echo "no PostgreSQL server (initdb) installed" >&2; exit 1; }

as_owner() {
  if [[ $(id -u) -eq 0 ]]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

port_is_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The cluster's folder, as the last start wrote it down.
home_of() { if [[ -f $dir/server.env ]]; then sed -n 's/^socket=//p' "$dir/server.env"; fi; }

start_server() {
  local home=$1 port=$2
  as_owner "$bin/pg_ctl" -D "$home/data" -l "$home/server.log" -w -t 60 \
    -o "-k $home -p $port -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
}

stop_server() {
  local home
  home=$(home_of)
  [[ -n $home && -f $home/data/postmaster.pid ]] || return 0
  as_owner "$bin/pg_ctl" -D "$home/data" -m fast -w -t 60 stop >/dev/null || true
}

case $command in
  start)
    stop_server 2>/dev/null || true
    old=$(home_of)
    if [[ -n $old ]]; then rm -rf "$old"; fi
    rm -rf "$dir"
    mkdir -p "$dir"
    home=$(mktemp -d "${TMPDIR:-/tmp}/kelvry-pg.XXXXXX")
    chmod 755 "$home"
    if [[ $(id -u) -eq 0 ]]; then chown postgres: "$home"; fi
    password="kelvry-test-$RANDOM$RANDOM"
    as_owner "$bin/initdb" -D "$home/data" -U postgres --auth-local=trust --auth-host=scram-sha-256 \
      --no-sync -E UTF8 --locale=C >/dev/null
    port=
    for _ in $(seq 1 50); do
      candidate=$((20000 + RANDOM % 40000))
      if port_is_free "$candidate" && start_server "$home" "$candidate"; then
        port=$candidate
        break
      fi
    done
    [[ -n $port ]] || { echo "no free port for the test server" >&2; exit 1; }
    as_owner "$bin/psql" -q -h "$home" -p "$port" -U postgres -d postgres \
      -c "CREATE ROLE kelvry_test LOGIN CREATEDB PASSWORD '$password'" >/dev/null
    {
      echo "socket=$home"
      echo "port=$port"
      echo "user=kelvry_test"
      echo "password=$password"
    } >"$dir/server.env"
    chmod 644 "$dir/server.env"
    ;;
  stop)
    stop_server
    home=$(home_of)
    if [[ -n $home ]]; then rm -rf "$home"; fi
    rm -rf "$dir"
    ;;
  halt)
    stop_server
    ;;
  resume)
    port=$(sed -n 's/^port=//p' "$dir/server.env")
    start_server "$(home_of)" "$port"
    ;;
  *)
    echo "usage: $0 start|stop|halt|resume <dir>" >&2
    exit 2
    ;;
esac
