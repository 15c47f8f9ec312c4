// The real executable, copied into a generated project, run unattended as a parent
// program runs it: "/EXTERNAL=SILENT", no display.
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <sstream>

#include "demo_fixture.h"
#include "expected_presets.h"
#include "platform/fs_path.h"

namespace velnor::e2e {
namespace {

std::string Logs(const DemoProject& project) {
  return "error log:\n" + ReadBytes(project.errorLog()) + "\nservice-pack log:\n" +
         ReadBytes(project.servicePackLog());
}

class SilentRun : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(project.ok()); }
  DemoProject project;
};

// The line's first machine named in ASCII and outside it: its name is part of variable
// names, picture file names and keys of the stored choices.
class SilentRunOfLine : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { ASSERT_TRUE(project.ok()); }
  const std::string machine = GetParam();
  DemoProject project{{"--first-machine", machine}};
};

INSTANTIATE_TEST_SUITE_P(FirstMachine, SilentRunOfLine,
                         ::testing::Values("Filler", "F\xC3\xBCller"),
                         [](const auto& info) { return info.index == 0 ? "Ascii" : "NonAscii"; });

TEST_P(SilentRunOfLine, RebuildsThePresetTableAndTakesTheLimitsOfThePreviousGenerationOver) {
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()))
      << "the component database is not a copy of the source database";
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), previous, machine, 0);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), expected.table);
  // The demo must exercise both sides of the takeover.
  EXPECT_GT(expected.takenOver, 0);
  EXPECT_GT(expected.fromTemplate, 0);
  EXPECT_FALSE(fs::exists(project.errorLog())) << Logs(project);
  EXPECT_EQ(ReadBytes(project.servicePackLog()), "");
  EXPECT_EQ(run.err, "") << "a parent program would take what stands there for a fault";
}

TEST_P(SilentRunOfLine, RewritesTheStoredChoicesInPlainFormAndDropsWarningsWithoutPicture) {
  const IniFile before(project.programIni());

  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  const IniFile after(project.programIni());
  const auto mask = [&](const std::string& key) {
    return LeadingNumber(before.Get("Info", key).value_or("0")) & 0xFFFF;
  };
  const auto warningExists = [&](int n, const std::string& machine) {
    std::string name = "Warn_" + std::string(n < 10 ? "0" : "") + std::to_string(n) +
                       (machine.empty() ? "" : "_" + machine) + "_1280.bmp";
    return fs::exists(project.base() / "Standard" / FsPath(name));
  };
  const auto shown = [&](std::int64_t bits, int group, const std::string& machine) {
    std::int64_t kept = 0;
    for (int j = 0; j < 16; ++j) {
      if ((bits >> j & 1) != 0 && warningExists((group - 1) * 16 + j + 1, machine)) kept |= 1 << j;
    }
    return kept;
  };
  std::map<std::string, std::int64_t> expected;
  for (int k = 1; k <= 6; ++k) {
    expected["Button" + std::to_string(k)] = mask("Button" + std::to_string(k));
  }
  for (int k = 1; k <= 3; ++k) {
    const std::string key = "StandardWarning" + std::to_string(k);
    expected[key] = shown(mask(key), k, "");
  }
  const auto machines = LeadingNumber(before.Get("Project", "NumberOfMachines").value_or("0"));
  for (int m = 1; m <= machines; ++m) {
    const std::string name = before.Get("Machine" + std::to_string(m), "MachineName").value_or("");
    expected["MachineWarning_" + name + "_1"] =
        shown(mask("MachineWarning_" + name + "_1"), 1, name);
    expected["MachineWarning_" + name + "_2"] = 0;
  }
  int rewritten = 0;  // stored values that had to change: leading zeros, dropped warnings
  for (const auto& [key, value] : expected) {
    SCOPED_TRACE(key);
    EXPECT_EQ(after.Get("Info", key), std::to_string(value));
    const auto stored = before.Get("Info", key);
    if (stored && *stored != std::to_string(value)) ++rewritten;
  }
  EXPECT_GE(rewritten, 3) << "the demo's stored choices should need rewriting";
  EXPECT_EQ(after.Keys("Info").size(), expected.size());

  const std::string bytes = ReadBytes(project.programIni());
  EXPECT_NE(bytes.find("ProjectName=Demo Abf\xFClllinie\r\n"), std::string::npos)
      << "the Windows-1252 text of another section did not survive the rewrite";
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "a line without CR LF at byte " << at;
  }
}

