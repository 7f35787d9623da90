#include "settings/value_cipher.h"

#include <gtest/gtest.h>
#include <nettle/blowfish.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kelvador {
namespace {

// The reference: Nettle's Blowfish reads halves big-endian, the settings file
// stores them little-endian, so every half is byte-swapped on the way in and
// out. Zero fill to whole blocks, upper-case hexadecimal text.
std::string NettleHex(const std::string& value, const std::string& key) {
  std::vector<std::uint8_t> data(value.begin(), value.end());
  data.resize((data.size() + 7) / 8 * 8, 0);
  for (std::size_t i = 0; i < data.size(); i += 4) std::reverse(&data[i], &data[i] + 4);
  blowfish_ctx context;
  blowfish_set_key(&context, key.size(), reinterpret_cast<const std::uint8_t*>(key.data()));
  std::vector<std::uint8_t> cipher(data.size());
  blowfish_encrypt(&context, data.size(), cipher.data(), data.data());
  for (std::size_t i = 0; i < cipher.size(); i += 4) std::reverse(&cipher[i], &cipher[i] + 4);
  std::string hex;
  for (std::uint8_t byte : cipher) {
    hex += "0123456789ABCDEF"[byte >> 4];
    hex += "0123456789ABCDEF"[byte & 15];
  }
  return hex;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(ValueCipher, EnciphersAndDeciphersLikeNettleWithLittleEndianHalves) {
  const std::string values[] = {
      "A",
      "nowhere",
      "ABCDEFGH" /* one whole block, no fill */,
      "ABCDEFGHI",
      std::string(41, 'n'),
      std::string(250, 'p') /* longer than any old store */,
      "\xE4\xF6\xFC\xDF pass;word\n",
  };
  for (const auto& value : values) {
    const std::string want = NettleHex(value, std::string(kSettingValueKey));
    std::string hex;
    ASSERT_EQ(EncryptHexValue(value, kSettingValueKey, &hex), 1) << value;
    EXPECT_EQ(hex, want) << value;
    std::string back;
    EXPECT_EQ(DecryptHexValue(want, kSettingValueKey, &back), 1) << value;
    EXPECT_EQ(back, value);
  }
}

TEST(ValueCipher, AgreesWithNettleOnRandomKeysAndValues) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(1, 255);  // a value ends at a zero byte
  std::uniform_int_distribution<int> length(0, 40);
  for (std::size_t key_length = 8; key_length <= 56; ++key_length) {
    for (int round = 0; round < 20; ++round) {
      std::string key(key_length, '\0');
      for (char& k : key) k = static_cast<char>(byte(random) - 1);
      std::string value(static_cast<std::size_t>(length(random)), '\0');
      for (char& v : value) v = static_cast<char>(byte(random));
      const std::string want = NettleHex(value, key);
      std::string hex;
      ASSERT_EQ(EncryptHexValue(value, key, &hex), 1);
      ASSERT_EQ(hex, want) << "key length " << key_length;
      std::string back;
      ASSERT_EQ(DecryptHexValue(Lower(want), key, &back), 1);
      ASSERT_EQ(back, value) << "key length " << key_length;
    }
  }
}

TEST(DecryptHexValue, RefusesWhatIsNoWholeHexadecimalBlock) {
  const std::string nowhere = NettleHex("nowhere", std::string(kSettingValueKey));
  const std::string sixteen = NettleHex("0123456789abcdef", std::string(kSettingValueKey));
  struct Case {
    std::string hex;
    int result;
    std::string value;
  };
  const Case cases[] = {
      {"", 1, ""},
      {nowhere, 1, "nowhere"},
      {Lower(nowhere), 1, "nowhere"},
      {sixteen, 1, "0123456789abcdef"},  // 32 digits, 16 bytes, no fill
      {nowhere.substr(0, 15), 0, ""},
      {nowhere + "0", 0, ""},
      {nowhere + "\r", 0, ""},
      {nowhere.substr(0, 15) + "G", 0, ""},
      {nowhere.substr(0, 15) + " ", 0, ""},
      {nowhere + std::string(16, '-'), 0, ""},
      {std::string(15, '0') + '\0', 0, ""},
  };
  for (const auto& c : cases) {
    std::string value = "stale";
    EXPECT_EQ(DecryptHexValue(c.hex, kSettingValueKey, &value), c.result) << c.hex;
    EXPECT_EQ(value, c.value) << c.hex;
  }
}

TEST(DecryptHexValue, LeavesOnlyZeroBytesInTheContext) {
  const std::string good = NettleHex("secret", std::string(kSettingValueKey));
  for (const std::string& hex : {good, good.substr(0, 8), good.substr(0, 15) + "X"}) {
    BlowfishContext context;
    std::fill_n(reinterpret_cast<unsigned char*>(&context), sizeof context, 0xAA);
    std::string value;
    DecryptHexValue(hex, kSettingValueKey, &context, &value);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&context);
    EXPECT_TRUE(std::all_of(bytes, bytes + sizeof context, [](unsigned char b) { return b == 0; }))
        << hex;
  }
}

TEST(HexToBytes, DecodesBothCasesAndRefusesOtherText) {
  struct Case {
    std::string text;
    int result;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"", 0, {}},
      {"00FF7a", 0, {0x00, 0xFF, 0x7A}},
      {"aBcD", 0, {0xAB, 0xCD}},
      {"ABC", -1, {}},
      {"0g", -1, {}},
      {"0:", -1, {}},  // the character after "9"
      {"@0", -1, {}},  // the character before "A"
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> out(c.text.size() / 2 + 1, 0xEE);
    ASSERT_EQ(HexToBytes(c.text, out.data()), c.result) << c.text;
    if (c.result != 0) continue;
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + c.bytes.size()), c.bytes)
        << c.text;
    EXPECT_EQ(out[c.bytes.size()], 0xEE) << "wrote past the bytes for " << c.text;
  }
}

TEST(EncryptHexValue, RefusesAValueWithAZeroByte) {
  std::string hex = "stale";
  EXPECT_EQ(EncryptHexValue(std::string("ab\0cd", 5), kSettingValueKey, &hex), 0);
  EXPECT_EQ(hex, "");
}

}  // namespace
}  // namespace kelvador
