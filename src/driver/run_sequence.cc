#include "driver/run_sequence.h"

#include <cstdio>

#include "db/kelvador_sql.h"
#include "db/sqlhlp.h"
#include "definition/definition_reader.h"
#include "driver/arguments.h"
#include "kelvador/run_state.h"
#include "kelvador/status.h"
#include "platform/file_lookup.h"
#include "platform/paths.h"
#include "records/download_writer.h"
#include "records/progress_line.h"
#include "records/record_builder.h"
#include "records/record_list.h"
#include "settings/settings_file.h"

namespace kelvador {
namespace {

constexpr char kSchemaName[] = "VTSYSTEM";
constexpr std::size_t kMaxServiceLength = 41;

void ReadSystemSettings(SystemSettings* settings) {
  *settings = SystemSettings{};
  const std::string file_name = ResolveFileName(SettingsFilePath());
  std::string net8 = ReadSystemSetting("", "NET8", 0, file_name);
  if (!net8.empty() && net8.size() <= kMaxServiceLength) settings->net8 = std::move(net8);
  settings->login = ReadSystemSetting("", "LOGIN", 0, file_name);
  settings->pass = ReadSystemSetting("", "PASS", 0, file_name);
  settings->db_system = ReadSystemSetting("", "DB_SYSTEM", 0, file_name);
}

// Fetches every row, turning each into a record, until 1403 or an error.
void FetchAllRows(RunState& run) {
  const RecordShape shape(run.layout);
  run.record_buffer.resize(shape.length());
  for (;;) {
    run.row_slots.Clear();
    run.last_status = FetchRow(*run.session, run.row_slots);
    if (run.last_status != 0) {
      if (run.last_status != kNoFurtherRow) {
        if (run.progress) run.progress->Finish();
        std::printf("Fehler Lesen in Leseschleife %d", run.last_status);
      }
      return;
    }
    shape.Build(run.row_slots, run.record_buffer.data());
    AddRecord(run, run.record_buffer);
    ++run.record_count;
    if (run.progress) run.progress->RowFetched(run.record_count);
  }
}

}  // namespace

RunState::RunState() = default;
RunState::~RunState() = default;

int RunExtraction(int argc, char** argv) {
  RunState run;
  run.last_status = ParseArguments(argc, argv, &run.arguments);
  if (run.last_status != 0) return run.last_status;

  ReadSystemSettings(&run.settings);

  run.last_status = dbConnect(run.settings.login, run.settings.pass, run.settings.net8,
                              kSchemaName, &run.session);
  if (run.last_status != 0) {
    std::printf("dbConnect_Status: %d\n", run.last_status);
    return kExitOk;
  }

  ClearColumnLayout(run);
  run.last_status = GetIniValues(run, run.arguments.section_name);
  if (run.last_status != 0) return run.last_status;

  run.record_count = 0;
  run.progress = ProgressLine::ForStandardError();
  const std::string statement = run.statement;
  run.last_status = OpenQuery(*run.session, statement);
  if (run.last_status == 0) {
    FetchAllRows(run);
    run.last_status = CloseQuery(*run.session);
  } else {
    std::printf("OpenQuery_Status: %d\n", run.last_status);
  }

  if (run.record_count != 0) {
    run.last_status = WriteFile(run);
    if (run.last_status != 0) run.record_count = 0;
  }
  if (run.progress) run.progress->Finish();
  std::printf("%i Saetze kopiert in Datei %s \n", run.record_count,
              run.arguments.target_file_name.c_str());
  FreeRecords(run);
  return kExitOk;
}

}  // namespace kelvador
