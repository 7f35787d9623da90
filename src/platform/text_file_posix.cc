#include <cstdio>

#include "platform/text_file.h"

namespace kelvador {

std::FILE* OpenTextFile(const std::string& path, TextMode mode) {
  const char* flags = mode == TextMode::kRead ? "r" : mode == TextMode::kWrite ? "w" : "a";
  return std::fopen(path.c_str(), flags);
}

int UseTextMode(std::FILE*) { return 0; }

int ReplaceFileWith(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : -1;
}

}  // namespace kelvador
