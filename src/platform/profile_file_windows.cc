// The Windows side of the profile lookup: every key is asked of the system's
// GetPrivateProfileStringA, so the definition file is read by exactly the
// rules the installations' files were written for.
#include <windows.h>

#include <memory>
#include <string>

#include "definition/profile_source.h"

namespace kelvador {
namespace {

class SystemProfile : public ProfileSource {
 public:
  explicit SystemProfile(std::string path) : path_(std::move(path)) {}

  std::string GetString(std::string_view section, std::string_view key,
                        std::size_t size) const override {
    if (size == 0) return {};
    const std::string section_text(section);
    const std::string key_text(key);
    std::string value(size, '\0');
    // Places at most size - 1 characters and a terminator; returns how many.
    const DWORD count =
        GetPrivateProfileStringA(section_text.c_str(), key_text.c_str(), "", value.data(),
                                 static_cast<DWORD>(size), path_.c_str());
    value.resize(count < size ? count : size - 1);
    return value;
  }

 private:
  std::string path_;
};

}  // namespace

std::unique_ptr<ProfileSource> OpenProfileFile(const std::string& path) {
  return std::make_unique<SystemProfile>(path);
}

}  // namespace kelvador
