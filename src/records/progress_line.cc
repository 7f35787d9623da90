#include "records/progress_line.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace kelvador {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRedrawInterval = std::chrono::milliseconds(250);
constexpr std::int32_t kRowsBetweenClockChecks = 4096;

class TerminalProgressLine : public ProgressLine {
 public:
  TerminalProgressLine(int fd, std::int32_t check_every)
      : fd_(fd), check_every_(check_every), start_(Clock::now()), last_draw_(start_) {}

  void RowFetched(std::int32_t rows) override {
    if (rows % check_every_ != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - last_draw_ < kRedrawInterval) return;
    last_draw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? rows / seconds : 0.0;
    char text[160];
    const int length = std::snprintf(text, sizeof text, "\r%d Zeilen gelesen, %.0f Zeilen/s, %s",
                                     rows, rate, Elapsed(now).c_str());
    Draw(text, length);
  }

  void Merging(std::int64_t merged, std::int64_t total) override {
    const Clock::time_point now = Clock::now();
    if (now - last_draw_ < kRedrawInterval && merged != total) return;
    last_draw_ = now;
    const int percent = total > 0 ? static_cast<int>(merged * 100 / total) : 100;
    char text[160];
    const int length =
        std::snprintf(text, sizeof text, "\rMischen: %lld von %lld Saetzen (%d%%), %s",
                      static_cast<long long>(merged), static_cast<long long>(total), percent,
                      Elapsed(now).c_str());
    Draw(text, length);
  }

  void Finish() override {
    if (shown_ == 0) return;
    char blank[200];
    const int width = shown_ < 190 ? shown_ : 190;
    blank[0] = '\r';
    std::memset(blank + 1, ' ', static_cast<std::size_t>(width));
    blank[width + 1] = '\r';
    WriteAll(blank, width + 2);
    shown_ = 0;
  }

 private:
  std::string Elapsed(Clock::time_point now) const {
    const long total = static_cast<long>(std::chrono::duration<double>(now - start_).count());
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return text;
  }

  // Draws `text` (starting with "\r"), blanking what is left of a longer line.
  void Draw(const char* text, int length) {
    if (length <= 0) return;
    if (length > 158) length = 158;
    std::string line(text, static_cast<std::size_t>(length));
    const int visible = length - 1;
    if (visible < shown_) line.append(static_cast<std::size_t>(shown_ - visible), ' ');
    WriteAll(line.data(), static_cast<int>(line.size()));
    shown_ = visible > shown_ ? visible : shown_;
  }

  void WriteAll(const char* data, int size) {
    while (size > 0) {
      const ssize_t done = write(fd_, data, static_cast<std::size_t>(size));
      if (done <= 0) return;  // a progress line is not worth a failure
      data += done;
      size -= static_cast<int>(done);
    }
  }

  int fd_;
  std::int32_t check_every_;
  Clock::time_point start_;
  Clock::time_point last_draw_;
  int shown_ = 0;  // characters on the line now
};

}  // namespace

std::unique_ptr<ProgressLine> ProgressLine::ForStandardError() {
  if (isatty(STDERR_FILENO) != 1) return nullptr;
  return ProgressLineOn(STDERR_FILENO, kRowsBetweenClockChecks);
}

std::unique_ptr<ProgressLine> ProgressLineOn(int fd, std::int32_t check_every) {
  return std::make_unique<TerminalProgressLine>(fd, check_every < 1 ? 1 : check_every);
}

}  // namespace kelvador
