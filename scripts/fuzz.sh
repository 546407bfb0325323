#!/usr/bin/env bash
# Builds every libFuzzer target of the project (the targets named fuzz_*) with clang and the
# address and undefined-behaviour sanitizers in build-fuzz, then runs each for
# MARLIX_FUZZ_SECONDS seconds (default 60). A target's corpus lives in build-fuzz/fuzz-corpus/<target>
# and starts from the committed seeds tests/<area>/fuzz/seeds_<name> of target fuzz_<name>; a
# dictionary tests/<area>/fuzz/fuzz_<name>.dict is used when present.
# Exits non-zero when any target finds a crash, a hang or a leak; the input that caused it is
# left in build-fuzz/fuzz-artifacts/ to be added as a regular test case.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
seconds=${MARLIX_FUZZ_SECONDS:-60}
timeout=${MARLIX_FUZZ_TIMEOUT:-10}
jobs=${MARLIX_FUZZ_BUILD_JOBS:-2}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DMARLIX_FUZZ=ON -DMARLIX_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

# Only the fuzz targets: the rest of the tree would need every library built with sanitizers.
mapfile -t targets < <(cmake --build "$build" --target help | grep -oE '\bfuzz_[A-Za-z0-9_]+' | sort -u)
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz.sh: no fuzz_* targets found" >&2
    exit 1
fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

mkdir -p "$build/fuzz-artifacts"
failed=()
for target in "${targets[@]}"; do
    exe=$(find "$build" -type f -name "$target" -perm -u+x | head -n 1)
    if [ -z "$exe" ]; then
        echo "fuzz.sh: no executable for $target" >&2
        failed+=("$target")
        continue
    fi
    corpus="$build/fuzz-corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    while IFS= read -r dir; do seeds+=("$dir"); done < <(find "$root/tests" -type d -name "seeds_${target#fuzz_}")
    options=()
    dict=$(find "$root/tests" -type f -name "$target.dict" | head -n 1)
    if [ -n "$dict" ]; then options+=(-dict="$dict"); fi
    echo "== $target: ${seconds}s, seeds: ${seeds[*]:-none}, dictionary: ${dict:-none}"
    if ! "$exe" "$corpus" "${seeds[@]}" "${options[@]}" -max_total_time="$seconds" -timeout="$timeout" \
        -artifact_prefix="$build/fuzz-artifacts/$target-" -print_final_stats=1; then
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz.sh: failures in: ${failed[*]} (inputs in $build/fuzz-artifacts)" >&2
    exit 1
fi
echo "fuzz.sh: all ${#targets[@]} target(s) ran clean"
