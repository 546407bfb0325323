#!/usr/bin/env bash
# Private PostgreSQL and MariaDB servers for the tests and benchmarks.
#
#   testdb.sh start DIR   start both servers on free ports of 127.0.0.1, with their data,
#                         sockets and logs in DIR; write DIR/env.sh
#   testdb.sh stop DIR    stop them again (safe to repeat, and after a failed start)
#
# DIR/env.sh exports ODBCSYSINI and ODBCINI (a private driver list in DIR/odbc),
# MARLIX_TEST_PG and MARLIX_TEST_MYSQL (ODBC connection strings) and MARLIX_TESTDB_DIR.
# Each server has a database "marlix" and a user "marlix" that logs in over TCP with a
# password. Runs as root: PostgreSQL runs as the "postgres" user, MariaDB as root.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

DB_NAME=marlix
DB_USER=marlix
DB_PASSWORD=marlix_test_pw
WAIT_SECONDS="${MARLIX_TESTDB_WAIT:-60}"
PORT_TRIES=5

usage() {
    echo "usage: $0 start|stop DIR" >&2
    exit 2
}

# The PostgreSQL 15 server programs, or the newest installed version's.
pg_bin_dir() {
    if [[ -x /usr/lib/postgresql/15/bin/pg_ctl ]]; then
        echo /usr/lib/postgresql/15/bin
        return 0
    fi
    local newest
    newest="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
    [[ -n "$newest" && -x "$newest/pg_ctl" ]] || die "PostgreSQL server programs not found (run scripts/setup.sh)"
    echo "$newest"
}

# True when nothing listens on 127.0.0.1:PORT.
port_free() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# A port that nobody listens on, below the kernel's range for outgoing connections.
pick_port() {
    local port i
    for ((i = 0; i < 100; i++)); do
        port=$((20000 + RANDOM % 12000))
        if port_free "$port"; then
            echo "$port"
            return 0
        fi
    done
    die "no free port found"
}

# True when PID is a live process whose command line mentions TEXT.
process_matches() {
    local pid="$1" text="$2"
    [[ "$pid" =~ ^[0-9]+$ ]] || return 1
    [[ -r /proc/$pid/cmdline ]] || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "$text"
}

show_log() {
    local log="$1"
    if [[ -f "$log" ]]; then
        echo "---- last lines of $log ----" >&2
        tail -n 25 "$log" >&2
        echo "----" >&2
    fi
}

# ---------------------------------------------------------------- PostgreSQL

start_postgresql() {
    local bin pg="$DIR/pg" port try
    bin="$(pg_bin_dir)" || exit 1
    mkdir -p "$pg"
    chown postgres: "$pg"
    chmod 700 "$pg"
    if ! runuser -u postgres -- test -w "$pg"; then
        die "the postgres user cannot write $pg: use a folder under /tmp"
    fi

    echo "testdb: initialising PostgreSQL in $pg/data"
    if ! (cd "$pg" && runuser -u postgres -- "$bin/initdb" -D "$pg/data" -U postgres -E UTF8 --no-locale \
        --auth-local=trust --auth-host=scram-sha-256 --no-sync) >"$pg/initdb.log" 2>&1; then
        show_log "$pg/initdb.log"
        die "initdb failed"
    fi
    cat >>"$pg/data/postgresql.conf" <<CONF

# Private test server
listen_addresses = '127.0.0.1'
unix_socket_directories = '$pg'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 50
CONF

    for ((try = 1; try <= PORT_TRIES; try++)); do
        port="$(pick_port)" || exit 1
        echo "testdb: starting PostgreSQL on 127.0.0.1:$port"
        if (cd "$pg" && runuser -u postgres -- "$bin/pg_ctl" -D "$pg/data" -l "$pg/server.log" \
            -o "-p $port" -w -t "$WAIT_SECONDS" start) >"$pg/pg_ctl.log" 2>&1; then
            PG_PORT="$port"
            break
        fi
        if grep -qE 'could not bind|already in use' "$pg/server.log" 2>/dev/null; then
            echo "testdb: port $port was taken, trying another"
            (cd "$pg" && runuser -u postgres -- "$bin/pg_ctl" -D "$pg/data" stop -m immediate -w -t 10) >/dev/null 2>&1
            continue
        fi
        show_log "$pg/pg_ctl.log"
        show_log "$pg/server.log"
        die "PostgreSQL did not start within ${WAIT_SECONDS}s"
    done
    [[ -n "${PG_PORT:-}" ]] || die "PostgreSQL found no free port in $PORT_TRIES tries"

    if ! "$bin/pg_isready" -q -h 127.0.0.1 -p "$PG_PORT" -t "$WAIT_SECONDS"; then
        show_log "$pg/server.log"
        die "PostgreSQL does not accept TCP connections on 127.0.0.1:$PG_PORT"
    fi
    if ! (cd "$pg" && runuser -u postgres -- "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$pg" -p "$PG_PORT" \
        -U postgres -d postgres \
        -c "CREATE ROLE $DB_USER LOGIN SUPERUSER PASSWORD '$DB_PASSWORD'" \
        -c "CREATE DATABASE $DB_NAME OWNER $DB_USER") >"$pg/setup.log" 2>&1; then
        show_log "$pg/setup.log"
        die "could not create the PostgreSQL database and user"
    fi
    echo "testdb: PostgreSQL is ready on 127.0.0.1:$PG_PORT"
}

