#!/usr/bin/env bash
# Zorvo's benchmarks: builds what they need (zorvo.exe, sleep.dll, the baseline program and the
# probe with preset windows; the unit tests with preset native), then runs bench/bench.py under
# Wine on a virtual screen and prints the table. Takes about three minutes.
#   bench/run.sh [-o FILE] [--runs N] [--idle SECONDS] [--prefixes DIR]
# -o also writes the report to FILE; --prefixes keeps the Wine prefixes there between runs.
# WINDOWS_BUILD_DIR and NATIVE_BUILD_DIR name other build folders (default build/windows and
# build/native).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
windows_build="${WINDOWS_BUILD_DIR:-$repo/build/windows}"
native_build="${NATIVE_BUILD_DIR:-$repo/build/native}"
jobs="$(nproc)"
cd "$repo"

if [[ ! -f "$windows_build/CMakeCache.txt" ]]; then
    cmake --preset windows -B "$windows_build"
fi
cmake --build "$windows_build" -j "$jobs" --target zorvo sleep minimal_win32 zbench

# The simulated 360-minute run is a unit test; without a native build it is reported as not run.
if [[ ! -f "$native_build/CMakeCache.txt" ]]; then
    cmake --preset native -B "$native_build" || true
fi
cmake --build "$native_build" -j "$jobs" --target zorvo_tests ||
    echo "bench: the unit tests did not build; using the last built ones if any" >&2

source "$repo/tools/wine_env.sh"
bench=(python3 -u "$repo/bench/bench.py" --build "$windows_build"
       --native-tests "$native_build/tests/unit/zorvo_tests" "$@")
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "${bench[@]}"
fi
exec "${bench[@]}"
