// Windows file names ignore letter case already, so every path is used exactly
// as given.
#include "platform/file_lookup.h"

namespace kelvador {

std::string ResolveFileName(const std::string& path) { return path; }

}  // namespace kelvador
