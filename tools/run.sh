#!/usr/bin/env bash
# Builds Zorvo and runs it under Wine (on a fresh Debian 12 the first run installs what is missing,
# as root or through sudo: tools/setup.sh). Arguments are passed to the program, e.g.
# ./tools/run.sh /a 5
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${WINDOWS_BUILD_DIR:-$repo/build/windows}"
source "$repo/tools/wine_env.sh"
# One prefix kept between runs, so only the first start pays for its set-up.
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/zorvo-wine}"

if [[ "${ZORVO_RUN_ON_DISPLAY:-}" == 1 ]]; then
    init_wine_prefix
    exec wine "$build/zorvo.exe" "$@"
fi

bash "$repo/tools/setup.sh"
(cd "$repo" && cmake --preset windows -B "$build" >/dev/null)
cmake --build "$build" -j "$(nproc)"

export ZORVO_RUN_ON_DISPLAY=1
if [[ -n "${DISPLAY:-}" ]]; then
    exec "$repo/tools/run.sh" "$@"
fi
echo "run: no \$DISPLAY, so Zorvo runs on a virtual screen; Ctrl+C ends it"
exec xvfb-run -a -s "-screen 0 1024x768x24" "$repo/tools/run.sh" "$@"
