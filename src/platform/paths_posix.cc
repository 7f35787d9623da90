#include "platform/paths.h"

namespace kelvador {

std::string SettingsFilePath() { return "../../Files/Vantorium.Ini"; }

}  // namespace kelvador
