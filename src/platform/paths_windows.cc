// Windows installations name their files with backslashes, exactly as the
// operators' documentation and scripts give them.
#include "platform/paths.h"

namespace kelvador {

std::string SettingsFilePath() { return "..\\..\\Files\\Vantorium.Ini"; }

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

}  // namespace kelvador
