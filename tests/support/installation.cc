#include "support/installation.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvador::testing {
namespace {

void CheckSystem(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& cwd, const std::string& input,
                         const std::map<std::string, std::string>& environment) {
  std::signal(SIGPIPE, SIG_IGN);  // a child that exits early must not kill the test
  int in_pipe[2], out_pipe[2], err_pipe[2];
  CheckSystem(::pipe(in_pipe) == 0 && ::pipe(out_pipe) == 0 && ::pipe(err_pipe) == 0, "pipe");
  const pid_t pid = ::fork();
  CheckSystem(pid >= 0, "fork");
  if (pid == 0) {
    ::dup2(in_pipe[0], 0);
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
      ::close(fd);
    }
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(in_pipe[0]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);

  ProcessResult result;
  std::size_t written = 0;
  int in_fd = in_pipe[1];
  if (input.empty()) {
    ::close(in_fd);
    in_fd = -1;
  } else {
    ::fcntl(in_fd, F_SETFL, O_NONBLOCK);
  }
  std::string* sinks[] = {&result.out, &result.err};
  pollfd polls[3] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}, {in_fd, POLLOUT, 0}};
  while (polls[0].fd >= 0 || polls[1].fd >= 0) {
    polls[2].fd = in_fd;  // poll skips negative descriptors
    if (::poll(polls, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (polls[i].fd < 0 || !(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[65536];
      const ssize_t got = ::read(polls[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        ::close(polls[i].fd);
        polls[i].fd = -1;
      }
    }
    if (in_fd >= 0 && (polls[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t put = ::write(in_fd, input.data() + written, input.size() - written);
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 || written == input.size()) {
        ::close(in_fd);
        in_fd = -1;
      }
    }
  }
  if (in_fd >= 0) ::close(in_fd);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string BuiltProgram(const std::string& name) {
  const char* dir = std::getenv("KELVADOR_BIN_DIR");
  if (dir == nullptr) throw std::runtime_error("KELVADOR_BIN_DIR is not set");
  return std::string(dir) + "/" + name;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

Installation::Installation() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/kelvador-test-XXXXXX";
  CheckSystem(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
  root_ = pattern;
  std::filesystem::create_directories(files());
  std::filesystem::create_directories(work());
}

Installation::~Installation() {
  std::error_code ignored;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
}

void Installation::SetSetting(const std::string& key, const std::string& value) {
  const ProcessResult result = RunProgram(BuiltProgram("kelvador-settings"),
                                          {"set", settings_file(), key, "-"}, root_, value);
  if (result.exit_status != 0) {
    throw std::runtime_error("kelvador-settings set " + key + " failed: " + result.err);
  }
}

ProcessResult Installation::RunKelvador(const std::vector<std::string>& arguments,
                                        const std::map<std::string, std::string>& environment) const {
  return RunProgram(BuiltProgram("kelvador"), arguments, work(), {}, environment);
}

}  // namespace kelvador::testing
