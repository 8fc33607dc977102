#!/usr/bin/env bash
# Takes the README's pictures again: runs Zorvo under Wine on a virtual screen (a fresh Wine
# prefix, Russian locale, no window manager), drives it with the end-to-end driver (through
# tools/screenshots.py and the tests' library) and writes
# docs/images/{main-idle,main-running,popup,batch-dialog,about}.png. Takes about a minute, most of
# it waiting for the popup of the last half minute. As root on a fresh Debian 12 it first installs
# what is missing (ImageMagick included) and builds the windows preset when needed.
#
#   tools/screenshots.sh                           all five pictures into docs/images/
#   WINDOWS_BUILD_DIR=DIR tools/screenshots.sh     of another windows build (default build/windows)
#   SCREENSHOTS_DIR=DIR tools/screenshots.sh       into another folder
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${WINDOWS_BUILD_DIR:-$repo/build/windows}"
images="${SCREENSHOTS_DIR:-$repo/docs/images}"

if [[ "${ZORVO_SHOTS_ON_SCREEN:-}" != 1 ]]; then
    bash "$repo/tools/setup.sh"
    if ! command -v import >/dev/null || ! command -v convert >/dev/null; then
        if ((EUID != 0)); then
            echo "screenshots: ImageMagick is missing; run this as root" >&2
            exit 1
        fi
        echo "screenshots: installing ImageMagick"
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends imagemagick \
            || { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
                     --no-install-recommends imagemagick; }
    fi
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        (cd "$repo" && cmake --preset windows -B "$build" >/dev/null)
    fi
    cmake --build "$build" -j "$(nproc)" >/dev/null
    # Always a virtual screen of its own: the same size and no window manager on every run.
    export ZORVO_SHOTS_ON_SCREEN=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" "$@"
fi

work="$(mktemp -d /tmp/zorvo-shots.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# Wine's own fonts (Debian's fonts-wine, a recommendation the setup leaves out) draw the title
# bar's buttons (Marlett) and "MS Sans Serif" as Windows does; screenshots.py puts them into its
# prefix only, so the end-to-end tests keep running with the fonts they always had.
fonts=/usr/share/wine/fonts
if [[ ! -f "$fonts/marlett.ttf" ]]; then
    (cd "$work" && apt-get download -q fonts-wine >/dev/null 2>&1) || true
    package="$(find "$work" -maxdepth 1 -name 'fonts-wine_*.deb' | head -n 1)"
    if [[ -n "$package" ]]; then
        dpkg-deb -x "$package" "$work/fonts-wine"
        fonts="$work/fonts-wine/usr/share/wine/fonts"
    else
        echo "screenshots: fonts-wine not available; the title bars' buttons show letters" >&2
    fi
fi

source "$repo/tools/wine_env.sh"
unset WINEPREFIX # a fresh prefix of its own
ZORVO_BUILD="$build" python3 "$repo/tools/screenshots.py" "$images" "$fonts"
