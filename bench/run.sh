#!/usr/bin/env bash
# The whole benchmark in one run: builds what it needs in its own build root,
# installs the peer tools if missing, then prints the table and writes
# docs/bench.md and docs/bench.png.
#
#   bench/run.sh [--quick] [--runs N] [--idle-seconds S] [--hold S] [--no-docs]
#
# VISTREL_BENCH_ROOT (default build-bench) is the build root;
# VISTREL_WINEPREFIX the Wine prefix (default /tmp/wine-bench-<arch>).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
root=${VISTREL_BENCH_ROOT:-$repo/build-bench}

# The peers the program is set beside: scrot, maim, ImageMagick's import, xwd.
need=()
command -v scrot >/dev/null || need+=(scrot)
command -v maim >/dev/null || need+=(maim)
command -v xwd >/dev/null || need+=(x11-apps)
[ -x /usr/bin/import ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "bench: installing ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

mkdir -p "$root"
VISTREL_JOBS=${VISTREL_JOBS:-2} "$repo/scripts/build.sh" "$root" >"$root/bench-build.log" 2>&1 ||
  { tail -40 "$root/bench-build.log"; exit 1; }
exec python3 "$repo/bench/run.py" --root "$root" "$@"
