#ifndef KELVADOR_PLATFORM_PATHS_H_
#define KELVADOR_PLATFORM_PATHS_H_

#include <string>
#include <string_view>

namespace kelvador {

// The installation's system settings file, relative to the working directory:
// "../../Files/Vantorium.Ini" on Linux, "..\..\Files\Vantorium.Ini" on Windows.
std::string SettingsFilePath();

// The separator the platform writes, and those it reads, in file names.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

// Splits a file name into its folder ("." when it names none) and its last
// component.
void SplitTargetName(const std::string& target, std::string* folder, std::string* base);

// `name` in `folder`, joined with the platform's separator ("/" on Linux, "\"
// on Windows): JoinPath(".", "A.INI") is "./A.INI" or ".\A.INI".
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_PATHS_H_
