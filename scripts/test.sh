#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through ctest:
# native unit tests, Windows-side unit tests under Wine, end-to-end tests of
# the real program under Wine on a private Xvfb display.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
"$repo/scripts/setup.sh"
"$repo/scripts/build.sh"
ctest --test-dir "$repo/build/native" --output-on-failure -j 2 "$@"
