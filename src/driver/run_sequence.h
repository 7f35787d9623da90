#ifndef KELVADOR_DRIVER_RUN_SEQUENCE_H_
#define KELVADOR_DRIVER_RUN_SEQUENCE_H_

namespace kelvador {

// Runs one extraction from the command line to the summary line and returns the
// process exit status: 1 or 2 for argument errors, 4 for a refused section or
// terminal name, 3 for a section without a statement, 0 in every other case.
int RunExtraction(int argc, char** argv);

}  // namespace kelvador

#endif  // KELVADOR_DRIVER_RUN_SEQUENCE_H_
