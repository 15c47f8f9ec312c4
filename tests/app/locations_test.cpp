#include "app/locations.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/process.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"
#include "support/throwing_program_end.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestRun;

TEST(Locations, TheBaseFolderIsTheParentOfTheProgramFolder) {
  EXPECT_EQ(BaseFolderOf("D:\\Panel\\Config"), "D:\\Panel");
  EXPECT_EQ(BaseFolderOf("/opt/panel/Config"), "/opt/panel");
  EXPECT_EQ(BaseFolderOf("C:\\"), "C:");
}

TEST(Locations, TheComponentIsTheExecutableNameLessItsSuffix) {
  EXPECT_EQ(ComponentNameOf("Widget_Config"), "Widget");
  EXPECT_EQ(ComponentNameOf("_Config"), "");
  EXPECT_EQ(ComponentNameOf("Config"), std::nullopt);
}

TEST(Locations, TheSuffixIsCountedInCharactersNotBytes) {
  EXPECT_EQ(ComponentNameOf("F\u00fcller_Config"), "F\u00fcller");
  EXPECT_EQ(ComponentNameOf("F\u00fcller_K\u00f6nfig"), "F\u00fcller");
  EXPECT_EQ(ComponentNameOf("\u00c4_Konf\u00fc"), "");
  EXPECT_EQ(ComponentNameOf("\u00e4\u00f6\u00fc\u00e4\u00f6\u00fc"), std::nullopt)
      << "six letters in twelve bytes";
}

TEST(Locations, FilesOfTheComponentLieInItsFolder) {
  TestProject project;
  TestRun run(project);
  const auto base = project.base();
  EXPECT_EQ(GetOCXName(run), "Widget");
  EXPECT_EQ(GetPathOCXMDB(run), (base / "Widget" / "Widget.mdb").string());
  EXPECT_EQ(GetPathSourceOCXMDB(run), (base / "Widget" / "Widget_Source.mdb").string());
  EXPECT_EQ(GetZORConfigurationIniPath(run), "") << "missing file";
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini", "");
  EXPECT_EQ(GetZORConfigurationIniPath(run),
            (base / "parameter" / "zorconfiguration.ini").string());
  TestProject::Write(project.cfgPath(), "");
  EXPECT_EQ(GetCFGPath(run), project.cfgPath().string());
}

TEST(Locations, StandaloneReadsAndWritesTheProjectsOwnProgramIni) {
  TestProject project;
  TestRun run(project);
  EXPECT_EQ(GetProgramIniPathForReading(run), "");
  TestProject::Write(project.parameterFolder() / "Program.ini", "");
  const std::string own = (project.parameterFolder() / "Program.ini").string();
  EXPECT_EQ(GetProgramIniPathForReading(run), own);
  EXPECT_EQ(GetProgramIniPathForWriting(run), own);
}

TEST(Locations, IntegratedReadsFromTheSaveAndRestoreFolderWithOrWithoutTrailingSeparator) {
  for (const std::string separator : {"", "\\", "/"}) {
    SCOPED_TRACE("separator '" + separator + "'");
    TestProject project;
    const auto backup = project.base() / "Backup";
    std::string folder = backup.string();
    for (char& c : folder) c = c == '/' ? '\\' : c;  // as a Windows project stores it
    TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                       "[Common]\r\nSaveAndRestore=" + folder + separator + "\r\n");
    TestProject::Write(backup / "parameter" / "program.ini", "");
    TestProject::Write(backup / "Widget" / "Widget.mdb", "");
    TestProject::Write(project.parameterFolder() / "Program.ini", "");
    TestRun run(project, "/EXTERNAL=ZORCFG");
    run.FindFiles();
    EXPECT_EQ(GetProgramIniPathForReading(run), (backup / "parameter" / "program.ini").string());
    EXPECT_EQ(GetProgramIniPathForWriting(run),
              (project.parameterFolder() / "Program.ini").string());
    EXPECT_EQ(GetPathMachineCopyMDB(run), (backup / "Widget" / "Widget.mdb").string());
  }
}

TEST(Locations, AMissingMachineCopyGivesEmptyText) {
  TestProject project;
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                     "[Common]\r\nSaveAndRestore=" + (project.base() / "Backup").string() + "\r\n");
  TestRun run(project);
  run.FindFiles();
  EXPECT_EQ(GetPathMachineCopyMDB(run), "");
}

TEST(Locations, FileNameOnlyIsTheLastComponent) {
  EXPECT_EQ(GetFileNameOnly("D:\\Panel\\Config"), "Config");
  EXPECT_EQ(GetFileNameOnly("Config"), "Config");
  EXPECT_EQ(GetFileNameOnly("D:\\Panel\\"), "");
  EXPECT_EQ(GetFileNameOnly("/opt/panel/Config"), "Config");
}

TEST(Locations, AMissingCfgFileIsReportedAndEndsTheProgram) {
  TestProject project;
  TestRun run(project);
  ScriptedMessageBox box;
  ThrowingProgramEnd end;
  try {
    GetCFGPath(run);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 1);
  }
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].text.rfind("File not found: \n\r", 0), 0u);
  EXPECT_NE(box.shown()[0].text.find(NativePath("/WIDGET/WIDGET.CFG")), std::string::npos);
}

TEST(Locations, AnExecutableNameTooShortForAComponentIsReportedClearly) {
  TestProject project;
  TestRun run(project);
  run.process.executableBaseName = "Tool";
  run.component = ComponentNameOf("Tool").value_or("");  // as StartRun works it out
  ScriptedMessageBox box;
  ThrowingProgramEnd end;
  EXPECT_THROW(RequireComponentName(run), ProgramEnded);
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_NE(box.shown()[0].text.find("'Tool'"), std::string::npos);
  EXPECT_NE(box.shown()[0].text.find("seven-character suffix"), std::string::npos);
}

}  // namespace
}  // namespace velnor
