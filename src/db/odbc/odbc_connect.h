#ifndef KELVADOR_DB_ODBC_ODBC_CONNECT_H_
#define KELVADOR_DB_ODBC_ODBC_CONNECT_H_

#include <string>

namespace kelvador::db {

// The connection string handed to the driver: `connection` as given, and when
// `login` is not empty ";UID={login};PWD={password}" after it, each value in
// braces (a "}" inside doubled) so that ";" or "=" in it stay part of it.
std::string OdbcConnectionText(const std::string& connection, const std::string& login,
                               const std::string& password);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_ODBC_ODBC_CONNECT_H_
