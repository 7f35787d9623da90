#ifndef KELVADOR_SETTINGS_VALUE_CIPHER_H_
#define KELVADOR_SETTINGS_VALUE_CIPHER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/blowfish.h"

namespace kelvador {

// The fixed key the values of the system settings file are enciphered with.
inline constexpr std::string_view kSettingValueKey = "VOZODUD";

// Decodes `text` (two characters per byte, high half first; "a"-"f" count as
// "A"-"F") into text.size() / 2 bytes at `out`. Returns 0; returns -1 when the
// length is odd or a character is no hexadecimal digit (`out` is then partly
// written). Reads nothing beyond `text`.
int HexToBytes(std::string_view text, std::uint8_t* out);

// Deciphers hexadecimal Blowfish ECB text under `key`: each 8-byte block is read
// as two little-endian 32-bit halves, and the value is the plain text up to its
// first zero byte. Returns 1 with `*value` set; returns 0 with `*value` empty
// when the length is not a multiple of 16 or a character is no hexadecimal
// digit. An empty text gives the empty value. `context` is the working store:
// keyed at the start, zero bytes at the end of every call.
int DecryptHexValue(std::string_view hex, std::string_view key, BlowfishContext* context,
                    std::string* value);
// The same with a context of its own.
int DecryptHexValue(std::string_view hex, std::string_view key, std::string* value);

// The reverse: zero-fills `value` to whole blocks, enciphers them and writes
// upper-case hexadecimal text to `*hex`. Returns 1; returns 0 with `*hex` empty
// when the value holds a zero byte (deciphering would cut it there).
int EncryptHexValue(std::string_view value, std::string_view key, std::string* hex);

// Overwrites the characters of `text` with zero bytes and empties it, so that
// secrets do not linger in freed memory.
void WipeText(std::string* text);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_VALUE_CIPHER_H_
