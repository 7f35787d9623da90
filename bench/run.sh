#!/usr/bin/env bash
# Measures kelvador against what a user would run instead and against the
# database's own fetch speed, and prints a markdown table of the medians.
#
# Usage: bench/run.sh [options]
#   -n, --sizes "N ..."     row counts to measure (default "100000 1000000 5000000")
#   -r, --repeat K          timed runs per tool and size (default 5)
#   --pg-sizes "N ..."      row counts for PostgreSQL (default: the same sizes)
#   --no-pg                 skip PostgreSQL
#   --spill-rows N          also extract N rows (20000000 for the 2.4 GB check)
#                           with a memory budget, against an in-memory run
#   --budget-mb M           memory budget of the spill runs (default 256)
#   --no-deps               do not run scripts/install-deps.sh
#   --keep                  keep the generated databases and download files
#
# For every size it builds a deterministic SQLite table (bench/generate.sql)
# and an installation tree kelvador runs in, then times, round after round:
#   kelvador   kelvador BENCH T out.txt 1 (replace mode, fsync included)
#   pipeline   sqlite3 with SQL string functions | LC_ALL=C sort | tr -d '\n'
#   floor      bench_sqlite_floor: fetch every item's text, write nothing
# and the same three on PostgreSQL (psql \copy, bench_pg_floor in single-row
# mode) against a throwaway server from scripts/test-servers.sh. The pipeline's
# bytes are compared with kelvador's download file (cmp); a run whose bytes or
# summary line differ stops the benchmark. At the largest size it also runs
# kelvador with KELVADOR_MEMORY_BUDGET_MB (spilling to temporary files) and
# compares the bytes with the in-memory run.
#
# Every timed command starts after a sync, so that no tool pays for writeback
# another one left behind. Wall time is taken around each command; peak memory is /usr/bin/time's
# maximum resident set size (for a pipeline: its largest process); CPU time is
# user plus system time of the command and its children. Results go
# to standard output and bench/out/results.md; the samples to
# bench/out/samples.tsv. Large files live in bench/out/work and are removed
# at the end unless --keep is given.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench=$repo/bench
out=$bench/out
work=$out/work
build=$repo/build-bench
bin=$build/bin

sizes="100000 1000000 5000000"
repeat=5
pg_sizes=""
with_pg=1
spill_rows=""
budget_mb=256
install_deps=1
keep=0
section=BENCH
record_length=120  # the widths of the BENCH section added up

usage() { sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed -e '$d' -e 's/^# \{0,1\}//'; }

while (($#)); do
  case $1 in
    -n|--sizes) sizes=$2; shift 2 ;;
    -r|--repeat) repeat=$2; shift 2 ;;
    --pg-sizes) pg_sizes=$2; shift 2 ;;
    --no-pg) with_pg=0; shift ;;
    --spill-rows) spill_rows=$2; shift 2 ;;
    --budget-mb) budget_mb=$2; shift 2 ;;
    --no-deps) install_deps=0; shift ;;
    --keep) keep=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
[[ -n $pg_sizes ]] || pg_sizes=$sizes
for n in $sizes $pg_sizes $spill_rows "$repeat" "$budget_mb"; do
  [[ $n =~ ^[1-9][0-9]*$ ]] || { echo "run.sh: not a positive number: $n" >&2; exit 2; }
done

die() { echo "run.sh: $*" >&2; exit 1; }
note() { echo "-- $*" >&2; }

# ---------------------------------------------------------------- set up
cd "$repo"
if ((install_deps)); then scripts/install-deps.sh test; fi
for tool in sqlite3 cmake /usr/bin/time; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh test)"
done

note "building into $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVADOR_TESTS=OFF >/dev/null
targets=(kelvador kelvador-settings bench_sqlite_floor)
((with_pg)) && targets+=(bench_pg_floor)
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null

