#ifndef KELVADOR_TESTS_FAULTS_FAULT_SUPPORT_H_
#define KELVADOR_TESTS_FAULTS_FAULT_SUPPORT_H_

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/installation.h"

namespace kelvador::testing {

// The uid and gid tests run a program as when permission bits must count
// (root ignores them): the user nobody.
inline constexpr uid_t kUnprivilegedId = 65534;

// Starts kelvador in the working folder of `installation` without waiting for
// it; its standard output and error go to `log_path`. Returns the process id.
pid_t StartKelvador(const Installation& installation, const std::vector<std::string>& arguments,
                    const std::string& log_path);

// Runs kelvador in the working folder as the user nobody.
ProcessResult RunKelvadorUnprivileged(const Installation& installation,
                                      const std::vector<std::string>& arguments);

// Hands the whole installation tree to the user nobody, so that a run as
// nobody can read and write it unless a test takes a permission away again.
void GiveToUnprivilegedUser(const Installation& installation);

// Names of the entries of `folder` that start with `prefix`.
std::vector<std::string> EntriesStartingWith(const std::string& folder, const std::string& prefix);

// The prefix of the temporary files written for the download file `base`.
inline std::string TempFilePrefix(const std::string& base) { return "." + base + ".kelvador-"; }

// Size of a file in bytes, -1 when it does not exist.
long long FileSize(const std::string& path);

}  // namespace kelvador::testing

#endif  // KELVADOR_TESTS_FAULTS_FAULT_SUPPORT_H_
