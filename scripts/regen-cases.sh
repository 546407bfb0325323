#!/usr/bin/env bash
# Re-runs every text case (tests/app/cases/NAME.sql) through a built marlix-cli and rewrites its
# expected .stdout, .stderr, .status (and .file, where the case has one) from what it printed.
# Review the result with `git diff tests/app/cases` before committing it.
#
#   scripts/regen-cases.sh [BUILD_DIR] [NAME...]    (BUILD_DIR defaults to build; no NAME: all)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
shift || true
[[ "$build" = /* ]] || build="$root/$build"
cli="$build/src/app/marlix-cli"
[[ -x "$cli" ]] || { echo "regen-cases: no marlix-cli at $cli (build it first)" >&2; exit 2; }

cases="$root/tests/app/cases"
names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
  for sql in "$cases"/*.sql; do names+=("$(basename "$sql" .sql)"); done
fi

# The same drivers and folders as the tests have under CTest.
export ODBCSYSINI="$build/odbc" ODBCINI="$build/odbc/odbc.ini" MARLIX_TEST_TMP="$build/test-tmp"
for name in "${names[@]}"; do
  [[ -f "$cases/$name.sql" ]] || { echo "regen-cases: no case $name" >&2; exit 2; }
  cmake -DCLI="$cli" -DCASE="$cases/$name" -DWORK="$build/test-tmp/cli" -DUPDATE=ON \
        -P "$root/tests/app/RunCliCase.cmake"
done
echo "regen-cases: ${#names[@]} case(s) rewritten; review with: git diff -- tests/app/cases" >&2
