#ifndef KELVADOR_STATUS_H_
#define KELVADOR_STATUS_H_

namespace kelvador {

// Database statuses in the Oracle convention that operators read in the
// program's messages. 0 is success.
inline constexpr int kNoFurtherRow = 1403;       // ORA-01403 no data found
inline constexpr int kNullItem = -1405;          // fetched item is NULL
inline constexpr int kItemTruncated = -1406;     // fetched item longer than its slot
inline constexpr int kInvalidLogin = -1017;      // invalid username/password
inline constexpr int kTableNotFound = -942;      // table or view does not exist
inline constexpr int kInvalidColumn = -904;      // invalid identifier
inline constexpr int kInvalidSqlStatement = -900;  // any other SQL error
inline constexpr int kSchemaNotFound = -1435;    // user (schema) does not exist
inline constexpr int kServiceNotResolved = -12154;  // cannot resolve the service name
inline constexpr int kNoListener = -12541;       // nothing listens at the address
inline constexpr int kNotAQuery = -1003;         // no statement parsed (not a query)
inline constexpr int kTooManyItems = -1007;      // variable not in select list (over 30 items)

// Process exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitArgumentCount = 1;
inline constexpr int kExitReplaceFlag = 2;
inline constexpr int kExitNoStatement = 3;
inline constexpr int kExitBadArgument = 4;

}  // namespace kelvador

#endif  // KELVADOR_STATUS_H_
