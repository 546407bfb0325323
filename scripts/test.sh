#!/usr/bin/env bash
# Every test of the project, as CI runs it:
#   packages, a Release build (build/) and an AddressSanitizer + UBSan Debug build
#   (build-asan/), private PostgreSQL and MariaDB servers, the test suite on both builds
#   with the servers required, then the fuzzers (scripts/fuzz.sh, when present).
# Every step runs even when an earlier one failed; the exit status is non-zero if any did.
#
# Environment: MARLIX_FUZZ_SECONDS (default 60) is passed to scripts/fuzz.sh.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$MARLIX_ROOT"

section "setup: packages"
bash scripts/setup.sh || die "package setup failed"

# Sanitizer settings for every program of the sanitizer build, including the test
# listing that the build itself runs. Leaks that the ODBC drivers or unixODBC make are
# suppressed by scripts/lsan.supp; those allocations are made in libraries without frame
# pointers, so the suppressions match only with the full (slower) unwinder.
# (Given only to those programs: the fuzzers want the fast unwinder.)
sanitizer_env=(
    env
    "ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:fast_unwind_on_malloc=0}"
    "LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$MARLIX_ROOT/scripts/lsan.supp:print_suppressions=0}"
    "UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
)

release_built=0
asan_built=0
run_step "configure build (Release)" cmake -S . -B build -DCMAKE_BUILD_TYPE=Release &&
    run_step "compile build (Release)" cmake --build build -j2 && release_built=1
run_step "configure build-asan (Debug, ASan+UBSan)" cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMARLIX_SANITIZE=ON &&
    run_step "compile build-asan (Debug, ASan+UBSan)" "${sanitizer_env[@]}" cmake --build build-asan -j2 && asan_built=1

# Private database servers in a fresh folder, stopped however this script ends.
TESTDB_DIR="$(mktemp -d /tmp/marlix-testdb.XXXXXX)" || die "mktemp failed"
stop_databases() {
    if [[ -n "${TESTDB_DIR:-}" ]]; then
        section "stopping the test databases"
        bash "$MARLIX_ROOT/scripts/testdb.sh" stop "$TESTDB_DIR"
        if [[ $STEP_FAILED -eq 0 ]]; then
            rm -rf "$TESTDB_DIR"
        else
            echo "server logs kept in $TESTDB_DIR"
        fi
        TESTDB_DIR=
    fi
}
on_exit stop_databases

if run_step "start the test databases" bash scripts/testdb.sh start "$TESTDB_DIR"; then
    source "$TESTDB_DIR/env.sh"
fi
export MARLIX_REQUIRE_SERVERS=1

# No -j: tests may share database tables on the two servers.
ctest_options=(--output-on-failure --no-tests=error --timeout 900)
if [[ $release_built -eq 1 ]]; then
    run_step "tests (Release)" ctest --test-dir build "${ctest_options[@]}"
else
    skip_step "tests (Release)" "the build failed"
fi
if [[ $asan_built -eq 1 ]]; then
    run_step "tests (ASan+UBSan)" "${sanitizer_env[@]}" ctest --test-dir build-asan "${ctest_options[@]}"
else
    skip_step "tests (ASan+UBSan)" "the build failed"
fi

stop_databases

if [[ -f scripts/fuzz.sh ]]; then
    export MARLIX_FUZZ_SECONDS="${MARLIX_FUZZ_SECONDS:-60}"
    run_step "fuzzing (MARLIX_FUZZ_SECONDS=$MARLIX_FUZZ_SECONDS)" bash scripts/fuzz.sh
else
    section "fuzzing"
    echo "scripts/fuzz.sh does not exist yet: nothing to fuzz"
fi

print_summary
if [[ $STEP_FAILED -ne 0 ]]; then
    echo "SOME STEPS FAILED"
    exit 1
fi
echo "all steps passed"
