#!/bin/bash
# Exact scripts give back every value whichever client loads them. On one server the table of
# SERVER.sql (loaded by the server's own client) is converted by marlix-cli with exact literals:
# one row per INSERT streamed to a file, 500 rows per INSERT stored; each script is loaded into an
# empty copy by the server's own client (psql -f, mariadb <, sqlite3 <), by marlix-cli, and with
# its line ends turned into LF, and the server compares the copy with the original both ways.
# A script of standard literals of the same table must load without error.
# roundtrip.sh sqlite|postgresql|mariadb MARLIX_CLI WORK_FOLDER; status 77 when skipped.
set -u
server=$1 cli=$2 work=$3/$1 here=$(dirname "$0")
mkdir -p "$work" && rm -f "$work"/* && : >"$work/empty.ini"
field() { tr ';' '\n' <<<"$1" | sed -n "s/^$2=//Ip" | head -n1; }
except="EXCEPT ALL"
case $server in
sqlite)
    conn="Driver=SQLite3;Database=$work/db.sqlite" dialect=SQLITE except=EXCEPT
    own_sql() { sqlite3 -bail "$work/db.sqlite" "$1"; }
    own_load() { sqlite3 -bail "$work/db.sqlite" <"$1"; }
    copy_table() { own_sql "SELECT sql FROM sqlite_master WHERE name = 'rtt_src'" | sed 's/rtt_src/rtt_copy/' | own_load /dev/stdin; } ;;
postgresql)
    conn=${MARLIX_TEST_PG:-} dialect=POSTGRESQL
    export PGPASSWORD=$(field "$conn" Pwd) PGOPTIONS=--client-min-messages=warning
    pg=(-X -q -v ON_ERROR_STOP=1 -h "$(field "$conn" Server)" -p "$(field "$conn" Port)" -U "$(field "$conn" Uid)" -d "$(field "$conn" Database)")
    own_sql() { psql "${pg[@]}" -At -c "$1"; }
    own_load() { psql "${pg[@]}" -f "$1" >/dev/null; }
    copy_table() { own_sql "CREATE TABLE rtt_copy (LIKE rtt_src INCLUDING ALL)"; } ;;
mariadb)
    conn=${MARLIX_TEST_MYSQL:-} dialect=MYSQL
    my=(--no-defaults -h "$(field "$conn" Server)" -P "$(field "$conn" Port)" -u "$(field "$conn" Uid)" "--password=$(field "$conn" Pwd)" --default-character-set=utf8mb4 "$(field "$conn" Database)")
    own_sql() { mariadb "${my[@]}" -N -B -e "$1"; }
    own_load() { mariadb "${my[@]}" <"$1"; }
    copy_table() { own_sql "CREATE TABLE rtt_copy LIKE rtt_src"; } ;;
esac
if [ -z "$conn" ]; then
    if [ "${MARLIX_REQUIRE_SERVERS:-}" = 1 ] || [ -n "${CI+set}" ]; then echo "the $server test server is not running" >&2; exit 1; fi
    echo "skipped: the $server test server is not running (scripts/testdb.sh starts it)"; exit 77
fi
cli_run() { "$cli" --connect "$conn" --profile "$work/empty.ini" "$@"; }
failed=0
fail() { echo "FAILED: $1"; head -c 3000 "$work/err"; echo; failed=1; }

own_sql "DROP TABLE IF EXISTS rtt_copy" >/dev/null && own_sql "DROP TABLE IF EXISTS rtt_src" >/dev/null &&
    own_load "$here/$server.sql" && copy_table >/dev/null || { echo "cannot create the tables"; exit 1; }

# export NAME LITERALS ATTRIBUTES [marlix-cli options]: the conversion of rtt_src into NAME.sql.
export_script() {
    printf '/*METADATA>\r\n\t<OPTIONS Syntax = "%s", Literals = "%s"/>\r\n\t<RESULTSET Type = "INSERT", Table = "rtt_copy"%s/>\r\n</METADATA*/\r\nSELECT * FROM rtt_src ORDER BY id\r\n' \
        "$dialect" "$2" "$3" >"$work/make-$1.sql"
    local name=$1
    shift 3
    if [ "${1:-}" = --output ]; then
        cli_run --output "$work/$name.sql" "$work/make-$name.sql" >/dev/null 2>"$work/err"
    else
        cli_run --size-limit 0 --row-limit 0 "$work/make-$name.sql" >"$work/$name.sql" 2>"$work/err"
    fi || fail "marlix-cli cannot convert $name"
}
# load LABEL LOADER FILE: the file into the emptied copy.
load() {
    own_sql "DELETE FROM rtt_copy" >/dev/null
    if [ "$2" = own ]; then own_load "$3"; else cli_run "$3" >/dev/null; fi 2>"$work/err" || { fail "$1: loading by $2"; return 1; }
}
compare() {
    local n=$(own_sql "SELECT (SELECT COUNT(*) FROM (SELECT * FROM rtt_src $except SELECT * FROM rtt_copy) a) + (SELECT COUNT(*) FROM (SELECT * FROM rtt_copy $except SELECT * FROM rtt_src) b)")
    if [ "$n" = 0 ]; then echo "$1: identical"; return; fi
    : >"$work/err"
    fail "$1: $n rows differ, ids $(own_sql "SELECT id FROM (SELECT * FROM rtt_src $except SELECT * FROM rtt_copy) a" | tr '\n' ' ')"
}

export_script rows1 EXACT ', Rows = "1", CommitEvery = "4"' --output
export_script rows500 EXACT ', Rows = "500", CommitEvery = "1"'
tr -d '\r' <"$work/rows1.sql" >"$work/rows1-lf.sql"
scripts="rows1 rows500 rows1-lf"
# PostgreSQL reads the standard SQL of GENERIC scripts too (U&'' literals).
[ $server = postgresql ] && dialect=GENERIC export_script generic EXACT ', Rows = "1"' && scripts+=" generic"
for script in $scripts; do
    for loader in own marlix-cli; do
        [ "$script" = rows1-lf ] && [ $loader != own ] && continue
        label="$server $script loaded by $loader"
        load "$label" $loader "$work/$script.sql" && compare "$label"
    done
done
export_script standard STANDARD ', Rows = "500"'
load "$server standard literals" own "$work/standard.sql" && echo "$server standard literals: loaded"
exit $failed
