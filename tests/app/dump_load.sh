#!/usr/bin/env bash
# Dumps a database with the server's own dump tool, loads the dump with marlix-cli into a new
# database and with the server's own client into another, and compares the two by dumping them.
# dump_load.sh postgresql|mariadb MARLIX_CLI WORK_FOLDER
set -euo pipefail
server=$1 cli=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
variable=MARLIX_TEST_PG; [ "$server" = mariadb ] && variable=MARLIX_TEST_MYSQL
odbc=${!variable:-}
if [ -z "$odbc" ]; then
    [ "${MARLIX_REQUIRE_SERVERS:-}" = 1 ] || [ -n "${CI:-}" ] && { echo "the $server test server is not running"; exit 1; }
    echo "skipped: the $server test server is not running"; exit 0
fi
attr() { tr ';' '\n' <<<"$odbc" | grep -i "^$1=" | cut -d= -f2-; }
host=$(attr Server) port=$(attr Port) user=$(attr Uid) pass=$(attr Pwd)
mkdir -p "$work"; cd "$work"
if [ "$server" = postgresql ]; then
    export PGPASSWORD=$pass PGHOST=$host PGPORT=$port PGUSER=$user
    sql() { psql -X -q -v ON_ERROR_STOP=1 -d "$@"; }
    dump() { pg_dump "$1" | grep -v '^\\\(un\)\?restrict'; }
    for db in ml_src ml_cli ml_own; do sql marlix -c "DROP DATABASE IF EXISTS $db" -c "CREATE DATABASE $db"; done
    sql ml_src -f "$here/dumps/pg_rich.sql"
    pg_dump ml_src > dump.sql
    sql ml_own -f dump.sql >/dev/null
    type=6
else
    export MYSQL_PWD=$pass
    sql() { mariadb -h "$host" -P "$port" -u "$user" "$@"; }
    dump() { mariadb-dump -h "$host" -P "$port" -u "$user" --skip-dump-date --routines --triggers "$1" | grep -v '^-- '; }
    # The dump sets its session (foreign key checks, SQL mode) in executable comments /*!NNNNN */.
    printf '/*!40101 SELECT 1 AS probe */;\n' > probe.sql
    if ! "$cli" --connect "$odbc" --type 3 probe.sql 2>/dev/null | grep -q probe; then
        echo "skipped: this marlix-cli does not run executable comments"; exit 77
    fi
    for db in ml_src ml_cli ml_own; do sql -e "DROP DATABASE IF EXISTS $db; CREATE DATABASE $db"; done
    sql ml_src < "$here/dumps/maria_rich.sql"
    dump ml_src > dump.sql
    sql ml_own < dump.sql
    type=3
fi
"$cli" --connect "${odbc/Database=marlix/Database=ml_cli}" --type $type --autocommit on --output - dump.sql >cli.out 2>cli.err ||
    { echo "marlix-cli failed:"; tail -20 cli.err; exit 1; }
# Against the original for PostgreSQL, against the client's load for MariaDB (whose dump does not
# restore everything as it was, e.g. AUTO_INCREMENT counters). The script's line ends are CR LF
# once loaded (function bodies keep them), which the comparison leaves aside.
if [ "$server" = postgresql ]; then dump ml_src; else dump ml_own; fi | tr -d '\r' > own.dump
dump ml_cli | tr -d '\r' > cli.dump
if ! diff own.dump cli.dump; then echo "the database loaded by marlix-cli differs (above)"; exit 1; fi
echo "$server: the dump loads the same through marlix-cli as through the server's own client"