TEST_F(SilentRun, StampsTheCfgAndWritesTheLanguageFile) {
  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  const IniFile cfg(project.cfg());
  EXPECT_EQ(cfg.Get("Info", "S_Prog"), ProjectVersion() + " - Standalone");
  // "ab-c_d": a, b, c, d as their codes plus 5 in hexadecimal; "-" and "_" are skipped.
  EXPECT_EQ(cfg.Get("Info", "S_Editor"), "66676869");
  EXPECT_EQ(cfg.Get("Project", "ValidMachines"), "Filler,Capper");
  EXPECT_EQ(cfg.Get("Project", "DataBaseAdditionalFields"), "unit");

  ASSERT_TRUE(fs::exists(project.languageFile()));
  const IniFile language(project.languageFile());
  EXPECT_EQ(language.Get("Language", "Language"), "1031");
  EXPECT_EQ(language.Get("1031", "Caption_Header_"), "Info");
  EXPECT_EQ(language.Get("1031", "Help1"), "0");
  EXPECT_EQ(language.Get("1031", "Help2"), "0");
}

TEST_F(SilentRun, RunningAgainGivesTheSameResultAndNeverWritesTheMachineCopy) {
  const FileState machineCopy = StateOf(project.machineCopy());

  const RunResult first = project.RunSilent();
  ASSERT_EQ(first.exitStatus, 0) << first.Describe() << Logs(project);
  const Table presets = ReadTable(project.componentDb(), "PRESET_DEFS");
  const std::string programIni = ReadBytes(project.programIni());
  const std::string cfg = ReadBytes(project.cfg());
  const std::string language = ReadBytes(project.languageFile());

  const RunResult second = project.RunSilent();
  ASSERT_EQ(second.exitStatus, 0) << second.Describe() << Logs(project);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), presets);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()));
  EXPECT_EQ(ReadBytes(project.programIni()), programIni);
  EXPECT_EQ(ReadBytes(project.cfg()), cfg);
  EXPECT_EQ(ReadBytes(project.languageFile()), language);
  EXPECT_TRUE(StateOf(project.machineCopy()) == machineCopy) << "the machine copy was written";
}

TEST_F(SilentRun, WithVisiWinStudioNamesTheLimitsAreStillTakenOver) {
  std::string settings = ReadBytes(project.programIni());
  const auto at = settings.find("VWStudio=false");
  ASSERT_NE(at, std::string::npos);
  settings.replace(at, 14, "VWStudio=true");
  WriteBytes(project.programIni(), settings);
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), previous, "Filler", 1);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), expected.table);
  EXPECT_GT(expected.takenOver, 0);
}

TEST_F(SilentRun, ADamagedPictureIsLoggedAndTheRunGoesOnToEndWithStatusTwo) {
  WriteBytes(project.base() / "Standard" / "Warn_07_1280.bmp", "BM this is no picture");

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 2) << run.Describe() << Logs(project);
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find("Fehler in Widget"), std::string::npos) << errorLog;
  EXPECT_NE(errorLog.find("SetupUserInterFace"), std::string::npos) << errorLog;
  // The rest of the OK action still happened.
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()));
  EXPECT_TRUE(IniFile(project.cfg()).Get("Info", "S_Prog").has_value());
}

