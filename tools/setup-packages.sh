#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
# fp-utils brings chmcmd and chmls, which compile and read the help file.
# wine32 (from the i386 architecture) is Wine's half that runs 32-bit
# programs, as most setups are; wixl builds Windows Installer packages.
set -euo pipefail
packages=(g++ cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine64 wine32:i386 fonts-wine
          xvfb xdotool imagemagick nsis wixl zip unzip fp-utils clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  # wine32:i386 comes from the i386 architecture, which a fresh 64-bit
  # system does not know yet.
  if [[ " ${missing[*]} " = *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
