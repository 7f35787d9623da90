#ifndef KELVADOR_RUN_STATE_H_
#define KELVADOR_RUN_STATE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "kelvador/row_slots.h"

namespace kelvador {

namespace db {
class Session;
}
class RecordList;
class ProgressLine;

// The command line, as checked by ParseArguments.
struct RunArguments {
  std::string section_name;      // at most 31 characters
  std::string terminal_name;     // at most 31 characters, pasted into the query
  std::string target_file_name;  // the download file
  std::int16_t replace_flag = 0;  // 0 append, 1 replace
  int debug_flag = 0;             // 1 prints the trace lines
};

// The connection settings read from the system settings file, deciphered.
struct SystemSettings {
  std::string net8;  // service text, 1 to 41 characters or empty
  std::string login;
  std::string pass;
  std::string db_system;  // names the definition file
};

// One output column: enabled when `name` is not empty.
struct ColumnSpec {
  std::string name;     // at most 99 characters
  std::string format;   // "CHAR", "DEC", "TXT"; anything else contributes nothing
  std::int32_t width = 0;
};

// Columns 1 to 30 are entries 0 to 29.
using ColumnLayout = std::array<ColumnSpec, kColumnCount>;

// Everything one extraction works on. The run sequence owns the single
// instance and hands it to the stages; nothing of it lives in globals.
struct RunState {
  RunState();
  ~RunState();
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  RunArguments arguments;
  SystemSettings settings;
  std::int32_t last_status = 0;
  std::int32_t record_count = 0;   // rows fetched and turned into records
  std::string statement;           // the extraction statement (ExtractionDefinition)
  ColumnLayout layout;
  RowSlots row_slots;
  std::string record_buffer;       // the record being built
  std::unique_ptr<RecordList> record_list;  // none until the first AddRecord
  std::unique_ptr<db::Session> session;     // none until dbConnect succeeds
  std::unique_ptr<ProgressLine> progress;   // none when standard error is no terminal
};

}  // namespace kelvador

#endif  // KELVADOR_RUN_STATE_H_
