#!/usr/bin/env bash
# Sets up the machine, builds Vistrel and starts it under Wine: on $DISPLAY
# when set, otherwise on a private Xvfb display.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
"$repo/scripts/setup.sh"
"$repo/scripts/build.sh"
run_dir=$(cat "$repo/build/run_dir")

export WINEPREFIX=${WINEPREFIX:-$repo/build/wineprefix-run}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=${LANG:-C.UTF-8}
if [ "$(basename "$run_dir")" = win64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  wine=/usr/lib/wine/wine64
else
  wine=wine
fi

if [ -z "${DISPLAY:-}" ]; then
  n=77
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  echo "Vistrel runs on the private display $DISPLAY (Xvfb, 1280x800)."
  echo "Look at it with:  DISPLAY=$DISPLAY import -window root shot.png"
  echo "Keys reach Wine only through a focused Wine window (e.g. DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $wine notepad &, then xdotool)."
fi
# Debian's Wine does not find the fonts of fonts-wine by itself: without them
# "MS Sans Serif" falls back to a wider face and texts no longer fit.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -u >/dev/null 2>&1 || true
fi
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
echo "Starting $run_dir/vistrel.exe (it sits in the tray; F12 captures). Ctrl+C ends it."
"$wine" "$run_dir/vistrel.exe"
WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
