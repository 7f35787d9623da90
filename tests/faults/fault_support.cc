#include "faults/fault_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kelvador::testing {

pid_t StartKelvador(const Installation& installation, const std::vector<std::string>& arguments,
                    const std::string& log_path) {
  const std::string program = BuiltProgram("kelvador");
  const std::string cwd = installation.work();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int log = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_RDONLY);
    if (log < 0 || null < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::dup2(null, 0);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

ProcessResult RunKelvadorUnprivileged(const Installation& installation,
                                      const std::vector<std::string>& arguments) {
  const std::string id = std::to_string(kUnprivilegedId);
  std::vector<std::string> wrapped{"--reuid=" + id, "--regid=" + id, "--clear-groups", "--",
                                   BuiltProgram("kelvador")};
  wrapped.insert(wrapped.end(), arguments.begin(), arguments.end());
  return RunProgram("/usr/bin/setpriv", wrapped, installation.work());
}

void GiveToUnprivilegedUser(const Installation& installation) {
  const std::filesystem::path root = installation.root();
  auto give = [](const std::filesystem::path& path) {
    if (::lchown(path.c_str(), kUnprivilegedId, kUnprivilegedId) != 0) {
      throw std::runtime_error("chown " + path.string());
    }
  };
  give(root);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) give(entry.path());
}

std::vector<std::string> EntriesStartingWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
  }
  return names;
}

long long FileSize(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return -1;
  return status.st_size;
}

}  // namespace kelvador::testing
