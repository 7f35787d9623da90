#include "settings/blowfish.h"

#include <gtest/gtest.h>
#include <nettle/blowfish.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kelvador {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::uint32_t BigEndianWord(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

struct VectorCase {
  std::string key;  // hexadecimal
  std::string plain;
  std::string cipher;
};

// Published Blowfish vectors (Eric Young's set and Schneier's), halves in the
// usual big-endian order.
TEST(Blowfish, MatchesPublishedVectors) {
  const VectorCase cases[] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
      // The key "abcdefghijklmnopqrstuvwxyz" and the block "BLOWFISH".
      {"6162636465666768696A6B6C6D6E6F707172737475767778797A", "424C4F5746495348",
       "324ED0FEF413A203"},
      // The key "Who is John Galt?".
      {"57686F206973204A6F686E2047616C743F", "FEDCBA9876543210", "CC91732B8022F684"},
  };
  for (const auto& c : cases) {
    const auto key = Bytes(c.key);
    const auto plain = Bytes(c.plain);
    const auto cipher = Bytes(c.cipher);
    BlowfishContext context;
    ASSERT_EQ(BlowfishInit(&context, key.data(), key.size()), 0) << c.key;
    std::uint32_t left = BigEndianWord(plain.data());
    std::uint32_t right = BigEndianWord(plain.data() + 4);
    BlowfishEncryptBlock(context, &left, &right);
    EXPECT_EQ(left, BigEndianWord(cipher.data())) << c.key << " " << c.plain;
    EXPECT_EQ(right, BigEndianWord(cipher.data() + 4)) << c.key << " " << c.plain;
    BlowfishDecryptBlock(context, &left, &right);
    EXPECT_EQ(left, BigEndianWord(plain.data())) << c.key << " " << c.plain;
    EXPECT_EQ(right, BigEndianWord(plain.data() + 4)) << c.key << " " << c.plain;
  }
}

// Keys of every length Nettle takes, many blocks each: our schedule and rounds
// must agree with a well-kept implementation word for word.
TEST(Blowfish, AgreesWithNettleOnRandomKeysAndBlocks) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t key_length = BLOWFISH_MIN_KEY_SIZE; key_length <= BLOWFISH_MAX_KEY_SIZE;
       ++key_length) {
    for (int round = 0; round < 8; ++round) {
      std::vector<std::uint8_t> key(key_length);
      for (auto& k : key) k = static_cast<std::uint8_t>(byte(random));
      blowfish_ctx reference;
      blowfish_set_key(&reference, key.size(), key.data());
      BlowfishContext context;
      ASSERT_EQ(BlowfishInit(&context, key.data(), key.size()), 0);
      for (int block = 0; block < 16; ++block) {
        std::uint8_t plain[8];
        for (auto& p : plain) p = static_cast<std::uint8_t>(byte(random));
        std::uint8_t cipher[8];
        blowfish_encrypt(&reference, sizeof plain, cipher, plain);
        std::uint32_t left = BigEndianWord(plain);
        std::uint32_t right = BigEndianWord(plain + 4);
        BlowfishEncryptBlock(context, &left, &right);
        ASSERT_EQ(left, BigEndianWord(cipher)) << "key length " << key_length;
        ASSERT_EQ(right, BigEndianWord(cipher + 4)) << "key length " << key_length;
        BlowfishDecryptBlock(context, &left, &right);
        ASSERT_EQ(left, BigEndianWord(plain)) << "key length " << key_length;
        ASSERT_EQ(right, BigEndianWord(plain + 4)) << "key length " << key_length;
      }
    }
  }
}

TEST(Blowfish, EmptyKeyIsRefusedAndLeavesNoState) {
  BlowfishContext context;
  const std::uint8_t key[1] = {0x55};
  ASSERT_EQ(BlowfishInit(&context, key, 1), 0);
  EXPECT_EQ(BlowfishInit(&context, key, 0), -1);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&context);
  EXPECT_EQ(std::count(bytes, bytes + sizeof context, 0), static_cast<long>(sizeof context));
}

}  // namespace
}  // namespace kelvador
