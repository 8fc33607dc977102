#!/usr/bin/env bash
# Mutation testing of the portable logic against the unit tests (a developer's tool, not part of
# CI): writes docs/testing.md. Needs what tools/setup.sh installs. Arguments go to mutation.py.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exec nice -n 10 python3 "$repo/tools/mutation.py" "$@"
