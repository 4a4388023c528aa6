#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: a private cluster in FOLDER, listening on
# 127.0.0.1 and a socket inside FOLDER, with fsync off (its data is thrown away).
#   pg-test-server.sh start FOLDER [PORT]   prints the URL of its empty database chequeprint
#   pg-test-server.sh stop FOLDER
#   pg-test-server.sh pause|resume FOLDER   stops it (fast: sessions are cut) and starts it
#                                           again with its data, as in a server restart
# initdb refuses to run as root, so as root the cluster belongs to the postgres user.
set -euo pipefail
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bin" ] || { echo "no PostgreSQL server installed" >&2; exit 1; }
folder=$(realpath -m "${2:?folder}")
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$1" in
  start)
    port=${3:-}
    if [ -z "$port" ]; then  # the first port from 54329 on that nothing listens on
      for port in $(seq 54329 54429); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
      done
    fi
    mkdir -p "$folder"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$folder"
    as_owner "$bin/initdb" -D "$folder/data" -U postgres --auth=trust --encoding=UTF8 \
      --locale=C.UTF-8 >"$folder/initdb.log" 2>&1
    echo "-k $folder -h 127.0.0.1 -p $port -c fsync=off -c full_page_writes=off" >"$folder/options"
    as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
      -o "$(cat "$folder/options")" start >/dev/null
    as_owner "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres -T template0 \
      --lc-collate=C.UTF-8 --lc-ctype=C.UTF-8 chequeprint
    echo "postgresql://postgres@127.0.0.1:$port/chequeprint"
    ;;
  pause)
    as_owner "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null
    ;;
  resume)
    as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
      -o "$(cat "$folder/options")" start >/dev/null
    ;;
  stop)
    as_owner "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null
    rm -rf "$folder"
    ;;
  *) echo "usage: $0 start|stop|pause|resume FOLDER [PORT]" >&2; exit 2 ;;
esac
