#!/usr/bin/env bash
# A throw-away PostgreSQL server for one test run: a fresh cluster in a
# temporary folder, reachable only through a Unix socket in that folder (no
# TCP port at all), removed again by "stop".
# Usage: scripts/pg-test-server.sh start DIR   prints the environment to export
#        scripts/pg-test-server.sh stop DIR
set -euo pipefail

bindir=""
for v in 17 16 15; do
    if [ -x "/usr/lib/postgresql/$v/bin/initdb" ]; then
        bindir="/usr/lib/postgresql/$v/bin"
        break
    fi
done
if [ -z "$bindir" ]; then
    echo "pg-test-server: no PostgreSQL server installed" >&2
    exit 3
fi

cmd="${1:-}"
dir="${2:-}"
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

# The server refuses to run as root; the cluster then belongs to the
# package's system user (or nobody), the test process as root reaches the
# socket anyway.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    id "$owner" >/dev/null 2>&1 || owner=nobody
    as_owner=(runuser -u "$owner" --)
fi

case "$cmd" in
start)
    mkdir -p "$dir"
    [ ${#as_owner[@]} -eq 0 ] || chown "${as_owner[2]}" "$dir"
    chmod 700 "$dir"
    "${as_owner[@]}" "$bindir/initdb" -D "$dir/data" -U kelvara_test --auth=trust \
        --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    # One role signs in with a password, so the tests can see a wrong or
    # missing one refused; everyone else is trusted on the socket.
    "${as_owner[@]}" sh -c "printf 'local all kx_test_password scram-sha-256\nlocal all all trust\n' >'$dir/data/pg_hba.conf'"
    # Sockets only; fsync off because the cluster dies with the run.
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off \
            -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    chmod 755 "$dir"
    echo "export KX_TEST_PGHOST='$dir' KX_TEST_PGPORT=5432 KX_TEST_PGUSER=kelvara_test"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
