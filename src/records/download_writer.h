#ifndef KELVADOR_RECORDS_DOWNLOAD_WRITER_H_
#define KELVADOR_RECORDS_DOWNLOAD_WRITER_H_

#include "kelvador/run_state.h"

namespace kelvador {

// Writes the run's records in ascending byte order to the target file, replacing
// it (replace flag 1) or appending to it (0). Returns 0 when written or when
// there is nothing to write, -1 when the file cannot be opened or written; the
// message has then been printed.
int WriteFile(RunState& run);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_DOWNLOAD_WRITER_H_
