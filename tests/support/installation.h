#ifndef KELVADOR_TESTS_SUPPORT_INSTALLATION_H_
#define KELVADOR_TESTS_SUPPORT_INSTALLATION_H_

#include <map>
#include <string>
#include <vector>

namespace kelvador::testing {

// What a finished child process left behind.
struct ProcessResult {
  int exit_status = -1;  // the exit status, or 128 + signal number
  std::string out;       // standard output
  std::string err;       // standard error
};

// Runs `program` with `arguments` in folder `cwd`, feeding `input` to its
// standard input, with `environment` added to (or overriding) the test's own.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& cwd, const std::string& input = {},
                         const std::map<std::string, std::string>& environment = {});

// Full path of a program built by this project (KELVADOR_BIN_DIR).
std::string BuiltProgram(const std::string& name);

// Reads a whole file; the empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Writes a whole file, creating its folders.
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

// A temporary installation tree, removed when the object goes:
// ROOT/Files/Vantorium.Ini beside the database, and the working folder
// ROOT/work/app two levels below ROOT, as installations are laid out.
class Installation {
 public:
  Installation();
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  const std::string& root() const { return root_; }
  std::string files() const { return root_ + "/Files"; }
  std::string work() const { return root_ + "/work/app"; }
  std::string settings_file() const { return files() + "/Vantorium.Ini"; }

  // Adds or replaces a setting with the kelvador-settings companion.
  void SetSetting(const std::string& key, const std::string& value);

  // Runs kelvador in the working folder.
  ProcessResult RunKelvador(const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment = {}) const;

  // Path of a file in the working folder.
  std::string InWork(const std::string& name) const { return work() + "/" + name; }

 private:
  std::string root_;
};

}  // namespace kelvador::testing

#endif  // KELVADOR_TESTS_SUPPORT_INSTALLATION_H_
