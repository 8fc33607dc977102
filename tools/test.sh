#!/usr/bin/env bash
# Builds everything and runs every test and check (on a fresh Debian 12 the first run installs
# what is missing, as root or through sudo: tools/setup.sh): the format and dead-code checks, the
# Windows build, then the end-to-end tests, which run the real zorvo.exe under Wine on virtual
# screens with fresh Wine prefixes, and beside them the unit tests natively with ASan and UBSan,
# clang-tidy (which also fails on the clang compiler's own warnings) and cppcheck, and a short run
# of every fuzz target. Exits non-zero when any build, test or check fails.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native_build="${NATIVE_BUILD_DIR:-$repo/build/native}"
windows_build="${WINDOWS_BUILD_DIR:-$repo/build/windows}"
export WINDOWS_CLANG_BUILD_DIR="${WINDOWS_CLANG_BUILD_DIR:-$repo/build/windows-clang}"
export FUZZ_BUILD_DIR="${FUZZ_BUILD_DIR:-$repo/build/fuzz}"
logs="$(mktemp -d)"
cd "$repo"

steps=()
failed_steps=0
suite_start=$SECONDS

# step NAME COMMAND...: runs one step, shows its output, keeps its time and result.
step() {
    local name="$1" start=$SECONDS status
    shift
    echo "=== $name"
    "$@" 2>&1 | tee "$logs/$name.log"
    status=${PIPESTATUS[0]}
    steps+=("$(printf '%-16s %-6s %4d s' "$name" "$([[ $status == 0 ]] && echo ok || echo FAILED)" \
        $((SECONDS - start)))")
    ((status == 0)) || failed_steps=$((failed_steps + 1))
    return "$status"
}

# background NAME COMMAND...: starts a step beside the others; finish NAME waits for it, then
# shows its output and keeps its time and result as step does.
declare -A background_pid background_start
background() {
    local name="$1"
    shift
    echo "=== $name (runs beside the next steps; its output follows when it ends)"
    background_start[$name]=$SECONDS
    ("$@" >"$logs/$name.log" 2>&1; echo "$? $SECONDS" >"$logs/$name.status") &
    background_pid[$name]=$!
}
finish() {
    local name="$1" status ended
    wait "${background_pid[$name]}"
    echo "=== $name"
    cat "$logs/$name.log"
    read -r status ended <"$logs/$name.status" || status=1
    # Its own time, from its start to its end, not to the moment it was waited for.
    steps+=("$(printf '%-16s %-6s %4d s' "$name" "$([[ $status == 0 ]] && echo ok || echo FAILED)" \
        $((${ended:-$SECONDS} - background_start[$name])))")
    ((status == 0)) || failed_steps=$((failed_steps + 1))
    return "$status"
}

jobs="$(nproc)"
# The end-to-end tests wait for the program far more than they compute (a countdown takes its
# minute on any machine): E2E_SHARDS runs side by side, each on its own virtual screen with its
# own Wine prefix (tests/e2e/run.py). Three: the builds and checks beside them are the longer
# road, and every further Wine session takes processor time from them and timing from the tests.
e2e_shards="${E2E_SHARDS:-3}"
e2e() {
    source "$repo/tools/wine_env.sh"
    unset WINEPREFIX  # a fresh prefix, whatever the caller uses
    ZORVO_BUILD="$windows_build" timeout --kill-after=30 1200 \
        python3 -u "$repo/tests/e2e/run.py" --shards "$e2e_shards"
}

step setup bash "$repo/tools/setup.sh" || exit 1
step layers python3 "$repo/tools/check_layers.py" "$repo"
step format bash "$repo/tools/lint.sh" format
step dead-code bash "$repo/tools/lint.sh" deadcode
if step windows-build bash -c "cmake --preset windows -B '$windows_build' &&
                               cmake --build '$windows_build' -j $jobs"; then
    windows_ok=1
else
    windows_ok=0
fi
# The end-to-end tests spend their time waiting for the program, the steps after them computing:
# they run side by side, the computing ones at a lower priority so that the program under test
# keeps its timing.
if ((windows_ok)); then
    background e2e-tests e2e
fi
renice -n 10 -p $$ >/dev/null
if step native-build bash -c "cmake --preset native -B '$native_build' &&
                              cmake --build '$native_build' -j $jobs"; then
    step unit-tests ctest --test-dir "$native_build" --output-on-failure -j "$jobs"
fi
# The second compiler's view of the program: clang-tidy compiles every product source with the
# compile commands of this preset and fails on any of clang's warnings too (the flags hold
# -Werror), so the preset is configured here, not built: a full build would compile it all again.
step windows-clang cmake --preset windows-clang -B "$WINDOWS_CLANG_BUILD_DIR"
step clang-tidy bash "$repo/tools/lint.sh" tidy
step cppcheck bash "$repo/tools/lint.sh" cppcheck
if step fuzz-build bash -c "cmake --preset fuzz -B '$FUZZ_BUILD_DIR' &&
                            cmake --build '$FUZZ_BUILD_DIR' -j $jobs"; then
    step fuzz-smoke bash "$repo/tools/fuzz.sh" 10
fi
if ((windows_ok)); then
    finish e2e-tests
fi

echo
echo "=== summary"
printf '  %s\n' "${steps[@]}"
echo "  total            $((SECONDS - suite_start)) s"
# How much of the code is tests (the budget: at most 40 %, on the way to a third).
bash "$repo/tools/weight.sh" | sed 's/^/  /'

# One closing count over the unit tests, the fuzz targets and the end-to-end tests.
passed=0
failed=0
if [[ -f "$logs/unit-tests.log" ]]; then
    read -r unit_failed unit_total < <(sed -n \
        's/.*tests passed, \([0-9]*\) tests\? failed out of \([0-9]*\).*/\1 \2/p' \
        "$logs/unit-tests.log" | tail -n 1)
    passed=$((passed + ${unit_total:-0} - ${unit_failed:-0}))
    failed=$((failed + ${unit_failed:-0}))
fi
if [[ -f "$logs/fuzz-smoke.log" ]]; then
    passed=$((passed + $(grep -c '^fuzz: .* ok ' "$logs/fuzz-smoke.log")))
    failed=$((failed + $(grep -c '^fuzz: .* FAILED' "$logs/fuzz-smoke.log")))
fi
if [[ -f "$logs/e2e-tests.log" ]]; then
    read -r e2e_passed e2e_failed < <(sed -n \
        's/^e2e: \([0-9]*\) passed, \([0-9]*\) failed.*/\1 \2/p' "$logs/e2e-tests.log" | tail -n 1)
    passed=$((passed + ${e2e_passed:-0}))
    failed=$((failed + ${e2e_failed:-0}))
fi
rm -rf "$logs"
if ((failed_steps > 0 && failed == 0)); then
    failed=$failed_steps
fi
echo "tests: $passed passed, $failed failed"
((failed_steps == 0))