load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
mkdir -p "$out"
rm -rf "$work"
mkdir -p "$work"
samples=$out/samples.tsv
spills=$out/spill.tsv
printf 'database\tN\ttool\twall_s\tpeak_kib\tcpu_s\n' >"$samples"
printf 'N\tbudget_mb\twall_s\tpeak_kib\tcpu_s\tfile_bytes\tidentical\tleftovers\n' >"$spills"

pg_started=0
cleanup() {
  if ((pg_started)); then stop_test_servers; fi
  if ((!keep)); then rm -rf "$work"; fi
}
trap cleanup EXIT

# Writes one settings value with the companion tool, the value on standard
# input so that it never shows in a process list.
set_setting() {  # file, key, value
  printf '%s' "$3" | "$bin/kelvador-settings" set "$1" "$2" - >/dev/null ||
    die "kelvador-settings could not write $2 into $1"
}

# An installation tree: ROOT/Files/Vantorium.Ini and the working folder
# ROOT/work/app two levels below it, holding the definition file.
make_installation() {  # root, NET8, LOGIN, PASS, DB_SYSTEM, definition file
  local root=$1
  mkdir -p "$root/Files" "$root/work/app"
  rm -f "$root/Files/Vantorium.Ini"
  set_setting "$root/Files/Vantorium.Ini" NET8 "$2"
  set_setting "$root/Files/Vantorium.Ini" LOGIN "$3"
  set_setting "$root/Files/Vantorium.Ini" PASS "$4"
  set_setting "$root/Files/Vantorium.Ini" DB_SYSTEM "$5"
  cp "$6" "$root/work/app/"
}

# The statement kelvador runs: the definition's lines, each after one blank,
# and one blank at the end.
statement_of() {  # definition file
  local line text=""
  while IFS= read -r line; do
    line=${line%$'\r'}
    [[ $line =~ ^SQL[0-9]{3}=(.*)$ ]] && text+=" ${BASH_REMATCH[1]}"
  done <"$1"
  printf '%s ' "$text"
}

# Runs a command once and prints "wall_seconds peak_kib cpu_seconds" (user and
# system time of the command and its children); fails when the
# command fails. The command's own output goes to $work/last.stdout.
time_once() {
  local tfile=$work/time.out start end
  start=$(date +%s%N)
  if ! /usr/bin/time -f '%M %U %S' -o "$tfile" "$@" >"$work/last.stdout"; then
    cat "$tfile" >&2
    return 1
  fi
  end=$(date +%s%N)
  tail -n 1 "$tfile" | awk -v ns=$((end - start)) '{ printf "%.3f %d %.2f\n", ns / 1e9, $1, $2 + $3 }'
}

record_sample() {  # database, N, tool, command...
  local database=$1 n=$2 tool=$3; shift 3
  local result
  # The pipeline leaves its files unsynced; their writeback is its cost and
  # must not fall into the next tool's time.
  sync
  result=$(time_once "$@") || die "$database $tool at N=$n failed"
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$database" "$n" "$tool" ${result} >>"$samples"
  set -- ${result}
  note "$database N=$n $tool: $1 s, $(($2 / 1024)) MiB, CPU $3 s"
}

# Runs kelvador in its working folder and checks its summary line.
run_kelvador() {  # working folder, N, target, [VAR=value ...]
  local app=$1 n=$2 target=$3; shift 3
  (cd "$app" && env "$@" "$bin/kelvador" "$section" T "$target" 1 >"$work/kelvador.stdout" 2>"$work/kelvador.stderr") ||
    return 1
  local want="$n Saetze kopiert in Datei $target "
  if [[ $(cat "$work/kelvador.stdout") != "$want" ]]; then
    echo "kelvador printed:" >&2; cat "$work/kelvador.stdout" "$work/kelvador.stderr" >&2
    return 1
  fi
}
export -f run_kelvador
export bin work section

check_same() {  # what, file a, file b, expected size
  local size; size=$(stat -c %s "$2")
  [[ $size == "$4" ]] || die "$1: $2 has $size bytes, expected $4"
  cmp "$2" "$3" >/dev/null || die "$1: $2 and $3 differ ($(cmp "$2" "$3" 2>&1 | head -n 1))"
  note "$1: identical bytes ($size)"
}

