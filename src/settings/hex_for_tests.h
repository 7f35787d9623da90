#ifndef KELVADOR_SETTINGS_HEX_FOR_TESTS_H_
#define KELVADOR_SETTINGS_HEX_FOR_TESTS_H_

#include <string>

#include "settings/value_cipher.h"

namespace kelvador {

// The settings file text of `value`: enciphered with the settings key, as
// upper-case hexadecimal. For tests that write settings files by hand.
inline std::string Hex(const std::string& value) {
  std::string hex;
  EncryptHexValue(value, kSettingValueKey, &hex);
  return hex;
}

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_HEX_FOR_TESTS_H_
