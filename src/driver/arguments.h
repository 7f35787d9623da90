#ifndef KELVADOR_DRIVER_ARGUMENTS_H_
#define KELVADOR_DRIVER_ARGUMENTS_H_

#include "kelvador/run_state.h"

namespace kelvador {

inline constexpr std::size_t kMaxNameLength = 31;  // section and terminal names

// Checks the command line and fills `*arguments`. Returns 0 when the run may go
// on; 1 for fewer than four arguments; 2 for a replace flag other than "0" or
// "1"; 4 for a section or terminal name over 31 characters or a terminal name
// with a character that may not be pasted into SQL. On 1, 2 and 4 the banner,
// the message and the usage text have been printed and nothing is stored.
// A fifth argument "/D" (any case) sets the debug flag and prints a notice.
int ParseArguments(int argc, char** argv, RunArguments* arguments);

// Print the framed banner and the usage text to standard output.
void PrintBanner();
void PrintUsage();

// Converts `text` to upper case in place and returns it.
char* UpperCaseInPlace(char* text);

}  // namespace kelvador

#endif  // KELVADOR_DRIVER_ARGUMENTS_H_
