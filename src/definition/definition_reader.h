#ifndef KELVADOR_DEFINITION_DEFINITION_READER_H_
#define KELVADOR_DEFINITION_DEFINITION_READER_H_

#include <string>
#include <string_view>

#include "definition/profile_source.h"
#include "kelvador/run_state.h"

namespace kelvador {

// Empties all 30 columns of the layout and sets the record count to 0.
void ClearColumnLayout(RunState& run);

// Reads the statement lines and the column layout of `section` from
// ./KELVADOR.<DB_SYSTEM>.INI and replaces every "$parm01" in the statement by the
// terminal name. Returns 0 with run.statement and run.layout filled, or 3 when
// the section holds no statement line (also for a missing file or section).
int GetIniValues(RunState& run, const std::string& section);

// The definition file of `db_system` in `folder`: "<folder>/KELVADOR.<db_system>.INI",
// joined with the platform's separator ("\" on Windows).
std::string DefinitionFilePath(std::string_view folder, std::string_view db_system);

// GetIniValues with the keys looked up in `source` instead of the definition
// file of the working directory; same results, trace and effects on `run`.
int ReadDefinition(RunState& run, const std::string& section, const ProfileSource& source);

}  // namespace kelvador

#endif  // KELVADOR_DEFINITION_DEFINITION_READER_H_
