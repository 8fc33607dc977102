# Sourced by run.sh and test.sh: the environment under which Wine behaves as a Russian Windows
# and never offers to download Mono or Gecko.
export LANG=ru_RU.UTF-8
export LC_ALL=ru_RU.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

# Initialises the prefix in $WINEPREFIX once: without a window manager, Wine stalls on every hide
# unless it manages no windows; a crash ends the program instead of opening the debugger's dialog.
init_wine_prefix() {
    if [[ -f "$WINEPREFIX/system.reg" ]]; then
        return
    fi
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    wineserver -w
}
