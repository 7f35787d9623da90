#include "platform/paths.h"

namespace kelvador {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kPathSeparator;
  path += name;
  return path;
}

void SplitTargetName(const std::string& target, std::string* folder, std::string* base) {
  const std::size_t slash = target.find_last_of(kPathSeparators);
  if (slash == std::string::npos) {
    folder->assign(1, '.');
    base->assign(target);
  } else {
    folder->assign(target, 0, slash == 0 ? 1 : slash);
    base->assign(target, slash + 1, std::string::npos);
  }
}

}  // namespace kelvador
