#!/usr/bin/env bash
# Builds Vistrel: the Windows program for i686 (release) and x86_64, and the
# native library with its unit tests. Usage: scripts/build.sh [build-root]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$repo/build}
jobs=${VISTREL_JOBS:-$(nproc)}

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.configure.log" 2>&1 ||
      { cat "$dir.configure.log"; exit 1; }
  fi
}

mkdir -p "$root"
configure "$root/win32" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-i686.cmake"
configure "$root/win64" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-x86_64.cmake"

# The tests run the build that this machine's Wine can run: 32-bit Wine needs
# the kernel's 32-bit emulation, which some machines switch off. That build is
# made whole (program, test programs, probes); the other only has to compile
# the program.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  run_dir=$root/win32 other_dir=$root/win64
else
  run_dir=$root/win64 other_dir=$root/win32
fi
cmake --build "$run_dir" -j "$jobs"
cmake --build "$other_dir" -j "$jobs" --target vistrel
configure "$root/native" -DVISTREL_WIN_BUILD_DIR="$run_dir"
cmake "$root/native" -DVISTREL_WIN_BUILD_DIR="$run_dir" >/dev/null
cmake --build "$root/native" -j "$jobs"
echo "$run_dir" >"$root/run_dir"
