// Fuzzes the definition reader: the initialization-file parser, the statement
// and layout lookups and the "$parm01" replacement. Input: the section name on
// the first line, the terminal name on the second, "D" on the third to switch
// the trace on, then the content of the definition file. Besides the
// sanitizers, the target checks that the layout stays within its stores.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "definition/definition_reader.h"
#include "definition/profile_text.h"
#include "kelvador/run_state.h"

namespace {

// Takes the text up to the next line feed off the front of `input`.
std::string_view TakeLine(std::string_view* input) {
  const std::size_t end = input->find('\n');
  const std::string_view line = input->substr(0, end);
  input->remove_prefix(end == std::string_view::npos ? input->size() : end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();  // the trace
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string section(TakeLine(&input));
  const std::string_view terminal_name = TakeLine(&input);
  const bool debug = TakeLine(&input) == "D";

  kelvador::RunState run;
  run.arguments.terminal_name = terminal_name;
  run.arguments.debug_flag = debug ? 1 : 0;
  const kelvador::ProfileText profile(input);
  kelvador::ClearColumnLayout(run);
  const int result = kelvador::ReadDefinition(run, section, profile);
  if (result != 0 && result != 3) std::abort();
  if (result == 0) {
    if (run.statement.empty() || run.statement.front() != ' ' || run.statement.back() != ' ') {
      std::abort();
    }
    for (const kelvador::ColumnSpec& column : run.layout) {
      if (column.name.size() > 99 || column.format.size() > 4 || column.width < -99 ||
          column.width > 999) {
        std::abort();
      }
    }
  }
  std::fflush(stdout);
  return 0;
}
