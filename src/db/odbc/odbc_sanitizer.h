#ifndef KELVADOR_DB_ODBC_ODBC_SANITIZER_H_
#define KELVADOR_DB_ODBC_ODBC_SANITIZER_H_

namespace kelvador::db {

// In AddressSanitizer builds on Linux, keeps unixODBC's libodbcinst loaded so
// that blocks it leaks stay traceable to it; LeakSanitizer then skips the
// leaks of the ODBC libraries (listed in odbc_sanitizer.cc). Does nothing in
// other builds.
void PrepareOdbcForLeakCheck();

}  // namespace kelvador::db

#endif  // KELVADOR_DB_ODBC_ODBC_SANITIZER_H_
