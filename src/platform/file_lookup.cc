#include "platform/file_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace kelvador {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string ResolveFileName(const std::string& path) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) == 0) return path;

  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return path;
  std::vector<std::string> matches;
  while (const dirent* entry = ::readdir(dir)) {
    if (EqualsIgnoringCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  if (matches.empty()) return path;
  std::sort(matches.begin(), matches.end());
  return slash == std::string::npos ? matches.front() : folder + matches.front();
}

}  // namespace kelvador
