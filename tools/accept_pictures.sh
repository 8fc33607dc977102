#!/usr/bin/env bash
# Draws the end-to-end tests' reference pictures again (tests/e2e/reference_pictures/), after a
# deliberate change of the look: builds the windows preset, runs tests/e2e/test_pictures.py with
# ZORVO_ACCEPT_PICTURES=1 (every picture that differs is rewritten, none fails) and lists what
# changed. Look at the changed pictures before committing them. Takes about two minutes.
#
#   tools/accept_pictures.sh                     with build/windows
#   ZORVO_BUILD=DIR tools/accept_pictures.sh     with another windows build
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZORVO_BUILD:-$repo/build/windows}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    (cd "$repo" && cmake --preset windows -B "$build" >/dev/null)
fi
cmake --build "$build" -j "$(nproc)" >/dev/null

ZORVO_BUILD="$build" ZORVO_ACCEPT_PICTURES=1 python3 "$repo/tests/e2e/run.py" test_pictures
if command -v git >/dev/null && git -C "$repo" rev-parse --git-dir >/dev/null 2>&1; then
    echo "changed reference pictures:"
    git -C "$repo" status --short -- tests/e2e/reference_pictures
fi
