#ifndef KELVADOR_DEFINITION_PROFILE_SOURCE_H_
#define KELVADOR_DEFINITION_PROFILE_SOURCE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kelvador {

// Key lookup in an initialization file, in the way of the Windows profile call
// GetPrivateProfileStringA(section, key, "", buffer, size, file). This is where
// the platforms differ: Linux parses the file itself, a Windows build may ask
// the system.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;

  // The value of `key` in `section`, cut to `size` - 1 characters (empty for a
  // size of 0). The empty text when the key, the section or the file is missing.
  virtual std::string GetString(std::string_view section, std::string_view key,
                                std::size_t size) const = 0;
};

// Opens the initialization file `path` for lookups; never fails and never
// returns null: a file that is missing or unreadable answers every lookup with
// the empty text. Reads the file at most once; the caller owns the result.
std::unique_ptr<ProfileSource> OpenProfileFile(const std::string& path);

}  // namespace kelvador

#endif  // KELVADOR_DEFINITION_PROFILE_SOURCE_H_
