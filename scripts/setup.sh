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
  xvfb xdotool xclip imagemagick x11-utils xcompmgr x11-xserver-utils
  python3
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

if [ ${#missing[@]} -gt 0 ] || [ $updated -eq 2 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
