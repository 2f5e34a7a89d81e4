#!/usr/bin/env bash
# The whole benchmark in one run: builds what it needs in its own build root,
# installs the peer tools if missing, then prints the table and writes
# docs/bench.md and docs/bench.png.
#
#   bench/run.sh [--quick] [--runs N] [--rounds N] [--idle-seconds S] [--hold S] [--no-docs]
#                [--only PARTS] [--json FILE]      (bench/README.md lists the parts)
#
# VISTREL_BENCH_ROOT (default build-bench) is the build root;
# VISTREL_WINEPREFIX the Wine prefix (default /tmp/wine-bench-<arch>).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
root=${VISTREL_BENCH_ROOT:-$repo/build-bench}

# The peers the program is set beside (scrot, maim, ImageMagick's import, xwd)
# and the X headers of the native screen read come with the set-up, which
# copes with a package mirror caught mid-sync.
if ! command -v scrot >/dev/null || ! command -v maim >/dev/null || ! command -v xwd >/dev/null ||
  [ ! -x /usr/bin/import ] || [ ! -f /usr/include/X11/extensions/XShm.h ]; then
  "$repo/scripts/setup.sh"
fi

mkdir -p "$root"
VISTREL_JOBS=${VISTREL_JOBS:-2} "$repo/scripts/build.sh" "$root" >"$root/bench-build.log" 2>&1 ||
  { tail -40 "$root/bench-build.log"; exit 1; }
exec python3 "$repo/bench/run.py" --root "$root" "$@"
