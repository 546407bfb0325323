#!/usr/bin/env bash
# The main job: builds Marlix (Release, in build/) and runs the demo script data/demo.sql
# on a new SQLite database through the SQLite3 ODBC driver.
#
# To run another program or script, change DEMO_PROGRAM and DEMO_ARGS below; extra
# arguments given to this script are passed on after DEMO_ARGS.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$MARLIX_ROOT"

DEMO_PROGRAM=build/src/app/marlix-demo
DEMO_ARGS=(data/demo.sql)

section "setup: packages"
bash scripts/setup.sh || die "package setup failed"

section "build (Release)"
configure_and_build build -DCMAKE_BUILD_TYPE=Release || die "the build failed"
[[ -x "$DEMO_PROGRAM" ]] || die "$DEMO_PROGRAM was not built"

# A private driver list, so the machine's own ODBC configuration plays no part.
odbc_dir="$(mktemp -d /tmp/marlix-demo-odbc.XXXXXX)" || die "mktemp failed"
trap 'rm -rf "$odbc_dir"' EXIT
write_odbc_config "$odbc_dir"
export ODBCSYSINI="$odbc_dir"
export ODBCINI="$odbc_dir/odbc.ini"

section "run: $DEMO_PROGRAM ${DEMO_ARGS[*]} $*"
"$DEMO_PROGRAM" "${DEMO_ARGS[@]}" "$@"
status=$?
echo
if [[ $status -ne 0 ]]; then
    echo "demo FAILED (exit $status)"
else
    echo "demo finished"
fi
exit $status
