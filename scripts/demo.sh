#!/usr/bin/env bash
# Builds kelvador, builds the demo database from examples/demo/demo.sql, runs
# the usage example in the demo installation and shows the download file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVADOR_TESTS=OFF >/dev/null
cmake --build build-demo -j"$(nproc)" --target kelvador kelvador-settings

demo=examples/demo
rm -f "$demo/Files/demo.db"
sqlite3 "$demo/Files/demo.db" < "$demo/demo.sql"

echo "== settings (examples/demo/Files/Vantorium.Ini, deciphered)"
build-demo/bin/kelvador-settings list "$demo/Files/Vantorium.Ini"
echo "== cd examples/demo/work/app && kelvador KVDNL31P ZutCtrl kvdnl31p.txt 1"
(cd "$demo/work/app" && ../../../../build-demo/bin/kelvador KVDNL31P ZutCtrl kvdnl31p.txt 1)
echo "== kvdnl31p.txt ($(wc -c < "$demo/work/app/kvdnl31p.txt") bytes, one 53-byte record per line here)"
fold -b -w 53 "$demo/work/app/kvdnl31p.txt"
echo
