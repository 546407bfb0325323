# Helpers shared by the scripts in this folder; sourced, not run.

# The project root (the folder above scripts/).
MARLIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# A clear section header on standard output.
section() {
    printf '\n==== %s ====\n' "$*"
}

die() {
    printf 'error: %s\n' "$*" >&2
    exit 1
}

# configure_and_build DIR [cmake options...]: configures DIR from the project root and
# builds it with at most two jobs.
configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$MARLIX_ROOT" -B "$MARLIX_ROOT/$dir" "$@" && cmake --build "$MARLIX_ROOT/$dir" -j2
}

# write_odbc_config DIR: writes DIR/odbcinst.ini (the project's driver list from
# scripts/odbcinst.ini.in) and an empty DIR/odbc.ini, for use as ODBCSYSINI.
write_odbc_config() {
    local dir="$1"
    local template="$MARLIX_ROOT/scripts/odbcinst.ini.in"
    [[ -f "$template" ]] || die "missing $template"
    mkdir -p "$dir"
    # The template is meant for CMake's configure_file(@ONLY): its @NAME@ placeholders,
    # if it ever has any, have no value here.
    if grep -q '@[A-Za-z_][A-Za-z0-9_]*@' "$template"; then
        die "$template has @placeholders@ this script cannot fill"
    fi
    cp "$template" "$dir/odbcinst.ini"
    : >"$dir/odbc.ini"
    local lib
    while IFS= read -r lib; do
        [[ -f "$lib" ]] || printf 'warning: ODBC driver library %s is missing\n' "$lib" >&2
    done < <(sed -n 's/^[[:space:]]*Driver[[:space:]]*=[[:space:]]*//p' "$dir/odbcinst.ini" | tr -d '\r' | sort -u)
}

# ---- Steps with a summary, and clean-up that also runs on Ctrl-C or a kill signal.

STEP_RESULTS=()
STEP_FAILED=0
CHILD_PID=

# run_step NAME COMMAND...: runs COMMAND under a section header and records how it went.
# The command runs in its own process group, so that an interrupt can end all of it.
run_step() {
    local name="$1" start rc
    shift
    section "$name"
    start=$SECONDS
    setsid -w "$@" </dev/null &
    CHILD_PID=$!
    wait "$CHILD_PID"
    rc=$?
    CHILD_PID=
    record_step "$name" "$rc" $((SECONDS - start))
    return "$rc"
}

# record_step NAME STATUS SECONDS
record_step() {
    local word=ok
    if [[ "$2" -ne 0 ]]; then
        word="FAILED (exit $2)"
        STEP_FAILED=1
    fi
    STEP_RESULTS+=("$(printf '%-40s %6ss  %s' "$1" "$3" "$word")")
}

# skip_step NAME REASON: a step that could not run counts as failed.
skip_step() {
    section "$1"
    echo "not run: $2"
    STEP_RESULTS+=("$(printf '%-40s %6s   %s' "$1" "-" "NOT RUN ($2)")")
    STEP_FAILED=1
}

print_summary() {
    section "summary"
    local line
    for line in "${STEP_RESULTS[@]}"; do
        echo "$line"
    done
    echo "total time: ${SECONDS}s"
}

# on_exit COMMAND: runs COMMAND once when the script ends, however it ends.
on_exit() {
    EXIT_COMMAND="$1"
    trap 'run_exit_command' EXIT
    trap 'interrupted INT 130' INT
    trap 'interrupted TERM 143' TERM
    trap 'interrupted HUP 129' HUP
}

run_exit_command() {
    if [[ -n "${EXIT_COMMAND:-}" ]]; then
        local command="$EXIT_COMMAND"
        EXIT_COMMAND=
        eval "$command"
    fi
}

interrupted() {
    echo >&2
    echo "interrupted by SIG$1" >&2
    if [[ -n "$CHILD_PID" ]]; then
        kill -TERM -- "-$CHILD_PID" 2>/dev/null || kill -TERM "$CHILD_PID" 2>/dev/null
        wait "$CHILD_PID" 2>/dev/null
    fi
    exit "$2"
}
