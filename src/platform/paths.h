#ifndef KELVADOR_PLATFORM_PATHS_H_
#define KELVADOR_PLATFORM_PATHS_H_

#include <string>
#include <string_view>

namespace kelvador {

// The installation's system settings file, relative to the working directory:
// "../../Files/Vantorium.Ini" on Linux, "..\..\Files\Vantorium.Ini" on Windows.
std::string SettingsFilePath();

// `name` in `folder`, joined with the platform's separator ("/" on Linux, "\"
// on Windows): JoinPath(".", "A.INI") is "./A.INI" or ".\A.INI".
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_PATHS_H_
