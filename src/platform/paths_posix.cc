#include "platform/paths.h"

namespace kelvador {

std::string SettingsFilePath() { return "../../Files/Vantorium.Ini"; }

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '/';
  path += name;
  return path;
}

}  // namespace kelvador
