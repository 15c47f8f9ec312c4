#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "editor_fixture.h"
#include "platform/process.h"
#include "settings/ini_access.h"

namespace velnor::test {
namespace {

class WindowEvents : public EditorTest {
 protected:
  WindowEvents() {
    WriteProgramIni(kSettings);
    InfoButtons(1, 2);
  }

  static constexpr const char* kSettings =
      "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=M1\r\n[Info]\r\n"
      "Button1=0005\r\n";
};

TEST_F(WindowEvents, TheCaptionNamesTheProgramFolderAndTheStartMode) {
  struct Case {
    const char* commandLine;
    const char* caption;
  };
  for (const Case& row :
       std::vector<Case>{{"", "Erweiterte Konfiguration Config - standalone"},
                         {"/EXTERNAL=ZORCFG", "Erweiterte Konfiguration Config - integriert"}}) {
    SCOPED_TRACE(row.commandLine);
    run.SetCommandLine(row.commandLine);
    EXPECT_EQ(Load().windowTitle().toStdString(), row.caption);
  }
}

TEST_F(WindowEvents, LoadingEnablesTheButtonsAndShowingDrawsTheFirstTab) {
  EditorWindow& loaded = Load();
  EXPECT_TRUE(loaded.CommandOK()->isEnabled());
  EXPECT_TRUE(loaded.CommandCancel()->isEnabled());
  EXPECT_TRUE(loaded.Bild(1)->isHidden()) << "nothing is drawn before the window shows";
  loaded.show();
  EXPECT_FALSE(loaded.Bild(1)->isHidden());
  EXPECT_EQ(loaded.Slots().At(kTabButtons, 1).selected, 1);
}

TEST_F(WindowEvents, CancelAnsweredNoKeepsTheWindowAndEveryChoice) {
  EditorWindow& shown = LoadAndShow();
  QTest::mouseClick(shown.Bild(2), Qt::LeftButton);
  box.Answer(kAnswerNo);
  QTest::mouseClick(shown.CommandCancel(), Qt::LeftButton);

  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].title, "Cancel?");
  EXPECT_TRUE(shown.isVisible());
  EXPECT_EQ(shown.Slots().At(kTabButtons, 2).selected, 1);
  EXPECT_EQ(TestProject::Read(ProgramIni()), kSettings);
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

TEST_F(WindowEvents, CancelAnsweredYesEndsWithoutTouchingTheSettings) {
  EditorWindow& shown = LoadAndShow();
  shown.Bild_Click(2);
  box.Answer(kAnswerYes);
  try {
    shown.CommandCancel_Click();
    ADD_FAILURE() << "the program did not end";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 0);
  }
  EXPECT_EQ(TestProject::Read(ProgramIni()), kSettings);
  EXPECT_EQ(TestProject::Read(project.errorLog()),
            "Konfigurations-EXE wurde abgebrochen:     Widget\r\n");
  EXPECT_FALSE(std::filesystem::exists(project.componentFolder() / "Widget.mdb"));
}

TEST_F(WindowEvents, TheCloseButtonAsksAsCancelDoesAlsoInHelpMode) {
  EditorWindow& shown = LoadAndShow();
  shown.CommandQuest_Click();
  box.Answer(kAnswerNo);
  EXPECT_FALSE(shown.close());
  EXPECT_TRUE(shown.isVisible());
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].title, "Cancel?");

  box.Answer(kAnswerYes);
  EXPECT_TRUE(shown.close());
  EXPECT_FALSE(shown.isVisible());
  EXPECT_EQ(TestProject::Read(ProgramIni()), kSettings);
}

TEST_F(WindowEvents, OKSavesTheChoicesEvenAfterAFailedDatabaseUpdateAndEnds) {
  EditorWindow& shown = LoadAndShow();
  QTest::mouseClick(shown.Bild(2), Qt::LeftButton);
  try {
    shown.CommandOK_Click();
    ADD_FAILURE() << "the program did not end";
  } catch (const ProgramEnded& ended) {
    // The generated project has no source database: the update reports that, and the
    // run ends with the status of a run that logged faults.
    EXPECT_EQ(ended.exitStatus, 2);
  }
  EXPECT_EQ(FailureBoxes(), 1);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("/ WorkOnMDB (Nr."), std::string::npos);
  EXPECT_FALSE(shown.CommandOK()->isEnabled());
  EXPECT_FALSE(shown.CommandCancel()->isEnabled());
  EXPECT_EQ(LoadIniString("Info", "Button1", ProgramIni().string(), false, false), "7");
  EXPECT_EQ(LoadIniString("Info", "MachineWarning_M1_1", ProgramIni().string(), false, false), "0");
  EXPECT_NE(LoadIniString("Info", "S_Prog", project.cfgPath().string(), false, false), "");
}

TEST_F(WindowEvents, AFailureAnsweredNoEndsAtOnceWithStatusOne) {
  WriteDamagedPicture(project.programFolder() / "Info_Button_003_800.gif");
  box.Answer(kAnswerNo);
  Create();
  try {
    window->Form_Load();
    ADD_FAILURE() << "the program did not end";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 1);
  }
  EXPECT_EQ(TestProject::Read(ProgramIni()), kSettings);
}

TEST_F(WindowEvents, SilentLoadAppliesTheStoredChoicesWithoutShowingTheWindow) {
  run.SetCommandLine("/EXTERNAL=SILENT");
  Create();
  EXPECT_THROW(window->Form_Load(), ProgramEnded);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(box.shown().empty()) << "a silent run asks nothing";
  EXPECT_EQ(LoadIniString("Info", "Button1", ProgramIni().string(), false, false), "5");
  EXPECT_EQ(LoadIniString("Info", "S_Prog", project.cfgPath().string(), false, false),
            std::to_string(run.process.version.major) + "." +
                std::to_string(run.process.version.minor) + "." +
                std::to_string(run.process.version.revision) + " - Standalone");
}

}  // namespace
}  // namespace velnor::test
