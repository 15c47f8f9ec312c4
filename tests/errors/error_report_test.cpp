#include "errors/error_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_report.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestReport;

TEST(ErrorSub, WritesTheExactLogLineBeforeAnyQuestion) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  ErrorSub(53, "Demo", "File not found", "GetCFGPath", false);
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Fehler in Widget / Demo / GetCFGPath (Nr. 53) :File not found\r\n");
}

TEST(ErrorSub, WritesANegativeNumberWithItsSign) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  ErrorSub(-2147217900, "DB", "x", "P", false);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("(Nr. -2147217900) :x"), std::string::npos);
}

TEST(ErrorSub, AsksWhetherToResumeAndFollowsTheAnswer) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  box.Answer(kAnswerNo);
  EXPECT_EQ(ErrorSub(5, "S", "Bad call", "ReadCommand", false), kDecisionContinue);
  EXPECT_EQ(ErrorSub(5, "S", "Bad call", "ReadCommand", false), kDecisionEnd);
  ASSERT_EQ(box.shown().size(), 2u);
  EXPECT_EQ(box.shown()[0].text, "Unexpected error!\n\rBad call\n\rError logged to \n\r" +
                                     project.errorLog().string() + "\n\rResume?");
  EXPECT_EQ(box.shown()[0].style, 20);
  EXPECT_EQ(box.shown()[0].title, "Unexpected error");
  EXPECT_TRUE(AnyFailureReported());
}

TEST(ErrorSub, AFatalReportShowsOnlyOkAndAlwaysEnds) {
  TestProject project;
  TestReport report(project);
  ScriptedMessageBox box;
  EXPECT_EQ(ErrorSub(9999, "Widget_Config", "Database-Error", "Takeover", true), kDecisionEnd);
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].style, 16);
  EXPECT_EQ(box.shown()[0].title, "Fatal error");
  EXPECT_EQ(box.shown()[0].text.find("Resume?"), std::string::npos);
}

TEST(ErrorSub, SilentModeLogsInsteadOfAskingAndAlwaysContinues) {
  TestProject project;
  TestReport report(project, /*silent=*/true);
  ScriptedMessageBox box;
  EXPECT_EQ(ErrorSub(6, "S", "Overflow", "LoadIniInteger", true), kDecisionContinue);
  EXPECT_TRUE(box.shown().empty());
  const std::string entry = TestProject::Read(project.servicePackLog());
  EXPECT_EQ(
      entry.rfind("! Fault Widget_Config: Unexpected error!\n\rOverflow\n\rError logged to ", 0),
      0u);
  EXPECT_EQ(entry.substr(entry.size() - 2), "\r\n");
  EXPECT_NE(TestProject::Read(project.errorLog()).find("LoadIniInteger (Nr. 6) :Overflow"),
            std::string::npos);
}

TEST(ErrorSub, AnUnwritableLogLosesTheEntryButTheReportGoesOn) {
  TestProject project;
  TestReport report(project);
  std::filesystem::create_directories(project.errorLog());  // a folder where the log should be
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  EXPECT_EQ(ErrorSub(1, "S", "d", "P", false), kDecisionContinue);
  EXPECT_EQ(box.shown().size(), 1u);
  // The entry is not lost: the service-pack log takes it.
  EXPECT_NE(TestProject::Read(project.servicePackLog()).find("/ P (Nr. 1) :d"), std::string::npos);
}

// The message's pointer names the log that holds the entry: the error log, else the
// fallback log, else the service-pack log; it is left out when no log took the entry.
TEST(ErrorSub, ThePointerNamesTheLogThatTookTheEntry) {
  struct Case {
    std::vector<std::string> unwritable;
    std::string holder;  // "" for none
  };
  const std::vector<Case> cases = {{{}, "error"},
                                   {{"error"}, "fallback"},
                                   {{"error", "fallback"}, "service-pack"},
                                   {{"error", "fallback", "service-pack"}, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE("held by '" + c.holder + "'");
    TestProject project;
    const std::map<std::string, std::filesystem::path> logs = {
        {"error", project.errorLog()},
        {"fallback", project.base() / "fallback.txt"},
        {"service-pack", project.servicePackLog()}};
    for (const std::string& log : c.unwritable) std::filesystem::create_directories(logs.at(log));
    const ReportScope report({false, "Widget_Config", "Widget", logs.at("error").string(),
                              logs.at("fallback").string()});
    ScriptedMessageBox box;
    box.Answer(kAnswerYes);

    ErrorSub(1, "S", "d", "P", false);

    ASSERT_EQ(box.shown().size(), 1u);
    const std::string pointer =
        c.holder.empty() ? "" : "\n\rError logged to \n\r" + logs.at(c.holder).string();
    EXPECT_EQ(box.shown()[0].text, "Unexpected error!\n\rd" + pointer + "\n\rResume?");
    if (!c.holder.empty()) {
      EXPECT_NE(TestProject::Read(logs.at(c.holder)).find("/ P (Nr. 1) :d"), std::string::npos);
    }
  }
}

TEST(WriteServicePackLog, AnEntryItCannotTakeGoesToTheErrorLogAndCounts) {
  TestProject project;
  TestReport report(project, /*silent=*/true);
  std::filesystem::create_directories(project.servicePackLog());
  WriteServicePackLog("lost?");
  EXPECT_EQ(TestProject::Read(project.errorLog()), "! Fault Widget_Config: lost?\r\n");
  EXPECT_TRUE(AnyFailureReported());
}

TEST(ReportFault, ShowsACriticalBoxOrLogsWhenSilent) {
  TestProject project;
  {
    TestReport report(project);
    ScriptedMessageBox box;
    ReportFault("Something");
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].style, 16);
    EXPECT_EQ(box.shown()[0].title, "Widget_Config");
  }
  TestReport silent(project, /*silent=*/true);
  ScriptedMessageBox box;
  ReportFault("Something");
  EXPECT_TRUE(box.shown().empty());
  EXPECT_EQ(TestProject::Read(project.servicePackLog()), "! Fault Widget_Config: Something\r\n");
}

}  // namespace
}  // namespace velnor