# Files in the working folder besides the definition and the download files
# (a spilling run must remove its temporary files).
leftovers() {  # working folder
  find "$1" -mindepth 1 -maxdepth 1 ! -name 'KELVADOR.*.INI' ! -name 'out.txt' \
    ! -name 'spill.txt' ! -name 'memory.txt' -printf '%f ' | sed 's/ $//'
}

generate() {  # database file, N
  rm -f "$1"
  sqlite3 -cmd ".parameter set @n $2" "$1" <"$bench/generate.sql" >/dev/null
}

# ---------------------------------------------------------------- SQLite
sqlite_root=$work/sqlite
sqlite_app=$sqlite_root/work/app
sqlite_db=$sqlite_root/Files/bench.db
make_installation "$sqlite_root" "sqlite:../../Files/bench.db" bench bench SQLITE \
  "$bench/KELVADOR.SQLITE.INI"
sqlite_statement=$(statement_of "$bench/KELVADOR.SQLITE.INI")

bench_sqlite() {  # N
  local n=$1 round
  local pipeline="set -o pipefail; sqlite3 -batch -noheader -list '$sqlite_db' <'$bench/pipeline-sqlite.sql' | LC_ALL=C sort | tr -d '\\n' >'$work/pipe.txt'"
  "$bin/bench_sqlite_floor" "$sqlite_db" "$sqlite_statement" >/dev/null  # warms the page cache
  for ((round = 1; round <= repeat; round++)); do
    record_sample sqlite "$n" kelvador bash -c 'run_kelvador "$1" "$2" out.txt' _ "$sqlite_app" "$n"
    record_sample sqlite "$n" pipeline bash -c "$pipeline"
    record_sample sqlite "$n" floor "$bin/bench_sqlite_floor" "$sqlite_db" "$sqlite_statement"
  done
  check_same "sqlite N=$n pipeline" "$sqlite_app/out.txt" "$work/pipe.txt" $((n * record_length))
}

# kelvador under a memory budget against the in-memory run's file.
spill_check() {  # N, file of an in-memory run
  local n=$1 reference=$2 result left
  sync
  result=$(time_once bash -c 'run_kelvador "$1" "$2" spill.txt "KELVADOR_MEMORY_BUDGET_MB=$3"' _ \
    "$sqlite_app" "$n" "$budget_mb") || die "spill run at N=$n failed"
  left=$(leftovers "$sqlite_app")
  local identical=no
  cmp "$reference" "$sqlite_app/spill.txt" >/dev/null && identical=yes
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$n" "$budget_mb" ${result} "$(stat -c %s "$reference")" \
    "$identical" "${left:-none}" >>"$spills"
  set -- ${result}
  note "spill N=$n budget ${budget_mb} MiB: $1 s, $(($2 / 1024)) MiB, identical: $identical, left behind: ${left:-none}"
  rm -f "$sqlite_app/spill.txt"
}

# ---------------------------------------------------------------- PostgreSQL
pg_ready=0
if ((with_pg)); then
  # shellcheck source=../scripts/test-servers.sh
  source "$repo/scripts/test-servers.sh"
  if start_test_servers >&2; then
    pg_started=1
    pg_socket=(-h "$KELVADOR_TEST_PG_SOCKET_DIR" -p "$KELVADOR_TEST_PG_PORT")
    pg_database=kvbench
    # SQL_ASCII keeps text as bytes, so the pipeline's right() and rpad() count
    # bytes as kelvador does; the names' UTF-8 passes through unchanged.
    psql -X -q -v ON_ERROR_STOP=1 "${pg_socket[@]}" -U postgres -d postgres \
      -c "CREATE DATABASE $pg_database OWNER $KELVADOR_TEST_PG_USER ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0" \
      -c "ALTER DATABASE $pg_database SET search_path = vtsystem, public" >/dev/null
    psql -X -q -v ON_ERROR_STOP=1 "${pg_socket[@]}" -U postgres -d "$pg_database" \
      -c "SET ROLE $KELVADOR_TEST_PG_USER" -c "CREATE SCHEMA vtsystem" >/dev/null
    pg_net8=postgresql://127.0.0.1:$KELVADOR_TEST_PG_PORT/$pg_database
    pg_conninfo="host=127.0.0.1 port=$KELVADOR_TEST_PG_PORT dbname=$pg_database user=$KELVADOR_TEST_PG_USER password=$KELVADOR_TEST_PG_PASSWORD"
    pg_root=$work/pg
    pg_app=$pg_root/work/app
    make_installation "$pg_root" "$pg_net8" "$KELVADOR_TEST_PG_USER" "$KELVADOR_TEST_PG_PASSWORD" PG \
      "$bench/KELVADOR.PG.INI"
    pg_statement=$(statement_of "$bench/KELVADOR.PG.INI")
    pg_query=$(grep -v '^--' "$bench/pipeline-pg.sql")
    pg_ready=1
  else
    note "no PostgreSQL server: PostgreSQL figures left out"
  fi
