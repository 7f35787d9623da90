#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when missing.
# Usage: scripts/install-deps.sh [build|test]   (default: test, which is everything)
set -euo pipefail

build_packages=(cmake make g++ pkg-config libsqlite3-dev libpq-dev unixodbc-dev sqlite3)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev nettle-dev
  postgresql postgresql-client odbc-postgresql libsqliteodbc unixodbc
  clang libclang-rt-14-dev time hyperfine util-linux)

wanted=("${build_packages[@]}")
[[ "${1:-test}" == test ]] && wanted+=("${test_packages[@]}")

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""; [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
