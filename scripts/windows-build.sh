#!/usr/bin/env bash
# Cross-builds KELVADOR.EXE (and the companion kelvador-settings.exe) for 32-bit
# Windows into build-windows/bin with mingw-w64 (the CMake preset "windows").
# Installs the cross compiler when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
  echo "installing: g++-mingw-w64-i686"
  SUDO=""; [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    g++-mingw-w64-i686 >/dev/null
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
echo "built: $PWD/build-windows/bin/KELVADOR.EXE and kelvador-settings.exe"
