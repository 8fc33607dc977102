#!/usr/bin/env bash
# The weight of the tests against the program: non-blank lines of test code (everything under
# tests/ in C, C++, Python and shell: the unit tests, the fuzz targets, the end-to-end tests with
# their driver and fixtures) against the program's C and C++ outside tests/, bench/ and tools/.
# Counts what git tracks. Prints one line; exits non-zero only when git cannot list the files.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() { xargs -r cat | grep -c -v -E '^\s*$' || true; }
files=$(git ls-files)
tests=$(grep -E '^tests/.*\.(c|cc|cpp|cxx|h|hh|hpp|py|sh)$' <<<"$files" | count)
program=$(grep -E '\.(c|cc|cpp|cxx|h|hh|hpp)$' <<<"$files" | grep -v -E '^(tests|bench|tools)/' |
    count)
awk -v t="$tests" -v p="$program" 'BEGIN {
    printf "weight: tests are %.1f %% of tests and program together (%d test lines, %d program lines, non-blank)\n",
        100 * t / (t + p), t, p }'
