// Fuzzes the system settings file reader, the value cipher and the text editing
// of kelvador-settings. The input is the content of a settings file; it is
// looked up the way a run does (every key with section "" and number 0) and by
// section and number as well. The file lives in memory (memfd) and is reached
// through its /proc name. Besides the sanitizers, the target checks that every
// value found enciphers and deciphers back to itself, that a value set by
// kelvador-settings is the one a run then reads, and that the listing never
// shows a password.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_tool.h"
#include "settings/value_cipher.h"

namespace {

int settings_fd = -1;
std::string settings_path;

void CheckRoundTrip(const std::string& value) {
  if (value.empty()) return;  // spares two key schedules; the empty value has its own seed
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

  // kelvador-settings: set PASS and LOGIN in the text, then read them back. The
  // password is in no seed, so only the set itself can have put it there.
  const std::string password = "Zq9-fuzz-only-secret";
  std::string text(hex);
  for (const char* key : {"PASS", "LOGIN"}) {
    kelvador::SetOutcome outcome;
    std::string error;
    if (kelvador::SetSettingInText(&text, key, password, &outcome, &error) != 0) continue;
    std::string read_back;
    if (kelvador::LookUpSetting(text, "", key, 0, &read_back) != kelvador::kSettingFound ||
        read_back != password) {
      std::abort();
    }
    // Sections and keys are listed as they are: an input that spells the
    // password out in plain text may show it there.
    if (std::string(key) == "PASS" && hex.find(password) == std::string::npos &&
        kelvador::ListSettings(text).find(password) != std::string::npos) {
      std::abort();
    }
  }
  std::fflush(stdout);
  return 0;
}
