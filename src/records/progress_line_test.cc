#include "records/progress_line.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace kelvador {
namespace {

std::string Drain(int fd) {
  std::string text;
  char buffer[512];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  return text;
}

TEST(ProgressLine, RedrawsOneLineAndClearsItWhenFinished) {
  int pipe_fds[2];
  ASSERT_EQ(pipe2(pipe_fds, O_NONBLOCK), 0);
  auto line = ProgressLineOn(pipe_fds[1], 2);
  line->RowFetched(2);  // too soon after the start: nothing
  EXPECT_EQ(Drain(pipe_fds[0]), "");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  line->RowFetched(3);  // not a row the clock is looked at for
  EXPECT_EQ(Drain(pipe_fds[0]), "");
  line->RowFetched(4);
  const std::string drawn = Drain(pipe_fds[0]);
  EXPECT_EQ(drawn.rfind("\r4 Zeilen gelesen, ", 0), 0u) << drawn;
  EXPECT_EQ(drawn.find('\n'), std::string::npos) << drawn;
  line->Finish();
  const std::string cleared = Drain(pipe_fds[0]);
  EXPECT_EQ(cleared, "\r" + std::string(drawn.size() - 1, ' ') + "\r");
  line->Finish();
  EXPECT_EQ(Drain(pipe_fds[0]), "");
  close(pipe_fds[0]);
  close(pipe_fds[1]);
}

TEST(ProgressLine, NoneWhenStandardErrorIsNoTerminal) {
  const int saved = dup(STDERR_FILENO);
  const int null_fd = open("/dev/null", O_WRONLY);
  dup2(null_fd, STDERR_FILENO);
  EXPECT_EQ(ProgressLine::ForStandardError(), nullptr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  close(null_fd);
}

}  // namespace
}  // namespace kelvador
