#include "platform/process.h"

#include <gtest/gtest.h>

#include "support/system.h"

namespace velnor {
namespace {

TEST(ProcessFacts, TheCommandLineTextFollowsTheProgramsNameAsWindowsEndsIt) {
  struct Case {
    const char* commandLine;
    const char* text;
  } const cases[] = {
      {R"("C:\Panel Projects\Config\Widget_Config.exe" /EXTERNAL=SILENT)", "/EXTERNAL=SILENT"},
      {R"(C:\Panel\Config\Widget_Config.exe /EXTERNAL=ZORCFG /LOGFILE=C:\Log Files\cfg.txt)",
       R"(/EXTERNAL=ZORCFG /LOGFILE=C:\Log Files\cfg.txt)"},
      {"Widget_Config\t \t/EXTERNAL=SILENT  ", "/EXTERNAL=SILENT  "},
      {R"("Widget_Config"/EXTERNAL=SILENT)", "/EXTERNAL=SILENT"},
      {R"("C:\F)"
       "\xC3\xBC"
       R"(ller\Widget_Config.exe" /LOGFILE=C:\Pr)"
       "\xC3\xBC"
       "fung\\log.txt",
       "/LOGFILE=C:\\Pr\xC3\xBC"
       "fung\\log.txt"},
      {R"("C:\unclosed quote /EXTERNAL=SILENT)", ""},
      {"Widget_Config.exe", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(ArgumentsAfterProgramName(c.commandLine), c.text);
  }
}

TEST(ProcessFacts, ArgumentsAreSplitAsTheRuntimeOfWindowsSplitsThem) {
  struct Case {
    const char* text;
    std::vector<std::string> arguments;
  } const cases[] = {
      {"/tmp/demo  Widget_Config.exe\t--rows 10",
       {"/tmp/demo", "Widget_Config.exe", "--rows", "10"}},
      {R"("C:\Panel Projects\demo" --first-machine F)"
       "\xC3\xBC"
       "ller",
       {"C:\\Panel Projects\\demo", "--first-machine", "F\xC3\xBCller"}},
      {R"(C:\folder\ "C:\with blank\\" "")", {"C:\\folder\\", "C:\\with blank\\", ""}},
      {R"(a\\\"b "c""d" e\\\\"f g")", {R"(a\"b)", R"(c"d)", R"(e\\f g)"}},
      {R"(unclosed" quote)", {"unclosed quote"}},
      {"  ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitArguments(c.text), c.arguments);
  }
}

TEST(ProcessFacts, TheFirstEnvironmentEntryIsTheFirstTheProgramSees) {
  if (test::AddHiddenDriveEntry()) {
    // The hidden per-drive entries come first in the system's block; the program never
    // sees them.
    const ProcessFacts facts = CaptureProcessFacts(0, nullptr, nullptr);
    ASSERT_FALSE(facts.firstEnvironmentEntry.empty());
    EXPECT_NE(facts.firstEnvironmentEntry.front(), '=') << facts.firstEnvironmentEntry;
    EXPECT_NE(facts.firstEnvironmentEntry.find('='), std::string::npos);
  } else {
    const char* const environment[] = {"FIRST=1", "SECOND=2", nullptr};
    EXPECT_EQ(CaptureProcessFacts(0, nullptr, environment).firstEnvironmentEntry, "FIRST=1");
    const char* const none[] = {nullptr};
    EXPECT_EQ(CaptureProcessFacts(0, nullptr, none).firstEnvironmentEntry, "");
  }
}

TEST(ProcessFacts, EnvironmentVariablesAreReadInUtf8) {
  const std::string name = "VELNOR_PROCESS_TEST";
  const std::string path =
      "C:\\Pr\xC3\xBC"
      "fung\\QuarnServicePack.log";
  test::SetEnvironment(name, path);
  EXPECT_EQ(EnvironmentVariable(name), path);
  test::UnsetEnvironment(name);
  EXPECT_EQ(EnvironmentVariable(name), std::nullopt);
}

}  // namespace
}  // namespace velnor
