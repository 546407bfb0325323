#!/usr/bin/env bash
# Every benchmark: builds Marlix (Release, in build/), starts the private test databases
# and runs each program named bench_* under build/bench/, in name order.
# The exit status is non-zero if any benchmark failed.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$MARLIX_ROOT"

section "setup: packages"
bash scripts/setup.sh || die "package setup failed"

run_step "configure build (Release)" cmake -S . -B build -DCMAKE_BUILD_TYPE=Release || die "configure failed"
run_step "compile build (Release)" cmake --build build -j2 || die "the build failed"

TESTDB_DIR="$(mktemp -d /tmp/marlix-benchdb.XXXXXX)" || die "mktemp failed"
stop_databases() {
    if [[ -n "${TESTDB_DIR:-}" ]]; then
        section "stopping the test databases"
        bash "$MARLIX_ROOT/scripts/testdb.sh" stop "$TESTDB_DIR" && rm -rf "$TESTDB_DIR"
        TESTDB_DIR=
    fi
}
on_exit stop_databases

if run_step "start the test databases" bash scripts/testdb.sh start "$TESTDB_DIR"; then
    source "$TESTDB_DIR/env.sh"
fi

# In order of their names, wherever under build/bench they are.
mapfile -t benchmarks < <(find build/bench -type f -name 'bench_*' -perm -u+x -not -path '*/CMakeFiles/*' \
    -printf '%f\t%p\n' 2>/dev/null | sort | cut -f 2)
if [[ ${#benchmarks[@]} -eq 0 ]]; then
    section "benchmarks"
    echo "no benchmark programs (bench_*) under build/bench"
fi
for program in "${benchmarks[@]}"; do
    run_step "benchmark $(basename "$program")" "$program"
done

stop_databases
print_summary
if [[ $STEP_FAILED -ne 0 ]]; then
    echo "SOME STEPS FAILED"
    exit 1
fi
echo "all benchmarks ran"
