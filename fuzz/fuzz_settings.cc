// Fuzzes the system settings file reader and the value cipher. The input is the
// content of a settings file; it is looked up the way a run does (every key
// with section "" and number 0) and by section and number as well. The file
// lives in memory (memfd) and is reached through its /proc name. Besides the
// sanitizers, the target checks that every value found enciphers and
// deciphers back to itself.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_file.h"
#include "settings/value_cipher.h"

namespace {

int settings_fd = -1;
std::string settings_path;

void CheckRoundTrip(const std::string& value) {
  if (value.find('\0') != std::string::npos) std::abort();  // a value ends at its first zero
  std::string hex;
  if (kelvador::EncryptHexValue(value, kelvador::kSettingValueKey, &hex) != 1) std::abort();
  std::string back;
  if (kelvador::DecryptHexValue(hex, kelvador::kSettingValueKey, &back) != 1) std::abort();
  if (back != value) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();  // messages
  settings_fd = memfd_create("Vantorium.Ini", 0);
  if (settings_fd < 0) std::abort();
  settings_path = "/proc/self/fd/" + std::to_string(settings_fd);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ftruncate(settings_fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(settings_fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

  for (const char* key : {"NET8", "LOGIN", "PASS", "DB_SYSTEM"}) {
    CheckRoundTrip(kelvador::ReadSystemSetting("", key, 0, settings_path));
  }
  CheckRoundTrip(kelvador::ReadSystemSetting("SYSTEM", "", 3, settings_path));
  CheckRoundTrip(kelvador::ReadSystemSetting("", "", -1, settings_path));

  // The cipher on its own, over the raw input as hexadecimal text.
  std::string value;
  const std::string_view hex(reinterpret_cast<const char*>(data), size);
  const int result = kelvador::DecryptHexValue(hex, kelvador::kSettingValueKey, &value);
  if (result != 0 && result != 1) std::abort();
  if (result == 1) CheckRoundTrip(value);
  std::fflush(stdout);
  return 0;
}
