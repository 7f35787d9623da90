#include "db/odbc/odbc_sanitizer.h"

#if defined(__SANITIZE_ADDRESS__) && !defined(_WIN32)
#include <dlfcn.h>

// The ODBC drivers the tests use leak small blocks of their own: psqlODBC
// when describing a prepared statement or reporting an error, unixODBC's
// libodbcinst when the SQLite driver reads a data source. They are not this
// program's leaks; LeakSanitizer reads this list at exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:psqlodbcw.so\nleak:psqlodbca.so\nleak:libsqlite3odbc\nleak:libodbcinst\n";
}

namespace kelvador::db {

void PrepareOdbcForLeakCheck() {
  // The SQLite driver loads libodbcinst and unloads it after connecting,
  // after which its blocks would have no library name to match. One more
  // reference keeps it in place; it is never released.
  static void* const kept = dlopen("libodbcinst.so.2", RTLD_NOW);
  (void)kept;
}

}  // namespace kelvador::db

#else

namespace kelvador::db {

void PrepareOdbcForLeakCheck() {}

}  // namespace kelvador::db

#endif