fi

load_pg() {  # N (from the SQLite file of the same N)
  note "loading $1 rows into PostgreSQL"
  psql -X -q -v ON_ERROR_STOP=1 "${pg_socket[@]}" -U postgres -d "$pg_database" \
    -c "SET ROLE $KELVADOR_TEST_PG_USER" -c "SET search_path = vtsystem" \
    -c "SET client_min_messages = warning" -f "$bench/load-pg.sql" >/dev/null
  sqlite3 -csv "$sqlite_db" "SELECT id, name, amount, day, note, code FROM bench_rows" |
    psql -X -q -v ON_ERROR_STOP=1 "${pg_socket[@]}" -U postgres -d "$pg_database" \
      -c "SET ROLE $KELVADOR_TEST_PG_USER" -c "SET search_path = vtsystem" \
      -c "\\copy bench_rows FROM STDIN WITH (FORMAT csv)" >/dev/null
  psql -X -q -v ON_ERROR_STOP=1 "${pg_socket[@]}" -U postgres -d "$pg_database" \
    -c "VACUUM ANALYZE vtsystem.bench_rows" >/dev/null
}

bench_pg() {  # N
  local n=$1 round
  export PGPASSWORD=$KELVADOR_TEST_PG_PASSWORD
  local pipeline="set -o pipefail; psql -X -q -h 127.0.0.1 -p $KELVADOR_TEST_PG_PORT -U $KELVADOR_TEST_PG_USER -d $pg_database -c \"\\\\copy ($pg_query) TO STDOUT\" | LC_ALL=C sort | tr -d '\\n' >'$work/pipe.txt'"
  "$bin/bench_pg_floor" "$pg_conninfo" "$pg_statement" >/dev/null  # warms the server's cache
  for ((round = 1; round <= repeat; round++)); do
    record_sample postgresql "$n" kelvador bash -c 'run_kelvador "$1" "$2" out.txt' _ "$pg_app" "$n"
    record_sample postgresql "$n" pipeline bash -c "$pipeline"
    record_sample postgresql "$n" floor "$bin/bench_pg_floor" "$pg_conninfo" "$pg_statement"
  done
  unset PGPASSWORD
  check_same "postgresql N=$n pipeline" "$pg_app/out.txt" "$work/pipe.txt" $((n * record_length))
}

# ---------------------------------------------------------------- runs
largest=$(printf '%s\n' $sizes | sort -n | tail -n 1)
for n in $(printf '%s\n' $sizes | sort -n); do
  note "generating $n rows"
  generate "$sqlite_db" "$n"
  bench_sqlite "$n"
  if ((n == largest)); then spill_check "$n" "$sqlite_app/out.txt"; fi
  if ((pg_ready)) && [[ " $pg_sizes " == *" $n "* ]]; then
    load_pg "$n"
    bench_pg "$n"
  fi
  rm -f "$work/pipe.txt"
done
for n in $(printf '%s\n' $pg_sizes | sort -n); do
  [[ " $sizes " == *" $n "* ]] && continue
  if ((pg_ready)); then
    generate "$sqlite_db" "$n"
    load_pg "$n"
    bench_pg "$n"
  fi
