#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velnor {
namespace {

using namespace std::chrono_literals;

TEST(ChildProcess, HowTheChildEndedIsTold) {
  const struct {
    const char* script;
    bool succeeded;
    int exitStatus;
    int signal;
    const char* output;
    const char* errorOutput;
  } cases[] = {
      {"echo out; echo err >&2", true, 0, 0, "out\n", "err\n"},
      {"exit 3", false, 3, 0, "", ""},
      {"kill -SEGV $$", false, 0, 11, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const ChildOutcome outcome = RunChildProcess("/bin/sh", {"-c", c.script}, 10s);
    EXPECT_EQ(outcome.Succeeded(), c.succeeded);
    EXPECT_EQ(outcome.exitStatus, c.exitStatus);
    EXPECT_EQ(outcome.signal, c.signal);
    EXPECT_EQ(outcome.output, c.output);
    EXPECT_EQ(outcome.errorOutput, c.errorOutput);
  }
}

TEST(ChildProcess, AChildPastItsTimeLimitIsStopped) {
  const auto started = std::chrono::steady_clock::now();
  const ChildOutcome outcome = RunChildProcess("/bin/sh", {"-c", "sleep 30"}, 300ms);
  EXPECT_TRUE(outcome.timedOut);
  EXPECT_FALSE(outcome.Succeeded());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST(ChildProcess, AProgramThatCannotStartIsTold) {
  const ChildOutcome outcome = RunChildProcess("/nonexistent/converter", {}, 1s);
  EXPECT_FALSE(outcome.started);
  EXPECT_NE(outcome.Describe().find("/nonexistent/converter"), std::string::npos);
}

}  // namespace
}  // namespace velnor
