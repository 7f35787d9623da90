#ifndef KELVADOR_DB_ODBC_ODBC_API_H_
#define KELVADOR_DB_ODBC_ODBC_API_H_

// The ODBC headers: unixODBC's on Linux, the system's (odbc32) on Windows,
// where <sql.h> needs the Windows types first. Only the plain function names
// are called (SQLDriverConnect, not SQLDriverConnectA), which every driver
// manager exports.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#endif  // KELVADOR_DB_ODBC_ODBC_API_H_
