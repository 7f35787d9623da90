#ifndef KELVADOR_RECORDS_TEST_FOLDER_H_
#define KELVADOR_RECORDS_TEST_FOLDER_H_

// Test helpers of the record production tests: a scratch folder and file access.

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelvador::testing {

// A fresh folder under the system's temporary folder, removed with its files.
class TestFolder {
 public:
  TestFolder() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/records-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TestFolder() {
    for (const std::string& name : Names()) unlink((path_ + "/" + name).c_str());
    rmdir(path_.c_str());
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // The names in the folder, hidden ones included, without "." and "..".
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path_.c_str())) {
      while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
    }
    return names;
  }

 private:
  std::string path_;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteWhole(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Open descriptors of this process.
inline int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
  }
  return count;
}

}  // namespace kelvador::testing

#endif  // KELVADOR_RECORDS_TEST_FOLDER_H_
