#ifndef KELVADOR_SETTINGS_BLOWFISH_H_
#define KELVADOR_SETTINGS_BLOWFISH_H_

#include <cstddef>
#include <cstdint>

namespace kelvador {

// The standard Blowfish state: 18 subkeys, then four S boxes (4168 bytes).
struct BlowfishContext {
  std::uint32_t p[18];
  std::uint32_t s[4][256];
};

// Keys `context` with the standard schedule from `key_length` bytes of `key`
// (the first byte of every 4 most significant, cycling over the key). Returns
// 0; returns -1 and leaves the context zeroed when `key_length` is 0.
int BlowfishInit(BlowfishContext* context, const std::uint8_t* key, std::size_t key_length);

// Enciphers or deciphers one 64-bit block held as two 32-bit halves, in place,
// with the 16-round Feistel network of a keyed context.
void BlowfishEncryptBlock(const BlowfishContext& context, std::uint32_t* left,
                          std::uint32_t* right);
void BlowfishDecryptBlock(const BlowfishContext& context, std::uint32_t* left,
                          std::uint32_t* right);

// Overwrites the context with zero bytes in a way the compiler keeps, so no
// key material stays in memory after use.
void BlowfishClear(BlowfishContext* context);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_BLOWFISH_H_
