#include "errors/error_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/message_box.h"
#include "support/test_project.h"

namespace velnor {
namespace {

using test::TestProject;

TEST(ErrorSub, WritesTheExactLogLineBeforeAnyQuestion) {
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  ErrorSub(53, "Demo", "File not found", "GetCFGPath", false);
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Fehler in Widget / Demo / GetCFGPath (Nr. 53) :File not found\r\n");
}

TEST(ErrorSub, WritesANegativeNumberWithItsSign) {
  TestProject project;
  ScriptedMessageBox box;
  ErrorSub(-2147217900, "DB", "x", "P", false);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("(Nr. -2147217900) :x"), std::string::npos);
}

TEST(ErrorSub, AsksWhetherToResumeAndFollowsTheAnswer) {
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  box.Answer(kAnswerNo);
  EXPECT_EQ(ErrorSub(5, "S", "Bad call", "ReadCommand", false), kDecisionContinue);
  EXPECT_EQ(ErrorSub(5, "S", "Bad call", "ReadCommand", false), kDecisionEnd);
  ASSERT_EQ(box.shown().size(), 2u);
  const std::string logPath = project.errorLog().string();
  std::string upperPath;
  for (const char c : logPath)
    upperPath += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(box.shown()[0].text,
            "Unexpected error!\n\rBad call\n\rError logged to \n\r" + upperPath + "\n\rResume?");
  EXPECT_EQ(box.shown()[0].style, 20);
  EXPECT_EQ(box.shown()[0].title, "Unexpected error");
  EXPECT_TRUE(AnyFailureReported());
}

TEST(ErrorSub, AFatalReportShowsOnlyOkAndAlwaysEnds) {
  TestProject project;
  ScriptedMessageBox box;
  EXPECT_EQ(ErrorSub(9999, "Widget_Config", "Database-Error", "Takeover", true), kDecisionEnd);
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].style, 16);
  EXPECT_EQ(box.shown()[0].title, "Fatal error");
  EXPECT_EQ(box.shown()[0].text.find("Resume?"), std::string::npos);
}

TEST(ErrorSub, SilentModeLogsInsteadOfAskingAndAlwaysContinues) {
  TestProject project;
  project.SetCommandLine("/EXTERNAL=SILENT");
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

TEST(ErrorSub, IntegratedModeLogsToTheLogfileOption) {
  TestProject project;
  const auto log = project.base() / "logs" / "cfg.txt";
  std::filesystem::create_directories(log.parent_path());
  // The option's value comes back upper-cased; the folder is found without regard to case.
  std::string option = log.string();
  for (char& c : option) c = c == '/' ? '\\' : c;
  project.SetCommandLine("/EXTERNAL=ZORCFG /LOGFILE=" + option);
  ScriptedMessageBox box;
  ErrorSub(1, "S", "d", "P", false);
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
  bool found = false;
  for (const auto& entry : std::filesystem::directory_iterator(log.parent_path())) {
    found = found || TestProject::Read(entry.path()).find("(Nr. 1) :d") != std::string::npos;
  }
  EXPECT_TRUE(found);
  EXPECT_NE(box.shown()[0].text.find("CFG.TXT"), std::string::npos);
}

TEST(ErrorSub, AnUnwritableLogLosesTheEntryButTheReportGoesOn) {
  TestProject project;
  std::filesystem::create_directories(project.errorLog());  // a folder where the log should be
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  EXPECT_EQ(ErrorSub(1, "S", "d", "P", false), kDecisionContinue);
  EXPECT_EQ(box.shown().size(), 1u);
}

TEST(ReportFault, ShowsACriticalBoxOrLogsWhenSilent) {
  TestProject project;
  {
    ScriptedMessageBox box;
    ReportFault("Something");
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].style, 16);
    EXPECT_EQ(box.shown()[0].title, "Widget_Config");
  }
  project.SetCommandLine("/EXTERNAL=SILENT");
  ScriptedMessageBox box;
  ReportFault("Something");
  EXPECT_TRUE(box.shown().empty());
  EXPECT_EQ(TestProject::Read(project.servicePackLog()), "! Fault Widget_Config: Something\r\n");
}

}  // namespace
}  // namespace velnor
