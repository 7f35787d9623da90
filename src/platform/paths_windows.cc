// Windows installations name their files with backslashes, exactly as the
// operators' documentation and scripts give them.
#include "platform/paths.h"

namespace kelvador {

std::string SettingsFilePath() { return "..\\..\\Files\\Vantorium.Ini"; }

}  // namespace kelvador
