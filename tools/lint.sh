#!/usr/bin/env bash
# Checks of the code itself; each fails on any finding:
#   tools/lint.sh format     clang-format 14 --dry-run -Werror over every C++ file of the tree
#   tools/lint.sh tidy       clang-tidy 14 (.clang-tidy) over all product code, the Win32 front end
#                            included, with the compile commands of the windows-clang preset
#   tools/lint.sh cppcheck   cppcheck over the same files, as the Windows build sees them
# With no argument it runs all three. LINT_JOBS (default 2) sets clang-tidy's parallel runs.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build="${WINDOWS_CLANG_BUILD_DIR:-$repo/build/windows-clang}"
jobs="${LINT_JOBS:-2}"

# The product: every source of these folders (tests, the e2e driver and benchmarks are not).
product_sources() {
    git ls-files -- '*.cpp' | grep -E '^(app|batch|dialogs|log|power|sleep|text|ui)/'
}

check_format() {
    git ls-files -- '*.cpp' '*.h' | xargs clang-format-14 --dry-run -Werror
}

check_tidy() {
    if [[ ! -f $build/compile_commands.json ]]; then
        cmake --preset windows-clang -B "$build" >/dev/null || return 1
    fi
    local sources
    mapfile -t sources < <(product_sources)
    # The file arguments are patterns matched against the database's paths: anchor them.
    # run-clang-tidy always asks for colours; the log keeps plain text.
    run-clang-tidy-14 -quiet -j "$jobs" -p "$build" "${sources[@]/#/^$repo/}" 2>&1 |
        sed 's/\x1b\[[0-9;]*m//g' | grep -vE '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^clang-tidy-14 .*-quiet '
    local status=("${PIPESTATUS[@]}")
    return "${status[0]}"
}

check_cppcheck() {
    # shadowFunction: a local named after an accessor (text, timer, label) is this code's usual
    #                 naming, and -Wshadow already catches every shadowed variable.
    # useStlAlgorithm: short loops over a handful of entries read as well as std::find_if.
    # missingIncludeSystem: the system's headers are the compilers' business, not cppcheck's.
    product_sources | xargs cppcheck --std=c++20 --language=c++ --platform=win64 \
        --library=windows -I . -D_WIN32 -DUNICODE -D_UNICODE -DNOMINMAX -DWIN32_LEAN_AND_MEAN \
        --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 \
        -j "$jobs" --quiet --suppress=missingIncludeSystem --suppress=shadowFunction \
        --suppress=useStlAlgorithm
}

checks=("$@")
((${#checks[@]})) || checks=(format tidy cppcheck)
status=0
for check in "${checks[@]}"; do
    case "$check" in
    format) check_format || status=1 ;;
    tidy) check_tidy || status=1 ;;
    cppcheck) check_cppcheck || status=1 ;;
    *)
        echo "lint: unknown check $check" >&2
        exit 2
        ;;
    esac
done
((status == 0)) && echo "lint: ${checks[*]}: no findings"
exit "$status"
