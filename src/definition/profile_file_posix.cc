// The Linux side of the profile lookup: the file is read once and parsed by
// ProfileText. A Windows build replaces this file with one that asks
// GetPrivateProfileStringA.
#include <cstdio>
#include <memory>
#include <string>

#include "definition/profile_source.h"
#include "definition/profile_text.h"
#include "platform/file_lookup.h"

namespace kelvador {
namespace {

// The whole content of `path`, or the empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  std::string content;
  char chunk[65536];
  std::size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return {};
  return content;
}

}  // namespace

std::unique_ptr<ProfileSource> OpenProfileFile(const std::string& path) {
  return std::make_unique<ProfileText>(ReadWholeFile(ResolveFileName(path)));
}

}  // namespace kelvador
