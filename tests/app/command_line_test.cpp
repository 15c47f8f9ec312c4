#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/run_state.h"
#include "platform/paths.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestRun;

struct StartCase {
  const char* commandLine;
  bool integrated;
  bool silent;
};

TEST(StartMode, CommandLinesGiveTheirStartModes) {
  const StartCase cases[] = {
      {"", false, false},
      {"/EXTERNAL=ZORCFG", true, false},
      {"/external=zorcfg", true, false},
      {"/EXTERNAL= ZorCfg /LOGFILE=x", true, false},
      {"/EXTERNAL=ZORCFGX", false, false},
      {"/EXTERNAL=ZORCFG SILENT", false, false},
      {"/EXTERNAL=SILENT", false, true},
      {"/EXTERNAL:ZORCFG", true, false},
      {"/EXTERNALZORCFG", false, false},
      {"/EXTERNAL=", false, false},
      {"/LOGFILE=c:\\temp\\cfg.log /EXTERNAL=ZORCFG", true, false},
      {"/LOGFILE=D:\\EXTERNAL\\a.txt /EXTERNAL=ZORCFG", false, false},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.commandLine);
    const CommandLine line = ParseCommandLine(c.commandLine);
    EXPECT_EQ(StartModeOf(line).integrated, c.integrated);
    EXPECT_EQ(StartModeOf(line).silent, c.silent);
    EXPECT_FALSE(line.external.keyAtEnd || line.logFile.keyAtEnd) << "no failure expected";
  }
}

TEST(ReadCommand, ValuesComeBackTrimmedAndUpperCasedUpToTheNextSlash) {
  EXPECT_EQ(ReadCommand("/LOGFILE=c:\\temp\\cfg.log /EXTERNAL=ZORCFG", "LOGFILE").value,
            "C:\\TEMP\\CFG.LOG");
  EXPECT_EQ(ReadCommand("/EXTERNALZORCFG", "EXTERNAL").value, "ORCFG");
  EXPECT_EQ(ReadCommand("/LOGFILE=D:\\EXTERNAL\\a.txt", "EXTERNAL").value, "A.TXT");
  EXPECT_EQ(ReadCommand("/EXTERNAL=", "EXTERNAL").value, "");
  EXPECT_EQ(ReadCommand("/EXTERNAL=ZORCFG", "LOGFILE").value, std::nullopt);
}

TEST(ReadCommand, OnlyTheOneSeparatorCharacterIsSkippedBeforeBytesThatAreNoUtf8) {
  // "=" followed by a Latin-1 byte: the byte belongs to the value.
  EXPECT_EQ(ReadCommand("/LOGFILE=\xB5x", "LOGFILE").value, "\xB5X");
  EXPECT_EQ(ReadCommand("/LOGFILE\xE2\x82x", "LOGFILE").value, "\x82X");
  EXPECT_EQ(ReadCommand("/LOGFILE\xC3\xA4x", "LOGFILE").value, "X") << "a whole character is one";
}

TEST(ReadCommand, BytesThatAreNoUtf8BeforeTheKeyDoNotShiftTheValue) {
  // A parent program may pass a path in another encoding; an overlong sequence in it
  // must not move the key's position.
  EXPECT_EQ(ReadCommand("/LOGFILE=\xE0\x80\xAF /EXTERNAL=ZORCFG", "EXTERNAL").value, "ZORCFG");
  EXPECT_EQ(ReadCommand("/LOGFILE=\xF4\x90\x80\x80 /EXTERNAL=SILENT", "EXTERNAL").value, "SILENT");
}

TEST(ReadCommand, AKeyAtTheVeryEndReadsAsEmptyTextAndIsReportedOnceTheRunStarts) {
  EXPECT_EQ(ReadCommand("/EXTERNAL", "EXTERNAL").value, "");
  EXPECT_TRUE(ReadCommand("/EXTERNAL", "EXTERNAL").keyAtEnd);
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  TestRun run(project, "/EXTERNAL");
  run.FindFiles();
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("/ ReadCommand (Nr. 5) :"),
            std::string::npos);
}

TEST(RunState, TheErrorLogIsTheLogfileOptionOnlyWhileIntegrated) {
  TestProject project;
  const std::string baseLog = project.errorLog().string();
  EXPECT_EQ(TestRun(project, "").errorLog, baseLog);
  EXPECT_EQ(TestRun(project, "/LOGFILE=\\tmp\\cfg.log").errorLog, baseLog);
  EXPECT_EQ(TestRun(project, "/EXTERNAL=ZORCFG").errorLog, baseLog);
  EXPECT_EQ(TestRun(project, "/LOGFILE=\\tmp\\Cfg.log /EXTERNAL=ZORCFG").errorLog,
            NativePath("/tmp/Cfg.log"));
}

TEST(RunState, TheLogfileOptionNamesTheLogInTheCaseThatWasPassed) {
  TestProject project;
  const auto log = project.base() / "logs" / "Ok Log.txt";
  std::filesystem::create_directories(log.parent_path());
  std::string option = log.string();
  for (char& c : option) c = c == '/' ? '\\' : c;
  TestRun run(project, "/EXTERNAL=ZORCFG /LOGFILE=" + option);
  ScriptedMessageBox box;
  ErrorSub(1, "S", "d", "P", false);
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
  EXPECT_NE(TestProject::Read(log).find("(Nr. 1) :d"), std::string::npos);
  EXPECT_NE(box.shown()[0].text.find("Error logged to \n\r" + log.string() + "\n\r"),
            std::string::npos)
      << box.shown()[0].text;
}

TEST(RunState, AnEntryTheLogfileCannotTakeGoesToTheBaseFoldersLogAndSaysSo) {
  TestProject project;
  TestRun run(project, "/EXTERNAL=ZORCFG /LOGFILE=" + project.base().string() + "\\none\\x.txt");
  ScriptedMessageBox box;
  ErrorSub(1, "S", "d", "P", false);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("(Nr. 1) :d"), std::string::npos);
  EXPECT_NE(box.shown()[0].text.find("Error logged to \n\r" + project.errorLog().string()),
            std::string::npos)
      << box.shown()[0].text;
}

}  // namespace
}  // namespace velnor