done

if [[ -n $spill_rows ]]; then
  avail_kib=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
  need_kib=$((spill_rows * (record_length * 3 + 130) / 1024))
  if ((avail_kib < need_kib)); then
    note "spill run of $spill_rows rows skipped: needs about $((need_kib / 1048576)) GiB free in $work"
  else
    note "generating $spill_rows rows for the spill run"
    rm -f "$sqlite_app/out.txt" "$work/pipe.txt"
    generate "$sqlite_db" "$spill_rows"
    # The reference: a budget larger than the file, so the records stay in memory.
    result=$(time_once bash -c 'run_kelvador "$1" "$2" memory.txt "KELVADOR_MEMORY_BUDGET_MB=$3"' _ \
      "$sqlite_app" "$spill_rows" $(( (spill_rows * record_length * 2) / 1048576 + 1024 ))) ||
      die "in-memory run at N=$spill_rows failed"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$spill_rows" in-memory ${result} \
      "$(stat -c %s "$sqlite_app/memory.txt")" reference - >>"$spills"
    set -- ${result}
    note "in-memory N=$spill_rows: $1 s, $(($2 / 1024)) MiB"
    [[ $(stat -c %s "$sqlite_app/memory.txt") == $((spill_rows * record_length)) ]] ||
      die "in-memory run at N=$spill_rows wrote a file of the wrong size"
    spill_check "$spill_rows" "$sqlite_app/memory.txt"
    rm -f "$sqlite_app/memory.txt" "$sqlite_db"
  fi
fi

