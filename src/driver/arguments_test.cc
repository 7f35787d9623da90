#include "driver/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvador {
namespace {

struct ParseOutcome {
  int result;
  std::string output;
  RunArguments arguments;
};

ParseOutcome Parse(std::vector<std::string> words) {
  words.insert(words.begin(), "kelvador");
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  ParseOutcome outcome;
  testing::internal::CaptureStdout();
  outcome.result = ParseArguments(static_cast<int>(argv.size()), argv.data(), &outcome.arguments);
  outcome.output = testing::internal::GetCapturedStdout();
  return outcome;
}

std::string Captured(void (*print)()) {
  testing::internal::CaptureStdout();
  print();
  return testing::internal::GetCapturedStdout();
}

TEST(PrintBanner, EveryFramedRowIs54Characters) {
  const std::string banner = Captured(PrintBanner);
  std::size_t start = 1;  // after the leading empty line
  for (int row = 0; row < 8; ++row) {
    const std::size_t end = banner.find('\n', start);
    EXPECT_EQ(end - start, 54u) << banner.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(banner.substr(start), "\n");
}

TEST(ParseArguments, RefusalsPrintBannerMessageAndUsage) {
  struct Case {
    std::vector<std::string> words;
    int result;
    std::string message;
  };
  const std::string long_name(32, 'A');
  const Case cases[] = {
      {{}, 1, "Falsche Anzahl Parameter\n"},
      {{"SEC", "T1", "out.txt"}, 1, "Falsche Anzahl Parameter\n"},
      {{"SEC", "T1", "out.txt", "x"}, 2, "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{"SEC", "T1", "out.txt", "1 "}, 2, "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{"SEC", "T1", "out.txt", "01"}, 2, "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{"SEC", "T1", "out.txt", "2"}, 2, "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{long_name, "T1", "out.txt", "2"}, 2, "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{long_name, "T1", "out.txt", "1"}, 4, "Sektionsname zu lang (max. 31 Zeichen)\n"},
      {{"SEC", long_name, "out.txt", "1"}, 4, "Terminalname zu lang (max. 31 Zeichen)\n"},
      {{"SEC", "T1'", "out.txt", "1"}, 4, "Unzulaessiges Zeichen im Terminalnamen\n"},
      {{"SEC", "T 1", "out.txt", "0"}, 4, "Unzulaessiges Zeichen im Terminalnamen\n"},
      {{"SEC", "T1;--", "out.txt", "0"}, 4, "Unzulaessiges Zeichen im Terminalnamen\n"},
  };
  const std::string expected_tail = "\n" + Captured(PrintUsage);
  const std::string banner = Captured(PrintBanner);
  for (const auto& c : cases) {
    const ParseOutcome outcome = Parse(c.words);
    const std::string label = ::testing::PrintToString(c.words);
    EXPECT_EQ(outcome.result, c.result) << label;
    EXPECT_EQ(outcome.output, banner + c.message + expected_tail) << label;
    EXPECT_TRUE(outcome.arguments.target_file_name.empty()) << label;
  }
}

TEST(ParseArguments, AcceptedCommandLinesFillTheArguments) {
  struct Case {
    std::vector<std::string> words;
    int debug_flag;
    std::string output;
  };
  const std::string max_name(31, 'Z');
  const Case cases[] = {
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "1"}, 0, ""},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "1", "/d"}, 1, " Aktiviert Debugger\n"},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "1", "/D", "extra"}, 1, " Aktiviert Debugger\n"},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "1", "-D"}, 0, ""},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "1", "/DEBUG"}, 0, ""},
      {{max_name, max_name, "kvdnl31p.txt", "1"}, 0, ""},
      {{"KVDNL31P", "", "", "0"}, 0, ""},
      {{"KVDNL31P", "T_1$#.-x", "kvdnl31p.txt", "0"}, 0, ""},
  };
  for (const auto& c : cases) {
    const ParseOutcome outcome = Parse(c.words);
    const std::string label = ::testing::PrintToString(c.words);
    EXPECT_EQ(outcome.result, 0) << label;
    EXPECT_EQ(outcome.output, c.output) << label;
    EXPECT_EQ(outcome.arguments.section_name, c.words[0]) << label;
    EXPECT_EQ(outcome.arguments.terminal_name, c.words[1]) << label;
    EXPECT_EQ(outcome.arguments.target_file_name, c.words[2]) << label;
    EXPECT_EQ(outcome.arguments.replace_flag, c.words[3] == "1" ? 1 : 0) << label;
    EXPECT_EQ(outcome.arguments.debug_flag, c.debug_flag) << label;
  }
}

}  // namespace
}  // namespace kelvador
