#!/usr/bin/env bash
# The reliability suite's long variants (about 75 minutes): sets up, builds,
# and runs them through ctest with a time limit of their own. Each failure is
# printed as it happens and again in the closing summary.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
"$repo/scripts/setup.sh"
"$repo/scripts/build.sh"
ctest --test-dir "$repo/build/native" -C long -R '^e2e\.reliability_long$' -V "$@"
