#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# fp-utils brings chmcmd and chmls, which compile and read the help file.
set -euo pipefail
packages=(g++ cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine64 fonts-wine
          xvfb xdotool imagemagick nsis zip unzip fp-utils clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
