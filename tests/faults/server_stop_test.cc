// The PostgreSQL server ends the session in the middle of the fetch, as a
// server shutdown does to every session: kelvador must report the fetch error,
// write the rows it had, and end normally. The session is ended through
// pg_terminate_backend, so that the server shared with the other tests keeps
// running; the test has a login role of its own to find its session by.
// Needs the servers of scripts/test-servers.sh; skipped without them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "faults/fault_support.h"
#include "support/installation.h"

namespace kelvador::testing {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Runs `sql` as the superuser through the server's socket; returns the output.
std::string Superuser(const std::string& sql) {
  const ProcessResult result =
      RunProgram("/usr/bin/psql",
                 {"-X", "-q", "-t", "-A", "-h", Env("KELVADOR_TEST_PG_SOCKET_DIR"), "-p",
                  Env("KELVADOR_TEST_PG_PORT"), "-U", "postgres", "-d",
                  Env("KELVADOR_TEST_PG_DATABASE"), "-c", sql},
                 "/");
  EXPECT_EQ(result.exit_status, 0) << sql << "\n" << result.err;
  return result.out;
}

TEST(ServerStop, TheSessionEndsInTheMiddleOfTheFetch) {
  if (Env("KELVADOR_TEST_PG_URI").empty()) {
    GTEST_SKIP() << "no PostgreSQL test server (source scripts/test-servers.sh)";
  }
  const std::string role = "kelvador_fault_" + std::to_string(::getpid());
  const std::string password = "pw-" + std::to_string(::getpid()) + "-fault";
  Superuser("DROP ROLE IF EXISTS " + role + "; CREATE ROLE " + role + " LOGIN PASSWORD '" +
            password + "'");

  Installation installation;
  // NET8 holds at most 41 characters: the URI in its shortest form.
  installation.SetSetting("NET8", "postgres://127.0.0.1:" + Env("KELVADOR_TEST_PG_PORT") + "/" +
                                      Env("KELVADOR_TEST_PG_DATABASE"));
  installation.SetSetting("LOGIN", role);
  installation.SetSetting("PASS", password);
  installation.SetSetting("DB_SYSTEM", "TEST");
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"),
                 "[ALL]\nSQL001=SELECT generate_series(1, 100000000) AS G\n"
                 "FELD01=G\nFTYP01=DEC\nFLEN01=10\n");
  const std::string log = installation.root() + "/run.log";
  const pid_t pid = StartKelvador(installation, {"ALL", "T1", "out.txt", "1"}, log);

  // Once the query is running and rows stream in, the server ends the session.
  const std::string fetching = "SELECT count(*) FROM pg_stat_activity WHERE usename = '" + role +
                               "' AND state = 'active' AND query LIKE '%generate_series%'";
  bool terminated = false;
  int status = 0;
  bool ended = false;
  for (int attempt = 0; attempt < 600 && !terminated && !ended; ++attempt) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (Superuser(fetching) == "1\n") {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      terminated = Superuser(
                       "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                       "WHERE usename = '" +
                       role + "'") == "1\n";
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  for (int wait = 0; wait < 1200 && !ended; ++wait) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    ADD_FAILURE() << "kelvador did not end within two minutes of the session's end";
  }
  Superuser("DROP ROLE IF EXISTS " + role);
  ASSERT_TRUE(terminated) << "the session was never seen fetching:\n" << ReadWholeFile(log);

  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ":\n"
                                 << ReadWholeFile(log);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string output = ReadWholeFile(log);
  // "Fehler Lesen in Leseschleife -<status><count> Saetze kopiert in Datei out.txt \n":
  // the count runs straight after the status, and the rows written are 1 to N.
  const std::string error = "Fehler Lesen in Leseschleife -";
  const std::string summary = " Saetze kopiert in Datei out.txt \n";
  ASSERT_EQ(output.compare(0, error.size(), error), 0) << output;
  ASSERT_GT(output.size(), error.size() + summary.size());
  ASSERT_EQ(output.substr(output.size() - summary.size()), summary) << output;
  const std::string digits =
      output.substr(error.size(), output.size() - error.size() - summary.size());
  ASSERT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << output;
  const std::string content = ReadWholeFile(installation.InWork("out.txt"));
  ASSERT_EQ(content.size() % 10, 0u);
  const long long rows = static_cast<long long>(content.size() / 10);
  EXPECT_GT(rows, 0) << output;
  EXPECT_TRUE(output.find(std::to_string(rows) + " Saetze") != std::string::npos) << output;
  bool in_order = true;
  char expected[24];
  for (long long row = 1; row <= rows && in_order; ++row) {
    std::snprintf(expected, sizeof expected, "%010lld", row);
    in_order = content.compare(static_cast<std::size_t>(row - 1) * 10, 10, expected) == 0;
  }
  EXPECT_TRUE(in_order) << "the file does not hold rows 1 to " << rows;
}

}  // namespace
}  // namespace kelvador::testing
