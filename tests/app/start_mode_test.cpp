#include "app/start_mode.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/process.h"
#include "support/test_project.h"

namespace velnor {
namespace {

using test::TestProject;

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
    TestProject project;
    ScriptedMessageBox box;
    Process().commandLine = c.commandLine;
    EXPECT_EQ(GetStartModeIntegrated(), c.integrated);
    EXPECT_EQ(IntegratedMode, c.integrated);
    EXPECT_EQ(SilentMode, c.silent);
    EXPECT_TRUE(box.shown().empty()) << "no failure expected";
  }
}

TEST(ReadCommand, ValuesComeBackTrimmedAndUpperCasedUpToTheNextSlash) {
  EXPECT_EQ(ReadCommand("/LOGFILE=c:\\temp\\cfg.log /EXTERNAL=ZORCFG", "LOGFILE"),
            "C:\\TEMP\\CFG.LOG");
  EXPECT_EQ(ReadCommand("/EXTERNALZORCFG", "EXTERNAL"), "ORCFG");
  EXPECT_EQ(ReadCommand("/LOGFILE=D:\\EXTERNAL\\a.txt", "EXTERNAL"), "A.TXT");
  EXPECT_EQ(ReadCommand("/EXTERNAL=", "EXTERNAL"), "");
  EXPECT_EQ(ReadCommand("/EXTERNAL=ZORCFG", "LOGFILE"), std::nullopt);
}

TEST(ReadCommand, OnlyTheOneSeparatorCharacterIsSkippedBeforeBytesThatAreNoUtf8) {
  // "=" followed by a Latin-1 byte: the byte belongs to the value.
  EXPECT_EQ(ReadCommand("/LOGFILE=\xB5x", "LOGFILE"), "\xB5X");
  EXPECT_EQ(ReadCommand("/LOGFILE\xE2\x82x", "LOGFILE"), "\x82X");
  EXPECT_EQ(ReadCommand("/LOGFILE\xC3\xA4x", "LOGFILE"), "X") << "a whole character is one";
}

TEST(ReadCommand, BytesThatAreNoUtf8BeforeTheKeyDoNotShiftTheValue) {
  // A parent program may pass a path in another encoding; an overlong sequence in it
  // must not move the key's position.
  EXPECT_EQ(ReadCommand("/LOGFILE=\xE0\x80\xAF /EXTERNAL=ZORCFG", "EXTERNAL"), "ZORCFG");
  EXPECT_EQ(ReadCommand("/LOGFILE=\xF4\x90\x80\x80 /EXTERNAL=SILENT", "EXTERNAL"), "SILENT");
}

TEST(ReadCommand, AKeyAtTheVeryEndIsReportedAndReadsAsEmptyText) {
  TestProject project;
  ScriptedMessageBox box;
  box.Answer(kAnswerYes);
  EXPECT_EQ(ReadCommand("/EXTERNAL", "EXTERNAL"), "");
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("/ ReadCommand (Nr. 5) :"),
            std::string::npos);
}

TEST(GetPathLogfile, IsEmptyWithoutTheOption) {
  TestProject project;
  project.SetCommandLine("");
  EXPECT_EQ(GetPathLogfile(), "");
  project.SetCommandLine("/LOGFILE=c:\\temp\\cfg.log /EXTERNAL=ZORCFG");
  EXPECT_EQ(GetPathLogfile(), "C:\\TEMP\\CFG.LOG");
}

}  // namespace
}  // namespace velnor
