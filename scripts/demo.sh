#!/usr/bin/env bash
# The main job: builds the window and marlix-cli (Release, in build/), then the headless runner marlix-cli fills
# a new SQLite database with data/demo.sql through the SQLite3 ODBC driver. With a display the
# window opens on that database with data/demo-conversions.sql loaded (press F5 to run it);
# without one marlix-cli runs data/demo-conversions.sql: its METADATA blocks turn the rows into
# INSERT, UPDATE and DELETE scripts, and a plain SELECT becomes a text table.
#
# Extra arguments given to this script are passed on to the headless marlix-cli run
# (for example --syntax GENERIC). MARLIX_DEMO_HEADLESS=1 runs it headless on a desktop too.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$MARLIX_ROOT"

DEMO_PROGRAM=build/src/app/marlix-cli
WINDOW_PROGRAM=build/src/app/marlix

section "setup: packages"
bash scripts/setup.sh || die "package setup failed"

# Only the two programs the demo runs: the tests and benchmarks are built by scripts/test.sh and
# scripts/bench.sh in the same folder.
section "build (Release): marlix and marlix-cli"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j2 --target marlix marlix-cli ||
    die "the build failed"
[[ -x "$DEMO_PROGRAM" ]] || die "$DEMO_PROGRAM was not built"

# A private driver list, so the machine's own ODBC configuration plays no part.
odbc_dir="$(mktemp -d /tmp/marlix-demo-odbc.XXXXXX)" || die "mktemp failed"
trap 'rm -rf "$odbc_dir"' EXIT
write_odbc_config "$odbc_dir"
export ODBCSYSINI="$odbc_dir"
export ODBCINI="$odbc_dir/odbc.ini"

demo_db="$odbc_dir/demo.sqlite"
: > "$odbc_dir/profile.ini" # a profile of its own, every setting at its default
connect=(--connect "Driver=SQLite3;Database=$demo_db" --type 7 --profile "$odbc_dir/profile.ini")

section "run: marlix-cli data/demo.sql (creates and fills the demo database)"
"$DEMO_PROGRAM" "${connect[@]}" data/demo.sql
status=$?
if [[ $status -eq 0 && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) && "${MARLIX_DEMO_HEADLESS:-0}" != 1 ]]; then
    section "run: marlix (the window) on the demo database with data/demo-conversions.sql"
    echo "Press F5 (Execute Script) to convert the demo rows; close the window to end the demo."
    "$WINDOW_PROGRAM" "${connect[@]}" data/demo-conversions.sql
    status=$?
elif [[ $status -eq 0 ]]; then
    section "run: marlix-cli data/demo-conversions.sql $*"
    echo "(no display: the headless runner does what Execute Script does in the window)"
    echo "(standard output: the Results text; standard error: the Execution history)"
    echo
    "$DEMO_PROGRAM" "${connect[@]}" "$@" data/demo-conversions.sql
    status=$?
fi
echo
if [[ $status -ne 0 ]]; then
    echo "demo FAILED (exit $status)"
else
    echo "demo finished"
fi
exit $status
