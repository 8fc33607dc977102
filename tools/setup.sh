#!/usr/bin/env bash
# Installs what building, running, testing and checking Zorvo needs on Debian 12 (run as root).
# Quick when everything is already there: apt-get runs only for missing packages.
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
)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done

if ((${#missing[@]})); then
    if ((EUID != 0)); then
        echo "setup: missing packages: ${missing[*]}; run this as root" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Cyrillic file names and a Russian-speaking Wine need the ru_RU.UTF-8 locale on the Linux side.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    if ((EUID != 0)); then
        echo "setup: the ru_RU.UTF-8 locale is missing; run this as root" >&2
        exit 1
    fi
    echo "setup: generating the ru_RU.UTF-8 locale"
    if grep -q '^# *ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
    fi
    locale-gen >/dev/null
fi
