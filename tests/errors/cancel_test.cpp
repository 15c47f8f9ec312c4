#include "errors/cancel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/message_box.h"
#include "support/test_project.h"

namespace velnor {
namespace {

using test::TestProject;

TEST(ConfirmCancel, StandaloneNoKeepsEditingAndWritesNothing) {
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerNo);
  EXPECT_FALSE(ConfirmCancel());
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
  EXPECT_EQ(box.shown()[0].style, 308);
  EXPECT_EQ(box.shown()[0].title, "Cancel?");
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

TEST(ConfirmCancel, StandaloneYesLogsTheAbandonment) {
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  EXPECT_TRUE(ConfirmCancel());
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Konfigurations-EXE wurde abgebrochen:     Widget\r\n");
}

TEST(ConfirmCancel, TheEnterKeyAnswersNo) {
  TestProject project;
  ScriptedMessageBox box;  // no scripted answer: the default button
  EXPECT_FALSE(ConfirmCancel());
}

TEST(ConfirmCancel, IntegratedNamesTheComponentAndTheProgramPath) {
  TestProject project;
  project.SetCommandLine("/EXTERNAL=ZORCFG");
  ScriptedMessageBox box;
  box.Answer(kAnswerNo);
  ConfirmCancel();
  const std::string program = (project.programFolder() / "Widget_Config").string();
  EXPECT_EQ(box.shown()[0].text,
            "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over \n\r"
            "\"Widget\" has to be configured again in \"standalone-mode\" via \n\r\"" +
                program + "\"");
}

TEST(ConfirmCancel, SilentNeverAsksAndLogsTheQuestion) {
  TestProject project;
  project.SetCommandLine("/EXTERNAL=SILENT");
  ScriptedMessageBox box;
  EXPECT_TRUE(ConfirmCancel());
  EXPECT_TRUE(box.shown().empty());
  EXPECT_EQ(TestProject::Read(project.servicePackLog()),
            "! Fault Widget_Config: Cancel edits?\n\rRemark:\n\rUntil now no changes have been "
            "taken over \r\n");
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

}  // namespace
}  // namespace velnor
