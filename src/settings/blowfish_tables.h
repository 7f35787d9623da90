#ifndef KELVADOR_SETTINGS_BLOWFISH_TABLES_H_
#define KELVADOR_SETTINGS_BLOWFISH_TABLES_H_

#include <cstdint>

namespace kelvador {

// The published Blowfish initial subkeys and S boxes: the fractional
// hexadecimal digits of pi, in order (P first, then S boxes 0 to 3).
extern const std::uint32_t kBlowfishInitialP[18];
extern const std::uint32_t kBlowfishInitialS[4][256];

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_BLOWFISH_TABLES_H_