// Project contents from which no complete new generation can be made: the run names the
// cause, makes no new generation (neither database changes, its times included), still
// saves and stamps the choices, and ends with status 2.
TEST(SilentRunOnBadContents, NamesTheCauseAndLeavesBothDatabasesAsTheyWere) {
  struct Case {
    const char* what;
    std::function<void(const DemoProject&)> spoil;
    std::string said;  // in the error log and the service-pack log
  };
  const auto sql = [](const char* statement) {
    return [statement](const DemoProject& project) {
      demo::DemoDb(project.sourceDb(), false).Exec(statement);
    };
  };
  const Case cases[] = {
      {"a component database that is no database",
       [](const DemoProject& project) {
         WriteBytes(project.componentDb(), "the limits of line 3, typed in by hand\r\n");
       },
       "Widget.mdb: file is not a database"},
      {"an empty Program.ini",
       [](const DemoProject& project) { WriteBytes(project.programIni(), ""); },
       "Program.ini' names no machine (key NumberOfMachines of section [Project] is missing)"},
      {"no Program.ini", [](const DemoProject& project) { fs::remove(project.programIni()); },
       "Program.ini' is missing or not a file"},
      {"no name patterns", sql("DROP TABLE Source_DEFS"), "no such table: Source_DEFS"},
      {"an empty table of name patterns", sql("DELETE FROM Source_DEFS"),
       "holds no variable-name pattern for the naming system in use"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DemoProject project;
    ASSERT_TRUE(project.ok());
    c.spoil(project);
    const FileState component = StateOf(project.componentDb());
    const FileState source = StateOf(project.sourceDb());

    const RunResult run = project.RunSilent();

    EXPECT_EQ(run.exitStatus, 2) << run.Describe() << Logs(project);
    EXPECT_TRUE(StateOf(project.componentDb()) == component);
    EXPECT_TRUE(StateOf(project.sourceDb()) == source);
    EXPECT_NE(ReadBytes(project.errorLog()).find(c.said), std::string::npos) << Logs(project);
    EXPECT_NE(ReadBytes(project.servicePackLog()).find(c.said), std::string::npos) << Logs(project);
    EXPECT_TRUE(IniFile(project.cfg()).Get("Info", "S_Prog").has_value());
  }
}

TEST(SilentRunOfSevenMachines, LogsTheWarningsItCannotSaveOnceAndLeavesTheirKeys) {
  DemoProject project({"--machines", "7"});
  ASSERT_TRUE(project.ok());
  const IniFile before(project.programIni());

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 2) << run.Describe() << Logs(project);
  const std::string log = ReadBytes(project.errorLog());
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("SetupUserInterFace"), std::string::npos) << log;
  const IniFile after(project.programIni());
  for (int machine : {6, 7}) {
    const std::string name =
        before.Get("Machine" + std::to_string(machine), "MachineName").value_or("");
    SCOPED_TRACE(name);
    ASSERT_FALSE(name.empty());
    EXPECT_NE(log.find(name), std::string::npos) << log;
    for (const char* key : {"_1", "_2"}) {
      EXPECT_EQ(after.Get("Info", "MachineWarning_" + name + key),
                before.Get("Info", "MachineWarning_" + name + key));
    }
  }
}

TEST(SilentRunWithoutCfg, EndsWithStatusOneAfterReportingTheMissingFile) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  fs::remove(project.cfg());
  const std::string programIni = ReadBytes(project.programIni());
  const std::string componentDb = ReadBytes(project.componentDb());
  const FileState sourceDb = StateOf(project.sourceDb());

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 1) << run.Describe();
  EXPECT_TRUE(StateOf(project.sourceDb()) == sourceDb);
  const std::string log = ReadBytes(project.servicePackLog());
  EXPECT_NE(log.find("! Fault Widget_Config: File not found: "), std::string::npos) << log;
  EXPECT_NE(log.find(Upper(project.cfg().string())), std::string::npos) << log;
  EXPECT_EQ(ReadBytes(project.programIni()), programIni);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == componentDb);
  EXPECT_FALSE(fs::exists(project.cfg()));
}

