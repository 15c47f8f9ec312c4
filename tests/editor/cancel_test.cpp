#include "editor/cancel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestRun;

TEST(ConfirmCancel, StandaloneNoKeepsEditingAndWritesNothing) {
  TestProject project;
  TestRun run(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerNo);
  EXPECT_FALSE(ConfirmCancel(run));
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
  EXPECT_EQ(box.shown()[0].style, 308);
  EXPECT_EQ(box.shown()[0].title, "Cancel?");
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

TEST(ConfirmCancel, StandaloneYesLogsTheAbandonment) {
  TestProject project;
  TestRun run(project);
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  EXPECT_TRUE(ConfirmCancel(run));
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Konfigurations-EXE wurde abgebrochen:     Widget\r\n");
}

TEST(ConfirmCancel, TheEnterKeyAnswersNo) {
  TestProject project;
  TestRun run(project);
  ScriptedMessageBox box;  // no scripted answer: the default button
  EXPECT_FALSE(ConfirmCancel(run));
}

TEST(ConfirmCancel, IntegratedNamesTheComponentAndTheProgramPath) {
  TestProject project;
  TestRun run(project, "/EXTERNAL=ZORCFG");
  ScriptedMessageBox box;
  box.Answer(kAnswerNo);
  ConfirmCancel(run);
  const std::string program = (project.programFolder() / "Widget_Config").string();
  EXPECT_EQ(box.shown()[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r"
            "\"Widget\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                program + "\"");
}

TEST(ConfirmCancel, SilentNeverAsksAndLogsTheQuestion) {
  TestProject project;
  TestRun run(project, "/EXTERNAL=SILENT");
  ScriptedMessageBox box;
  EXPECT_TRUE(ConfirmCancel(run));
  EXPECT_TRUE(box.shown().empty());
  EXPECT_EQ(TestProject::Read(project.servicePackLog()),
            "! Fault Widget_Config: Cancel edits?\n\rRemark:\n\rUntil now no changes have been "
            "taken over \r\n");
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

}  // namespace
}  // namespace velnor
