#!/usr/bin/env bash
# Takes the README's pictures again: runs Zorvo under Wine on a virtual screen (a fresh Wine
# prefix, Russian locale, no window manager), drives it with the end-to-end driver and writes
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

source "$repo/tools/wine_env.sh"
WINEPREFIX="$(mktemp -d /tmp/zorvo-shots-wine.XXXXXX)"
export WINEPREFIX
work="$(mktemp -d /tmp/zorvo-shots.XXXXXX)"
program=""
cleanup() {
    [[ -n "$program" ]] && kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

fail() {
    echo "screenshots: $*" >&2
    exit 1
}

# drive CMD ARGS [\; CMD ARGS]: runs driver commands; prints the last answer's value, fails when
# any answer is not "ok".
drive() {
    local answers
    answers="$(wine "$build/e2e/zdrive.exe" "$@" 2>/dev/null)" || fail "driver: $* -> $answers"
    answers="${answers//$'\r'/}"
    local last="${answers##*$'\n'}"
    [[ "$last" == ok* ]] || fail "driver: $* -> $answers"
    echo "${last#ok }"
}

# start ARGS: starts the program (from a folder with its library) and waits for its main window.
start() {
    wine "$work/Zorvo/zorvo.exe" "$@" >>"$work/wine.log" 2>&1 &
    program=$!
}

stop() {
    drive kill-image zorvo.exe >/dev/null
    wait "$program" 2>/dev/null || true
    program=""
    drive wait-gone frmMain 5000 >/dev/null
}

# shot NAME CLASS: the window's rectangle (with the caption and frame Wine draws itself) from the
# screen, as a small PNG.
shot() {
    local name="$1" class="$2" rect left top width height
    drive sync "$class" >/dev/null
    sleep 0.5 # the last WM_PAINT of the controls after the sync
    rect="$(drive window-rect "$class")"
    read -r left top width height <<<"$rect"
    if ((left < 0)); then width=$((width + left)) left=0; fi
    if ((top < 0)); then height=$((height + top)) top=0; fi
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$work/$name.png"
    # Flat Windows controls need no more than 256 colours; without dithering they stay crisp.
    convert "$work/$name.png" -strip +dither -colors 256 "PNG8:$images/$name.png"
    echo "screenshots: $images/$name.png (${width}x${height})"
}

# Wine's own fonts (Debian's fonts-wine, a recommendation the setup leaves out) draw the title
# bar's buttons (Marlett) and "MS Sans Serif" as Windows does. They go into this prefix only, so
# the end-to-end tests keep running with the fonts they always had.
wine_fonts() {
    local fonts=/usr/share/wine/fonts
    if [[ ! -f "$fonts/marlett.ttf" ]]; then
        (cd "$work" && apt-get download -q fonts-wine >/dev/null 2>&1) || true
        local package
        package="$(find "$work" -maxdepth 1 -name 'fonts-wine_*.deb' | head -n 1)"
        if [[ -z "$package" ]]; then
            echo "screenshots: fonts-wine not available; the title bars' buttons show letters" >&2
            return
        fi
        dpkg-deb -x "$package" "$work/fonts-wine"
        fonts="$work/fonts-wine/usr/share/wine/fonts"
    fi
    cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

init_wine_prefix
wine_fonts
wineserver -p # one wineserver for every driver call
mkdir -p "$work/Zorvo" "$images"
cp "$build/zorvo.exe" "$build/sleep.dll" "$work/Zorvo/"
cd "$work"

# The main window, idle and then counting down 45 minutes.
start
drive wait-window frmMain 20000 >/dev/null || fail "the main window did not show"
sleep 1
shot main-idle frmMain
drive sel frmMain 1003 0 -1 \; type frmMain 1003 45 60 >/dev/null
drive click frmMain 1008 >/dev/null
sleep 3
shot main-running frmMain
stop

# The popup shows in the last half minute while the window is hidden: an alarm in one minute,
# started hidden, gets there after 30 s.
start /a 1 /hid
drive wait-exists frmMain 20000 >/dev/null || fail "the program did not start"
drive wait-window frmDial 45000 >/dev/null || fail "the popup did not show"
sleep 1
shot popup frmDial
stop

# The batch-file dialog and the about box, opened from the menu.
start
drive wait-window frmMain 20000 >/dev/null || fail "the main window did not show"
drive command frmMain 2017 >/dev/null
drive wait-window frmBat 10000 >/dev/null || fail "the batch-file dialog did not show"
shot batch-dialog frmBat
drive close frmBat \; wait-gone frmBat 5000 >/dev/null
drive command frmMain 2018 >/dev/null
drive wait-window frmAbout 10000 >/dev/null || fail "the about box did not show"
shot about frmAbout
drive close frmAbout \; wait-gone frmAbout 5000 >/dev/null
stop
