# Starts and stops the throwaway database servers the tests talk to.
#
# Sourced by scripts/test.sh; also usable by hand from the repository root:
#
#   source scripts/test-servers.sh
#   start_test_servers          # prints what it exported
#   (cd build-NAME && ctest -R 'postgresql|odbc')
#   stop_test_servers           # stops the server, removes its folder
#
# start_test_servers creates a temporary folder with a PostgreSQL cluster
# (initdb as the postgres system user when run as root), listening on
# 127.0.0.1 at a free port (password required) and on a Unix socket inside the
# folder, a database and a login role with a password, and the schema vtsystem
# loaded from tests/servers/vtsystem.sql. The same tables go into an SQLite
# file. Test-local odbcinst.ini and odbc.ini define the ODBC drivers and data
# sources. It exports:
#
#   KELVADOR_TEST_PG_URI        postgresql://127.0.0.1:PORT/DATABASE
#   KELVADOR_TEST_PG_HOST, KELVADOR_TEST_PG_PORT, KELVADOR_TEST_PG_DATABASE
#   KELVADOR_TEST_PG_USER, KELVADOR_TEST_PG_PASSWORD   the login role
#   KELVADOR_TEST_PG_SOCKET_DIR Unix socket folder (superuser "postgres",
#                               no password, for setting up fixtures)
#   KELVADOR_TEST_PG_DSN        ODBC data source to it (psqlODBC Unicode)
#   KELVADOR_TEST_PG_ANSI_DSN   the same through the psqlODBC ANSI driver
#   KELVADOR_TEST_ODBC_PG_DRIVER      driver name for connection strings
#   KELVADOR_TEST_SQLITE_DB     SQLite file with the vtsystem tables
#   KELVADOR_TEST_SQLITE_DSN    ODBC data source to that file
#   KELVADOR_TEST_ODBC_SQLITE_DRIVER  driver name for connection strings
#   ODBCSYSINI, ODBCINI         point unixODBC at the test-local files
#
# Tests that need these skip when they are absent. Needs the Debian packages
# postgresql, odbc-postgresql, libsqliteodbc, unixodbc and sqlite3.