stop_postgresql() {
    local pg="$DIR/pg" pidfile="$DIR/pg/data/postmaster.pid" pid bin i
    [[ -f "$pidfile" ]] || return 0
    pid="$(head -n 1 "$pidfile" 2>/dev/null)"
    process_matches "$pid" "$pg/data" || return 0
    echo "testdb: stopping PostgreSQL (pid $pid)"
    bin="$(pg_bin_dir)" || return 1
    if (cd "$pg" && runuser -u postgres -- "$bin/pg_ctl" -D "$pg/data" stop -m fast -w -t 30) >/dev/null 2>&1; then
        return 0
    fi
    echo "testdb: PostgreSQL did not stop in 30s, killing pid $pid" >&2
    kill -KILL "$pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    echo "testdb: PostgreSQL pid $pid is still there" >&2
    return 1
}

# ---------------------------------------------------------------- MariaDB

mariadb_admin() {
    mariadb-admin --no-defaults --protocol=socket --socket="$DIR/mariadb/mariadbd.sock" -uroot \
        --connect-timeout=2 "$@"
}

start_mariadb() {
    local my="$DIR/mariadb" port try pid i ready
    mkdir -p "$my/data" "$my/tmp"
    echo "testdb: initialising MariaDB in $my/data"
    if ! mariadb-install-db --no-defaults --user=root --datadir="$my/data" --skip-test-db \
        --skip-name-resolve >"$my/install.log" 2>&1 </dev/null; then
        show_log "$my/install.log"
        die "mariadb-install-db failed"
    fi

    for ((try = 1; try <= PORT_TRIES; try++)); do
        port="$(pick_port)" || exit 1
        echo "testdb: starting MariaDB on 127.0.0.1:$port"
        : >"$my/server.log"
        # Its own session, so that Ctrl-C in the caller's terminal leaves it to "stop".
        setsid mariadbd --no-defaults --user=root --datadir="$my/data" --tmpdir="$my/tmp" \
            --port="$port" --bind-address=127.0.0.1 --socket="$my/mariadbd.sock" \
            --pid-file="$my/mariadbd.pid" --log-error="$my/server.log" --skip-name-resolve \
            --skip-log-bin --character-set-server=utf8mb4 --collation-server=utf8mb4_general_ci \
            --innodb-buffer-pool-size=64M --innodb-log-file-size=16M \
            --innodb-flush-log-at-trx-commit=0 --max-connections=50 \
            </dev/null >"$my/stdout.log" 2>&1 &
        pid=$!
        echo "$pid" >"$my/launch.pid"
        ready=0
        for ((i = 0; i < WAIT_SECONDS * 5; i++)); do
            if ! kill -0 "$pid" 2>/dev/null; then
                break
            fi
            if mariadb_admin ping >/dev/null 2>&1 && mariadb_admin status >/dev/null 2>&1; then
                ready=1
                break
            fi
            sleep 0.2
        done
        if [[ $ready -eq 1 ]]; then
            MY_PORT="$port"
            break
        fi
        if kill -0 "$pid" 2>/dev/null; then
            show_log "$my/server.log"
            die "MariaDB did not accept connections within ${WAIT_SECONDS}s"
        fi
        if grep -qE 'Address already in use|Bind on TCP/IP port' "$my/server.log"; then
            echo "testdb: port $port was taken, trying another"
            continue
        fi
        show_log "$my/stdout.log"
        show_log "$my/server.log"
        die "MariaDB stopped during start-up"
    done
    [[ -n "${MY_PORT:-}" ]] || die "MariaDB found no free port in $PORT_TRIES tries"

    if ! mariadb --no-defaults --protocol=socket --socket="$my/mariadbd.sock" -uroot >"$my/setup.log" 2>&1 <<SQL; then
CREATE DATABASE $DB_NAME CHARACTER SET utf8mb4;
CREATE USER '$DB_USER'@'%' IDENTIFIED BY '$DB_PASSWORD';
GRANT ALL PRIVILEGES ON *.* TO '$DB_USER'@'%' WITH GRANT OPTION;
CREATE USER '$DB_USER'@'localhost' IDENTIFIED BY '$DB_PASSWORD';
GRANT ALL PRIVILEGES ON *.* TO '$DB_USER'@'localhost' WITH GRANT OPTION;
FLUSH PRIVILEGES;
SQL
        show_log "$my/setup.log"
        die "could not create the MariaDB database and user"
    fi
    echo "testdb: MariaDB is ready on 127.0.0.1:$MY_PORT"
}

