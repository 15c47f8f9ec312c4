#include "app/run_lock.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"
#include "support/throwing_program_end.h"

namespace velnor {
namespace {

using namespace std::chrono_literals;
using test::TestProject;
using test::TestRun;

TEST(RunLock, ASecondRunOfTheComponentSaysSoAndEndsWhileTheFirstHoldsIt) {
  for (const char* commandLine : {"", "/EXTERNAL=ZORCFG", "/EXTERNAL=SILENT"}) {
    SCOPED_TRACE(commandLine);
    TestProject project;
    TestRun run(project, commandLine);
    ScriptedMessageBox box;
    ThrowingProgramEnd end;
    const FolderLock first = FolderLock::Take(project.componentFolder().string(), 0ms);
    ASSERT_EQ(first.state(), FolderLock::State::kHeld);
    const auto started = std::chrono::steady_clock::now();
    try {
      LockTheRun(run, 200ms);
      ADD_FAILURE() << "the second run went on";
    } catch (const ProgramEnded& ended) {
      EXPECT_EQ(ended.exitStatus, 1);
    }
    const std::string said = run.mode.silent ? TestProject::Read(project.servicePackLog())
                                             : (box.shown().empty() ? "" : box.shown()[0].text);
    EXPECT_NE(said.find("\"Widget\" is being configured by another run"), std::string::npos)
        << said;
    // Only a silent run, which no person can start again, waits for the first.
    EXPECT_EQ(std::chrono::steady_clock::now() - started >= 200ms, run.mode.silent);
  }
}

TEST(RunLock, TheLockIsTheRunsUntilItEnds) {
  TestProject project;
  TestRun run(project, "/EXTERNAL=SILENT");
  {
    const FolderLock held = LockTheRun(run, 0ms);
    EXPECT_EQ(held.state(), FolderLock::State::kHeld);
    EXPECT_EQ(FolderLock::Take(project.componentFolder().string(), 0ms).state(),
              FolderLock::State::kBusy);
  }
  EXPECT_EQ(FolderLock::Take(project.componentFolder().string(), 0ms).state(),
            FolderLock::State::kHeld);
}

}  // namespace
}  // namespace velnor
