#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/text_file.h"

namespace kelvador {

std::FILE* OpenTextFile(const std::string& path, TextMode mode) {
  // The explicit "t" keeps text mode even if the process default were binary.
  const char* flags = mode == TextMode::kRead ? "rt" : mode == TextMode::kWrite ? "wt" : "at";
  return std::fopen(path.c_str(), flags);
}

int UseTextMode(std::FILE* file) {
  std::fflush(file);
  return _setmode(_fileno(file), _O_TEXT) == -1 ? -1 : 0;
}

int ReplaceFileWith(const std::string& from, const std::string& to) {
  // rename() on Windows refuses an existing target; MoveFileEx replaces it.
  const BOOL moved = MoveFileExA(from.c_str(), to.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  return moved ? 0 : -1;
}

}  // namespace kelvador
