// Placeholder until the settings reader lands.
#include "settings/settings_file.h"

namespace kelvador {
std::string ReadSystemSetting(std::string_view, std::string_view, int, const std::string&) {
  return {};
}
}  // namespace kelvador
