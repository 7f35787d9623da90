#ifndef KELVADOR_SETTINGS_SETTINGS_FILE_H_
#define KELVADOR_SETTINGS_SETTINGS_FILE_H_

#include <string>
#include <string_view>

namespace kelvador {

// The installation's system settings file, relative to the working directory.
inline constexpr char kSettingsFileName[] = "../../Files/Vantorium.Ini";

// Looks up the first record pair of `file_name` whose section equals `section`,
// or whose key equals `key`, or whose number equals `number`, and returns its
// deciphered value. Returns the empty text when no pair matches or the file
// cannot be opened. A value that is not valid hexadecimal text gives the empty
// text and prints "Ungueltiger Wert fuer <key> in Einstellungsdatei\n".
std::string ReadSystemSetting(std::string_view section, std::string_view key, int number,
                              const std::string& file_name);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_SETTINGS_FILE_H_