stop_mariadb() {
    local my="$DIR/mariadb" pid pids=() i alive
    for f in "$my/mariadbd.pid" "$my/launch.pid"; do
        [[ -f "$f" ]] || continue
        pid="$(head -n 1 "$f" 2>/dev/null)"
        if process_matches "$pid" "$my/data"; then
            [[ " ${pids[*]} " == *" $pid "* ]] || pids+=("$pid")
        fi
    done
    [[ ${#pids[@]} -gt 0 ]] || return 0
    echo "testdb: stopping MariaDB (pid ${pids[*]})"
    kill -TERM "${pids[@]}" 2>/dev/null
    for ((i = 0; i < 300; i++)); do
        alive=0
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null && alive=1
        done
        [[ $alive -eq 1 ]] || return 0
        sleep 0.1
    done
    echo "testdb: MariaDB did not stop in 30s, killing pid ${pids[*]}" >&2
    kill -KILL "${pids[@]}" 2>/dev/null
    sleep 0.5
    return 0
}

# ---------------------------------------------------------------- ODBC and env.sh

# Connects through unixODBC's isql with a connection string and runs one query.
check_odbc() {
    local label="$1" connection="$2" out
    out="$(printf 'SELECT 1 + 1\n' | ODBCSYSINI="$DIR/odbc" ODBCINI="$DIR/odbc/odbc.ini" \
        timeout "$WAIT_SECONDS" isql -v -k -b "$connection" 2>&1)"
    if [[ $? -ne 0 ]] || ! grep -qw 2 <<<"$out"; then
        echo "$out" >&2
        die "$label: could not connect and query through ODBC with: $connection"
    fi
    echo "testdb: $label answers through ODBC"
}

write_env() {
    local pg="Driver=PostgreSQL ANSI;Server=127.0.0.1;Port=$PG_PORT;Database=$DB_NAME;Uid=$DB_USER;Pwd=$DB_PASSWORD;"
    local my="Driver=MySQL ODBC 3.51 Driver;Server=127.0.0.1;Port=$MY_PORT;Database=$DB_NAME;Uid=$DB_USER;Pwd=$DB_PASSWORD;"
    local my_native="Driver=MariaDB;Server=127.0.0.1;Port=$MY_PORT;Database=$DB_NAME;Uid=$DB_USER;Pwd=$DB_PASSWORD;"

    write_odbc_config "$DIR/odbc"
    if [[ -f "$HOME/.odbcinst.ini" ]]; then
        echo "testdb: warning: unixODBC also reads $HOME/.odbcinst.ini; its entries may shadow DIR/odbc" >&2
    fi
    check_odbc "PostgreSQL (PostgreSQL ANSI)" "$pg"
    check_odbc "MariaDB (MySQL ODBC 3.51 Driver)" "$my"
    check_odbc "MariaDB (MariaDB)" "$my_native"

    {
        echo "# Written by scripts/testdb.sh; source it to reach the private test servers."
        printf 'export MARLIX_TESTDB_DIR=%q\n' "$DIR"
        printf 'export ODBCSYSINI=%q\n' "$DIR/odbc"
        printf 'export ODBCINI=%q\n' "$DIR/odbc/odbc.ini"
        printf 'export MARLIX_TEST_PG=%q\n' "$pg"
        printf 'export MARLIX_TEST_MYSQL=%q\n' "$my"
    } >"$DIR/env.sh.new"
    mv "$DIR/env.sh.new" "$DIR/env.sh"
}

# ---------------------------------------------------------------- main

[[ $# -eq 2 ]] || usage
command="$1"
DIR="$2"
[[ "$DIR" != *[[:space:]]* ]] || die "DIR must not contain blanks: $DIR"

case "$command" in
start)
    [[ $(id -u) -eq 0 ]] || die "run as root"
    mkdir -p "$DIR" || die "cannot create $DIR"
    DIR="$(cd "$DIR" && pwd)"
    # Unix socket paths are limited to 107 bytes.
    [[ ${#DIR} -le 60 ]] || die "DIR is too long for the servers' sockets, use a short folder under /tmp: $DIR"
    if [[ -e "$DIR/pg" || -e "$DIR/mariadb" ]]; then
        die "$DIR already holds test servers: stop them and use a new folder"
    fi
    chmod 755 "$DIR"
    runuser -u postgres -- test -x "$DIR" || die "the postgres user cannot enter $DIR: use a folder under /tmp"
    # A failed start leaves nothing running.
    trap 'status=$?; if [[ $status -ne 0 ]]; then echo "testdb: start failed, stopping what was started" >&2; stop_postgresql; stop_mariadb; fi' EXIT
    start_postgresql
    start_mariadb
    write_env
    echo "testdb: started; source $DIR/env.sh"
    ;;
stop)
    if [[ ! -d "$DIR" ]]; then
        echo "testdb: $DIR does not exist, nothing to stop"
        exit 0
    fi
    DIR="$(cd "$DIR" && pwd)"
    rm -f "$DIR/env.sh"
    status=0
    stop_postgresql || status=1
    stop_mariadb || status=1
    echo "testdb: stopped"
    exit $status
    ;;
*)
    usage
    ;;
esac
