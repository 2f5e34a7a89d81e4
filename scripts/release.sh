#!/usr/bin/env bash
# Builds the release: dist/Vistrel-<version>-win32.zip (the i686 program) and
# dist/Vistrel-<version>-win64.zip, each holding vistrel.exe, README.txt (the
# user guide), LISEZMOI.txt (the same in French) and LICENSE.txt, and
# dist/SHA256SUMS. The same commit gives the same bytes in any folder at any
# time.
# Usage: scripts/release.sh [--out DIR] [build-root]   (default: dist, build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$repo/dist
root=$repo/build
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    *) root=$1; shift ;;
  esac
done
mkdir -p "$out" "$root"
out=$(cd "$out" && pwd) root=$(cd "$root" && pwd)
jobs=${VISTREL_JOBS:-$(nproc)}

"$repo/scripts/setup.sh"

# The zip entries carry the commit's time: the same for every build of it.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if [ "$(git -C "$repo" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$repo" && pwd -P)" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$repo" log -1 --format=%ct)
  else
    SOURCE_DATE_EPOCH=315532800  # no history: 1980-01-01, the zip format's first day
  fi
fi
export SOURCE_DATE_EPOCH

# The same build folders as scripts/build.sh, so a developer's tree is reused;
# only the program itself (and libjpeg-turbo at configure time) is built.
for arch in win32 win64; do
  dir=$root/$arch
  toolchain=$repo/cmake/toolchain-mingw-$([ $arch = win32 ] && echo i686 || echo x86_64).cmake
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  fi
  cmake --build "$dir" -j "$jobs" --target vistrel
done

"$repo/tests/build/check_exe.sh" "$root/win32/vistrel.exe" "$root/win64/vistrel.exe" >/dev/null ||
  { "$repo/tests/build/check_exe.sh" "$root/win32/vistrel.exe" "$root/win64/vistrel.exe"; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/win32/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $root/win32/CMakeCache.txt"; exit 1; }
rm -f "$out"/Vistrel-*-win32.zip "$out"/Vistrel-*-win64.zip "$out/SHA256SUMS"
python=/usr/bin/python3
[ -x $python ] || python=python3
$python "$repo/scripts/package.py" --version "$version" --out "$out" \
  --guide "$repo/docs/user-guide.txt" --guide-fr "$repo/docs/user-guide-fr.txt" \
  --licence "$repo/LICENSE" \
  --notices "$repo/docs/third-party-notices.txt" \
  win32="$root/win32/vistrel.exe" win64="$root/win64/vistrel.exe"
echo "release $version in $out"
