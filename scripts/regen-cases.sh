#!/usr/bin/env bash
# Rewrites the expected output (.stdout, .stderr, .status, .file) of text cases from what
# marlix-cli writes now, then lists what changed, for review before committing.
#   bash scripts/regen-cases.sh [NAME...]   (no NAME: every case in tests/app/cases)
# Uses the build in build/ (BUILD_DIR to change it), building marlix-cli first.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build="${BUILD_DIR:-$MARLIX_ROOT/build}"
[[ -f "$build/CMakeCache.txt" ]] || die "no build in $build (configure it first, see README.md)"
cmake --build "$build" -j2 --target marlix-cli >/dev/null

pattern='^cli\.'
if (($# > 0)); then
    names="$(printf '%s|' "$@")"
    pattern="^cli\\.(${names%|})\$"
fi
# Cases whose case files are rewritten report as passed; a failure here is the runner's own.
MARLIX_REGEN_CASES=1 ctest --test-dir "$build" -R "$pattern" --output-on-failure -j2 >/dev/null ||
    die "ctest failed while regenerating (see ctest --test-dir $build -R '$pattern')"
git -C "$MARLIX_ROOT" status --short -- tests/app/cases