# ---------------------------------------------------------------- report
report=$out/results.md
{
  echo "## Benchmark: kelvador against the shell pipeline and the fetch-only floor"
  echo
  echo "Machine: $(nproc) cores ($(grep -m 1 'model name' /proc/cpuinfo | sed 's/.*: //')), $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) memory; $(sqlite3 --version | cut -d' ' -f1-1 | sed 's/^/SQLite /')$( ((pg_ready)) && echo ", PostgreSQL $(psql --version | awk '{ print $3 }')"); kelvador $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo "(no git)"); load average at the start $load_at_start, at the end $(cut -d" " -f1-3 /proc/loadavg)."
  echo "Command: \`bench/run.sh --sizes \"$sizes\" --repeat $repeat$( ((with_pg)) || echo ' --no-pg')$([[ $pg_sizes != "$sizes" ]] && echo " --pg-sizes \"$pg_sizes\"")$([[ -n $spill_rows ]] && echo " --spill-rows $spill_rows")\`; medians of $repeat runs each; records of $record_length bytes; replace mode (fsync included)."
  echo
  awk -F'\t' -v record_length="$record_length" '
    NR == 1 { next }
    {
      key = $1 SUBSEP $2 SUBSEP $3
      count[key]++; wall[key, count[key]] = $4; peak[key, count[key]] = $5; cpu[key, count[key]] = $6
      if (!(($1 SUBSEP $2) in seen)) { seen[$1 SUBSEP $2] = 1; order[++groups] = $1 SUBSEP $2 }
    }
    function median(a, key, n,    i, j, v, t) {
      for (i = 1; i <= n; i++) v[i] = a[key, i] + 0
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    END {
      print "| database | N | tool | median wall s | median CPU s | median peak MiB | kelvador ÷ tool (wall) | download file MiB | peak ÷ file |"
      print "|---|---:|---|---:|---:|---:|---:|---:|---:|"
      for (g = 1; g <= groups; g++) {
        split(order[g], part, SUBSEP); db = part[1]; n = part[2]
        file_mib = n * record_length / 1048576
        kk = db SUBSEP n SUBSEP "kelvador"
        kw = count[kk] ? median(wall, kk, count[kk]) : 0
        split("kelvador pipeline floor", tools, " ")
        for (t = 1; t <= 3; t++) {
          key = db SUBSEP n SUBSEP tools[t]
          if (!count[key]) continue
          w = median(wall, key, count[key]); p = median(peak, key, count[key]) / 1024; c = median(cpu, key, count[key])
          ratio = (tools[t] == "kelvador" || w == 0) ? "" : sprintf("%.2f", kw / w)
          per_file = (tools[t] == "kelvador") ? sprintf("%.2f", p / file_mib) : ""
          printf "| %s | %d | %s | %.2f | %.2f | %.0f | %s | %.1f | %s |\n", db, n, tools[t], w, c, p, ratio, file_mib, per_file
        }
      }
    }' "$samples"
  if (($(wc -l <"$spills") > 1)); then
    echo
    echo "Memory budget (KELVADOR_MEMORY_BUDGET_MB) against an in-memory run of the same rows:"
    echo
    echo "| N | budget MiB | wall s | peak MiB | download file MiB | identical bytes | files left behind |"
    echo "|---:|---|---:|---:|---:|---|---|"
    awk -F'\t' 'NR > 1 { printf "| %d | %s | %.2f | %.0f | %.1f | %s | %s |\n", $1, $2, $3, $4 / 1024, $6 / 1048576, $7, $8 }' "$spills"
  fi
  echo
  echo "Targets:"
  echo
  awk -F'\t' -v record_length="$record_length" -v budget="$budget_mb" '
    FNR == 1 { file++; next }
    file == 1 {
      key = $1 SUBSEP $2 SUBSEP $3
      count[key]++; wall[key, count[key]] = $4; peak[key, count[key]] = $5
      sizes[$1 SUBSEP $2] = 1
    }
    file == 2 && $2 != "in-memory" { spill[++spills] = $0 }
    function median(a, key, n,    i, j, v, t) {
      for (i = 1; i <= n; i++) v[i] = a[key, i] + 0
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    function mwall(db, n, tool,    key) {
      key = db SUBSEP n SUBSEP tool
      return count[key] ? median(wall, key, count[key]) : -1
    }
    function mpeak(db, n, tool,    key) {
      key = db SUBSEP n SUBSEP tool
      return count[key] ? median(peak, key, count[key]) : -1
    }
    function verdict(ok) { return ok ? "met" : "**missed**" }
    END {
      for (s in sizes) {
        split(s, part, SUBSEP); db = part[1]; n = part[2] + 0
        if (n < 1000000) continue
        k = mwall(db, n, "kelvador"); f = mwall(db, n, "floor"); p = mwall(db, n, "pipeline")
        if (k <= 0 || f <= 0) continue
        if (db == "postgresql" && n != 1000000) {
          printf "- %s N=%d: kelvador %.2f x the floor (the target is set at 1M rows only)\n", db, n, k / f
        } else {
          printf "- %s N=%d: kelvador %.2f x the floor (target at most 1.5): %s\n", db, n, k / f, verdict(k / f <= 1.5)
        }
        if (db == "sqlite") {
          printf "- %s N=%d: pipeline %.2f x kelvador (target at least 4): %s\n", db, n, p / k, verdict(p / k >= 4)
          file_mib = n * record_length / 1048576; pk = mpeak(db, n, "kelvador") / 1024
          printf "- %s N=%d: peak %.0f MiB against 1.2 x %.0f + 32 = %.0f MiB: %s\n", db, n, pk, file_mib, 1.2 * file_mib + 32, verdict(pk <= 1.2 * file_mib + 32)
        }
      }
      for (i = 1; i <= spills; i++) {
        split(spill[i], r, "\t")
        printf "- budget %s MiB, N=%d (file %.0f MiB): peak %.0f MiB (target at most %d), identical bytes: %s, files left behind: %s: %s\n", r[2], r[1], r[6] / 1048576, r[4] / 1024, budget + 44, r[7], r[8], verdict(r[4] / 1024 <= budget + 44 && r[7] == "yes" && r[8] == "none")
      }
    }' "$samples" "$spills" | sort
} >"$report"
cp "$report" "$out/results-$(date +%Y%m%d-%H%M%S).md"
cat "$report"
