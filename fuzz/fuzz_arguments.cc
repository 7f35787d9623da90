// Fuzzes the command line check. The input is the argument list after the
// program name, arguments separated by zero bytes. Besides the sanitizers, the
// target checks the contract: a known result, and on success stored names
// within their limits and a flag of 0 or 1; on refusal nothing stored.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/arguments.h"
#include "kelvador/run_state.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The banner and usage text would drown libFuzzer's own output (on stderr).
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> texts{"kelvador"};
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      texts.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  if (size > 0) texts.push_back(current);

  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());  // ParseArguments may change them
  argv.push_back(nullptr);

  kelvador::RunArguments arguments;
  arguments.section_name = "untouched";
  const int result =
      kelvador::ParseArguments(static_cast<int>(texts.size()), argv.data(), &arguments);
  switch (result) {
    case 0:
      if (arguments.section_name.size() > kelvador::kMaxNameLength ||
          arguments.terminal_name.size() > kelvador::kMaxNameLength ||
          (arguments.replace_flag != 0 && arguments.replace_flag != 1) ||
          (arguments.debug_flag != 0 && arguments.debug_flag != 1) ||
          arguments.target_file_name != texts[3]) {
        std::abort();
      }
      break;
    case 1:
    case 2:
    case 4:
      if (arguments.section_name != "untouched" || !arguments.target_file_name.empty())
        std::abort();
      break;
    default:
      std::abort();
  }
  std::fflush(stdout);
  return 0;
}
