#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, ASan, UBSan) and runs each for a
# given time, two at a time by default:
#   tools/fuzz.sh [SECONDS] [TARGET...]      e.g. tools/fuzz.sh 600 batch_file
# Targets: command_line minutes_rule batch_file (all when none is named). Each run
# starts from the seeds in tests/fuzz/corpus/TARGET plus what earlier runs kept in
# build/fuzz/corpus/TARGET; an input that breaks a property lands in build/fuzz/findings/TARGET.
# FUZZ_JOBS sets how many targets run at once. Exits non-zero when any target finds something.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(command_line minutes_rule batch_file)
build="${FUZZ_BUILD_DIR:-$repo/build/fuzz}"
jobs="${FUZZ_JOBS:-2}"

mkdir -p "$build/logs"
if ! { cmake --preset fuzz -B "$build" && cmake --build "$build" -j "$jobs"; } \
    >"$build/logs/build.log" 2>&1; then
    cat "$build/logs/build.log"
    echo "fuzz: the build failed" >&2
    exit 1
fi

# run TARGET: one timed run; prints one line with the inputs tried and the verdict.
run() {
    local target="$1" corpus="$build/corpus/$1" findings="$build/findings/$1/"
    local log="$build/logs/$1.log" dict="$repo/tests/fuzz/$1.dict" status=0
    local options=(-max_total_time="$seconds" -max_len=1024 -timeout=10 -print_final_stats=1
                   -artifact_prefix="$findings")
    [[ -f $dict ]] && options+=(-dict="$dict")
    mkdir -p "$corpus" "$findings"
    "$build/tests/fuzz/${target}_fuzz" "${options[@]}" "$corpus" "$repo/tests/fuzz/corpus/$target" \
        >"$log" 2>&1 || status=$?
    local runs
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    if ((status == 0)); then
        printf 'fuzz: %-13s ok     %10s inputs in %s s, corpus %s\n' "$target" "${runs:-?}" \
            "$seconds" "$(ls "$corpus" | wc -l)"
    else
        printf 'fuzz: %-13s FAILED (exit %d), input in %s\n' "$target" "$status" "$findings"
        grep -E 'property violated|ERROR|SUMMARY|runtime error' "$log" | head -n 5 | sed 's/^/  /'
    fi
    return "$status"
}

failed=0
rm -f "$build"/logs/*.status
for target in "${targets[@]}"; do
    if [[ ! -x "$build/tests/fuzz/${target}_fuzz" ]]; then
        echo "fuzz: no target $target" >&2
        failed=1
        continue
    fi
    while (($(jobs -rp | wc -l) >= jobs)); do
        wait -n
    done
    (run "$target"; echo $? >"$build/logs/$target.status") &
done
wait
for target in "${targets[@]}"; do
    [[ $(cat "$build/logs/$target.status" 2>/dev/null) == 0 ]] || failed=1
done
exit "$failed"