_kelvador_servers_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Runs a command as the owner of the cluster (postgres when we are root).
_kelvador_as_pg_owner() {
  if [[ $(id -u) -eq 0 ]]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

_kelvador_pg_bindir() {
  local dir
  dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [[ -z $dir ]] && command -v pg_config >/dev/null; then dir=$(pg_config --bindir); fi
  echo "$dir"
}

# Prints the full path of an installed file of a Debian package matching a
# pattern, e.g. psqlodbcw.so.
_kelvador_package_file() {  # package, file name pattern
  dpkg -L "$1" 2>/dev/null | grep -E "/$2\$" | head -n 1
}

start_test_servers() {
  stop_test_servers  # a second start by hand replaces the first server
  local bindir; bindir=$(_kelvador_pg_bindir)
  if [[ ! -x $bindir/initdb ]]; then
    echo "start_test_servers: PostgreSQL server programs not found (apt-get install postgresql)" >&2
    return 1
  fi
  local dir; dir=$(mktemp -d /tmp/kelvador-servers.XXXXXX) || return 1
  export KELVADOR_TEST_SERVER_DIR=$dir
  chmod 755 "$dir"
  [[ $(id -u) -eq 0 ]] && chown postgres: "$dir"

  local password; password="pw-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')"
  if ! _kelvador_as_pg_owner "$bindir/initdb" -D "$dir/data" -U postgres -E UTF8 \
      --locale=C --auth-local=trust --auth-host=scram-sha-256 >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    return 1
  fi

  # A free port: skip those where something answers, retry when the start loses
  # a race for the port.
  local port started=0 attempt
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 40000))
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then continue; fi
    if _kelvador_as_pg_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$dir -c fsync=off" \
        start >/dev/null 2>&1; then
      started=1
      break
    fi
  done
  if ((!started)); then
    echo "start_test_servers: the PostgreSQL server did not start" >&2
    cat "$dir/server.log" >&2 2>/dev/null
    return 1
  fi

  local user=kelvador_test database=kelvador_test
  local sql=$_kelvador_servers_source_dir/tests/servers/vtsystem.sql
  local psql=("$bindir/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -p "$port" -U postgres)
  if ! {
    "${psql[@]}" -d postgres -c "CREATE ROLE $user LOGIN PASSWORD '$password'" &&
    "${psql[@]}" -d postgres -c "CREATE DATABASE $database OWNER $user" &&
    { echo "SET ROLE $user; CREATE SCHEMA vtsystem; SET search_path TO vtsystem;"; cat "$sql"; } |
      "${psql[@]}" -d "$database" -f -
  } >"$dir/load.log" 2>&1; then
    cat "$dir/load.log" >&2
    return 1
  fi

  export KELVADOR_TEST_SQLITE_DB=$dir/vtsystem.db
  if ! sqlite3 "$KELVADOR_TEST_SQLITE_DB" <"$sql"; then
    echo "start_test_servers: could not create $KELVADOR_TEST_SQLITE_DB" >&2
    return 1
  fi

  local psqlodbcw psqlodbca sqlite3odbc
  psqlodbcw=$(_kelvador_package_file odbc-postgresql 'psqlodbcw\.so')
  psqlodbca=$(_kelvador_package_file odbc-postgresql 'psqlodbca\.so')
  sqlite3odbc=$(_kelvador_package_file "libsqliteodbc:$(dpkg --print-architecture)" 'libsqlite3odbc\.so')
  if [[ -z $psqlodbcw || -z $sqlite3odbc ]]; then
    echo "start_test_servers: ODBC drivers not found (apt-get install odbc-postgresql libsqliteodbc)" >&2
    return 1
  fi
  local fixtures=$_kelvador_servers_source_dir/tests/servers
  sed -e "s|@PSQLODBCW@|$psqlodbcw|" -e "s|@PSQLODBCA@|$psqlodbca|" \
    -e "s|@SQLITE3ODBC@|$sqlite3odbc|" "$fixtures/odbcinst.ini.in" >"$dir/odbcinst.ini"
  sed -e "s|@PORT@|$port|" -e "s|@DATABASE@|$database|" -e "s|@SQLITE_DB@|$KELVADOR_TEST_SQLITE_DB|" \
    "$fixtures/odbc.ini.in" >"$dir/odbc.ini"

  export ODBCSYSINI=$dir ODBCINI=$dir/odbc.ini
  export KELVADOR_TEST_PG_HOST=127.0.0.1 KELVADOR_TEST_PG_PORT=$port
  export KELVADOR_TEST_PG_DATABASE=$database KELVADOR_TEST_PG_SOCKET_DIR=$dir
  export KELVADOR_TEST_PG_URI=postgresql://127.0.0.1:$port/$database
  export KELVADOR_TEST_PG_USER=$user KELVADOR_TEST_PG_PASSWORD=$password
  export KELVADOR_TEST_PG_DSN=kelvador_pg KELVADOR_TEST_PG_ANSI_DSN=kelvador_pga
  export KELVADOR_TEST_ODBC_PG_DRIVER="PostgreSQL Unicode"
  export KELVADOR_TEST_SQLITE_DSN=kelvador_sqlite KELVADOR_TEST_ODBC_SQLITE_DRIVER=SQLite3
  echo "test servers: PostgreSQL $KELVADOR_TEST_PG_URI (socket $dir), ODBC data sources in $ODBCINI"
}

# Stops the server and removes its folder; harmless when nothing was started.
stop_test_servers() {
  local dir=${KELVADOR_TEST_SERVER_DIR:-}
  [[ -n $dir && -d $dir ]] || return 0
  local bindir; bindir=$(_kelvador_pg_bindir)
  if [[ -f $dir/data/postmaster.pid ]]; then
    _kelvador_as_pg_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  unset KELVADOR_TEST_SERVER_DIR ODBCSYSINI ODBCINI KELVADOR_TEST_PG_HOST KELVADOR_TEST_PG_PORT \
    KELVADOR_TEST_PG_DATABASE KELVADOR_TEST_PG_SOCKET_DIR KELVADOR_TEST_PG_URI \
    KELVADOR_TEST_PG_USER KELVADOR_TEST_PG_PASSWORD KELVADOR_TEST_PG_DSN KELVADOR_TEST_PG_ANSI_DSN \
    KELVADOR_TEST_ODBC_PG_DRIVER KELVADOR_TEST_SQLITE_DB KELVADOR_TEST_SQLITE_DSN \
    KELVADOR_TEST_ODBC_SQLITE_DRIVER
  return 0
}