TEST(ToolExecutable, LinkedIntoAProjectConfiguresTheComponentOfTheLinkAsACopyWould) {
#ifdef _WIN32
  GTEST_SKIP() << "a project on Windows gets the tool by a copy";
#endif
  DemoProject project;
  ASSERT_TRUE(project.ok());
  fs::remove(project.tool());
  fs::create_symlink(ToolExecutable(), project.tool());
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), previous, "Filler", 0);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), expected.table);
  EXPECT_EQ(IniFile(project.languageFile()).Get("Language", "Language"), "1031");
  EXPECT_TRUE(fs::is_symlink(project.tool()));
  EXPECT_FALSE(fs::exists(project.errorLog())) << Logs(project);
}

TEST(ToolExecutable, WithoutADisplayTheWindowSaysSoAndTouchesNoFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows always has a display; the check is Linux's only";
#endif
  DemoProject project;
  ASSERT_TRUE(project.ok());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"/EXTERNAL=ZORCFG"}}) {
    SCOPED_TRACE(args.empty() ? "standalone" : args[0]);
    const auto before = FilesBelow(project.base());

    const RunResult run = project.RunTool(args);

    EXPECT_EQ(run.exitStatus, 1) << run.Describe();
    EXPECT_NE(run.err.find("the window needs a display"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("/EXTERNAL=SILENT"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(FilesBelow(project.base()) == before) << "a file was written";
    EXPECT_FALSE(fs::exists(project.servicePackLog()));
  }
}

TEST(ToolExecutable, AWindowToolkitThatCannotStartIsALoggedFailureWithStatusOne) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  RunOptions options = project.Unattended();
  options.set["QT_QPA_PLATFORM"] = "velnor-no-such-platform";
  const auto before = FilesBelow(project.base());

  const RunResult run = RunProgram(project.tool(), {}, options);

  EXPECT_EQ(run.exitStatus, 1) << run.Describe();
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find("platform plugin"), std::string::npos) << errorLog << run.Describe();
  EXPECT_NE(run.err.find("platform plugin"), std::string::npos) << run.err;
  auto after = FilesBelow(project.base());
  after.erase("ZORcfglog.txt");
  EXPECT_TRUE(after == before) << "a file besides the error log was written";
}

TEST(ToolExecutable, PrintsItsVersionAndTouchesNoFile) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  const auto listing = [&] {
    std::string files;
    for (const auto& entry : fs::recursive_directory_iterator(project.base())) {
      files += entry.path().string() + "\n";
      if (entry.is_regular_file()) files += ReadBytes(entry.path());
    }
    return files;
  };
  const std::string before = listing();

  const RunResult run = project.RunTool({"--version"});

  EXPECT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_NE(run.out.find(ProjectVersion()), std::string::npos) << run.out;
  EXPECT_TRUE(listing() == before) << "--version changed files of the project";
  EXPECT_FALSE(fs::exists(project.servicePackLog()));
}

TEST(DemoSummary, TellsWhatTheSilentRunChanged) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");
  const RunResult run = project.RunSilent();
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), previous, "Filler", 0);

  const RunResult summary =
      RunProgram(MakeDemoExecutable(), {"--summarize", project.base().string(), "0"}, RunOptions{});

  ASSERT_EQ(summary.exitStatus, 0) << summary.Describe();
  const std::string rows = std::to_string(expected.table.rows.size());
  const std::vector<std::string> lines = {
      "exit status    0: OK",
      rows + " rows created for \"Filler\" (IDs 1.." + rows + ")",
      std::to_string(expected.takenOver) + " rows took abs_min, abs_max, min, max and pass over",
      std::to_string(expected.fromTemplate) + " rows keep the template's values",
      "Button2: 0003 -> 3",
      "S_Prog=" + ProjectVersion() + " - Standalone",
      "Widget_Config.ini created",
      "machine copy   SaveRestore/Widget/Widget.mdb untouched"};
  for (const std::string& line : lines) {
    EXPECT_NE(summary.out.find(line), std::string::npos) << "missing: " << line << "\n"
                                                         << summary.out;
  }
}

}  // namespace
}  // namespace velnor::e2e
