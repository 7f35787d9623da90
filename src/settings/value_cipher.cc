#include "settings/value_cipher.h"

#include <cstddef>

namespace kelvador {
namespace {

constexpr std::size_t kBlockBytes = 8;
constexpr std::size_t kBlockDigits = 2 * kBlockBytes;
constexpr char kUpperDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A block's bytes as two 32-bit halves, each least significant byte first.
std::uint32_t LoadHalf(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void StoreHalf(std::uint32_t half, std::uint8_t* bytes) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(half >> (8 * i));
}

int KeyContext(std::string_view key, BlowfishContext* context) {
  return BlowfishInit(context, reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
}

void WipeBytes(std::uint8_t* bytes, std::size_t count) {
  volatile std::uint8_t* target = bytes;
  for (std::size_t i = 0; i < count; ++i) target[i] = 0;
}

}  // namespace

int HexToBytes(std::string_view text, std::uint8_t* out) {
  if (text.size() % 2 != 0) return -1;
  for (std::size_t i = 0; i < text.size() / 2; ++i) {
    const int high = DigitValue(text[2 * i]);
    const int low = DigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return -1;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return 0;
}

int DecryptHexValue(std::string_view hex, std::string_view key, BlowfishContext* context,
                    std::string* value) {
  value->clear();
  if (hex.size() % kBlockDigits != 0 || KeyContext(key, context) != 0) {
    BlowfishClear(context);
    return 0;
  }
  int result = 1;
  value->reserve(hex.size() / 2);  // no reallocation leaves plain text behind
  std::uint8_t block[kBlockBytes];
  for (std::size_t offset = 0; offset < hex.size(); offset += kBlockDigits) {
    if (HexToBytes(hex.substr(offset, kBlockDigits), block) != 0) {
      result = 0;
      break;
    }
    std::uint32_t left = LoadHalf(block);
    std::uint32_t right = LoadHalf(block + 4);
    BlowfishDecryptBlock(*context, &left, &right);
    StoreHalf(left, block);
    StoreHalf(right, block + 4);
    value->append(reinterpret_cast<const char*>(block), kBlockBytes);
  }
  WipeBytes(block, sizeof block);
  BlowfishClear(context);
  if (result == 0) {
    WipeText(value);
    return 0;
  }
  const std::size_t end = value->find('\0');
  if (end != std::string::npos) {
    // Clears what follows the terminator before the text is shortened.
    for (std::size_t i = end; i < value->size(); ++i) (*value)[i] = '\0';
    value->resize(end);
  }
  return 1;
}

int DecryptHexValue(std::string_view hex, std::string_view key, std::string* value) {
  BlowfishContext context;
  return DecryptHexValue(hex, key, &context, value);
}

int EncryptHexValue(std::string_view value, std::string_view key, std::string* hex) {
  hex->clear();
  BlowfishContext context;
  if (value.find('\0') != std::string_view::npos || KeyContext(key, &context) != 0) {
    BlowfishClear(&context);
    return 0;
  }
  hex->reserve((value.size() + kBlockBytes - 1) / kBlockBytes * kBlockDigits);
  std::uint8_t block[kBlockBytes];
  for (std::size_t offset = 0; offset < value.size(); offset += kBlockBytes) {
    for (std::size_t i = 0; i < kBlockBytes; ++i) {
      block[i] = offset + i < value.size() ? static_cast<std::uint8_t>(value[offset + i]) : 0;
    }
    std::uint32_t left = LoadHalf(block);
    std::uint32_t right = LoadHalf(block + 4);
    BlowfishEncryptBlock(context, &left, &right);
    StoreHalf(left, block);
    StoreHalf(right, block + 4);
    for (std::uint8_t byte : block) {
      hex->push_back(kUpperDigits[byte >> 4]);
      hex->push_back(kUpperDigits[byte & 0x0F]);
    }
  }
  WipeBytes(block, sizeof block);
  BlowfishClear(&context);
  return 1;
}

void WipeText(std::string* text) {
  volatile char* target = text->data();
  for (std::size_t i = 0; i < text->size(); ++i) target[i] = '\0';
  text->clear();
}

}  // namespace kelvador
