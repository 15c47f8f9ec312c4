#include "errors/procedure.h"

#include <gtest/gtest.h>

#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_report.h"
#include "support/throwing_program_end.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestReport;

TEST(Procedure, AFailedStepIsReportedUnderTheProcedureNameAndTheNextStepRuns) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  Procedure proc("GetCFGPath");
  bool secondRan = false;
  EXPECT_FALSE(proc.Step([] { throw Failure(53, "Demo", "File not found"); }));
  EXPECT_TRUE(proc.Step([&] { secondRan = true; }));
  EXPECT_TRUE(secondRan);
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Fehler in Widget / Demo / GetCFGPath (Nr. 53) :File not found\r\n");
}

TEST(Procedure, AnsweringNoEndsTheProgramWithStatusOne) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerNo);
  ThrowingProgramEnd end;
  Procedure proc("P");
  try {
    proc.Step([] { Raise(5, "Invalid procedure call or argument"); });
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 1);
  }
}

TEST(Procedure, LibraryExceptionsAreReportedAsFailuresOfTheProgram) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  Procedure proc("P");
  proc.Step([] { throw std::out_of_range("vector::at"); });
  EXPECT_NE(
      TestProject::Read(project.errorLog()).find("Widget / Widget_Config / P (Nr. 51) :vector::at"),
      std::string::npos);
}

}  // namespace
}  // namespace velnor
