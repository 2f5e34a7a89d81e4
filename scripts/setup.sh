#!/usr/bin/env bash
# Installs what building and testing Vistrel needs on a Debian 12 machine.
# Idempotent: does nothing when everything is already there.
set -euo pipefail

need_root() { if [ "$(id -u)" -ne 0 ]; then echo "sudo"; fi; }
SUDO=$(need_root)

packages=(
  cmake make g++ pkg-config clang-format
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
  nasm dpkg-dev
  libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
  wine wine64 wine32:i386 fonts-wine
  xvfb xdotool xclip imagemagick x11-utils xcompmgr x11-xserver-utils openbox
  xserver-xorg-core xserver-xorg-video-dummy libxinerama1:i386 libxrandr2:i386
  python3
  # The bench: the peers it sets the program beside, and the X headers of its
  # native screen read.
  scrot maim x11-apps libx11-dev libxext-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/debian-src.sources
updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing+=(wine32:i386)
fi
if [ ! -f "$src_list" ]; then
  # Source packages are needed for the libjpeg-turbo cross build.
  $SUDO tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  updated=2
fi

# A mirror caught mid-sync fails one index now and then; what the other indexes
# give is usually enough, so a failed update is retried and then let pass.
apt_update() {
  local try
  for try in 1 2 3; do
    $SUDO apt-get update -qq && return 0
    echo "setup: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 5))
  done
  echo "setup: going on with the package lists as they are" >&2
}
if [ ${#missing[@]} -gt 0 ] || [ $updated -eq 2 ]; then
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null; }
  # When one architecture's security index failed to load, a 32-bit library can only
  # match its 64-bit twin at the release's own version: prefer the release suite then.
  install || { echo "setup: installing again from the release suite" >&2; install -t bookworm; }
fi
