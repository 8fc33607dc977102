#!/usr/bin/env bash
# Installs what building, running, testing and checking Zorvo needs on Debian 12. Quick when
# everything is already there: nothing runs as root then. Something missing is installed as root:
# directly when this runs as root (a bare Debian has no sudo), through sudo otherwise; with
# neither, it says which command to run as root.
set -euo pipefail

packages=(
    cmake g++ make libgtest-dev
    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine wine64 xvfb xauth locales python3
    # The second Windows compiler (clang with lld, LLVM's archiver and resource compiler), the
    # fuzz targets' libFuzzer and sanitizer runtimes, and the code checks.
    clang-14 lld lld-14 llvm-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck
    # What Wine's X11 driver and text drawing use; recommends are not installed.
    libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3
    libxxf86vm1 fonts-dejavu-core
    # The format and lint checks list the tracked files with git; a tarball has no git with it.
    git
)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# as_root COMMAND...: runs the command as root, or answers 127 when there is no way to.
as_root() {
    if ((EUID == 0)); then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        return 127
    fi
}

# needs_root WHAT COMMAND: runs the shell command as root; says what to do when it cannot.
needs_root() {
    local what="$1" command="$2" status=0
    if ((EUID != 0)) && command -v sudo >/dev/null 2>&1; then
        echo "setup: $what needs root: sudo $command"
    fi
    as_root bash -c "$command" || status=$?
    if ((status == 127)) && ((EUID != 0)) && ! command -v sudo >/dev/null 2>&1; then
        echo "setup: $what needs root, and there is no sudo; run this as root, then me again:" >&2
        echo "  $command" >&2
        exit 1
    elif ((status != 0)); then
        echo "setup: $what failed (exit code $status); as root, this does it:" >&2
        echo "  $command" >&2
        exit "$status"
    fi
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    needs_root "installing packages" "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
apt-get install -y -q --no-install-recommends ${missing[*]}"
fi

# Cyrillic file names and a Russian-speaking Wine need the ru_RU.UTF-8 locale on the Linux side.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    echo "setup: generating the ru_RU.UTF-8 locale"
    needs_root "generating the ru_RU.UTF-8 locale" "sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' \
/etc/locale.gen && { grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || \
echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen; } && locale-gen"
fi
