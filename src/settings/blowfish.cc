// Blowfish, written here rather than taken from a library: the program has no
// dependency beyond the standard library (it is also built for 32-bit Windows),
// and the value cipher works on 32-bit halves in its own byte order. The tests
// compare it with published vectors and with Nettle's Blowfish.
#include "settings/blowfish.h"

#include <cstring>
#include <utility>

#include "settings/blowfish_tables.h"

namespace kelvador {
namespace {

constexpr int kRounds = 16;

std::uint32_t F(const BlowfishContext& context, std::uint32_t x) {
  const std::uint32_t a = x >> 24;
  const std::uint32_t b = (x >> 16) & 0xFF;
  const std::uint32_t c = (x >> 8) & 0xFF;
  const std::uint32_t d = x & 0xFF;
  return ((context.s[0][a] + context.s[1][b]) ^ context.s[2][c]) + context.s[3][d];
}

}  // namespace

int BlowfishInit(BlowfishContext* context, const std::uint8_t* key, std::size_t key_length) {
  if (key_length == 0) {
    BlowfishClear(context);
    return -1;
  }
  std::memcpy(context->s, kBlowfishInitialS, sizeof context->s);
  std::size_t next = 0;
  for (int i = 0; i < kRounds + 2; ++i) {
    std::uint32_t word = 0;
    for (int k = 0; k < 4; ++k) {
      word = (word << 8) | key[next];
      next = (next + 1) % key_length;
    }
    context->p[i] = kBlowfishInitialP[i] ^ word;
  }
  std::uint32_t left = 0;
  std::uint32_t right = 0;
  for (int i = 0; i < kRounds + 2; i += 2) {
    BlowfishEncryptBlock(*context, &left, &right);
    context->p[i] = left;
    context->p[i + 1] = right;
  }
  for (auto& box : context->s) {
    for (int i = 0; i < 256; i += 2) {
      BlowfishEncryptBlock(*context, &left, &right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
  return 0;
}

void BlowfishEncryptBlock(const BlowfishContext& context, std::uint32_t* left,
                          std::uint32_t* right) {
  std::uint32_t l = *left;
  std::uint32_t r = *right;
  for (int i = 0; i < kRounds; ++i) {
    l ^= context.p[i];
    r ^= F(context, l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= context.p[kRounds];
  l ^= context.p[kRounds + 1];
  *left = l;
  *right = r;
}

void BlowfishDecryptBlock(const BlowfishContext& context, std::uint32_t* left,
                          std::uint32_t* right) {
  std::uint32_t l = *left;
  std::uint32_t r = *right;
  for (int i = kRounds + 1; i > 1; --i) {
    l ^= context.p[i];
    r ^= F(context, l);
    std::swap(l, r);
  }
  std::swap(l, r);
  r ^= context.p[1];
  l ^= context.p[0];
  *left = l;
  *right = r;
}

void BlowfishClear(BlowfishContext* context) {
  // Writes through a volatile pointer so the stores are not dropped as dead.
  volatile unsigned char* bytes = reinterpret_cast<volatile unsigned char*>(context);
  for (std::size_t i = 0; i < sizeof *context; ++i) bytes[i] = 0;
}

}  // namespace kelvador
