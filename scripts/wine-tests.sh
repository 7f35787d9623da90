#!/usr/bin/env bash
# Runs the end-to-end suite against KELVADOR.EXE under Wine and compares every
# case with the Linux build: arguments and messages, the settings file, the
# definition file through the real GetPrivateProfileStringA, and extractions
# through Wine's odbc32 and the 32-bit SQLite ODBC driver.
# Installs Wine and the 32-bit driver where it can (Debian, as root or with
# sudo); when Wine cannot be installed or run, says so and exits 0 (skipped).
# Usage: scripts/wine-tests.sh [--only arguments|settings|extraction|definition] [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

skip() {
  echo "wine tests SKIPPED: $*"
  exit 0
}

SUDO=""; [[ $(id -u) -ne 0 ]] && SUDO=sudo
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

wanted=(wine wine32:i386 libsqliteodbc:i386 unixodbc:i386 odbcinst g++-mingw-w64-i686)
missing=()
for package in "${wanted[@]}"; do installed "$package" || missing+=("$package"); done
if ((${#missing[@]})); then
  command -v apt-get >/dev/null || skip "no apt-get to install ${missing[*]}"
  [[ -z $SUDO ]] || sudo -n true 2>/dev/null || skip "cannot install ${missing[*]} (not root)"
  echo "installing: ${missing[*]}"
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq || skip "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null || skip "could not install ${missing[*]}"
fi

# Wine must work headless: no X display, its diagnostics on standard error.
unset DISPLAY WAYLAND_DISPLAY
probe=$(mktemp -d)
trap 'WINEPREFIX=$probe wineserver -k 2>/dev/null || true; rm -rf "$probe" "$probe.out"' EXIT
# The answer goes to a file: Wine's background processes would hold a pipe open.
WINEPREFIX=$probe WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  timeout 180 wine cmd /c echo wine-ok >"$probe.out" 2>/dev/null </dev/null || true
grep -q wine-ok "$probe.out" || skip "wine does not run here without a display"
WINEPREFIX=$probe wineserver -k 2>/dev/null || true

echo "== building KELVADOR.EXE (build-windows) and the Linux reference (build-windows-linux)"
scripts/windows-build.sh >/dev/null
cmake -S . -B build-windows-linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVADOR_TESTS=OFF >/dev/null
cmake --build build-windows-linux -j"$jobs" --target kelvador kelvador-settings >/dev/null

python3 tests/windows/wine_suite.py --exe build-windows/bin/KELVADOR.EXE \
  --linux-bin build-windows-linux/bin "$@"
