// The real executable, copied into a generated project, run unattended as a parent
// program runs it: "/EXTERNAL=SILENT", no display.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <map>
#include <sstream>

#include "demo_fixture.h"

namespace velnor::e2e {
namespace {

constexpr std::array<const char*, 5> kLimitColumns = {"abs_min", "abs_max", "min", "max", "pass"};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Text(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return Show(v);
}

// The name patterns of "Source_DEFS" by naming system (0 VisiWin32, 1 VisiWin Studio)
// and part; the last row for an entry wins.
std::array<std::map<std::int64_t, std::string>, 2> NamePatterns(const fs::path& sourceDb) {
  std::array<std::map<std::int64_t, std::string>, 2> patterns;
  const Table defs = ReadTable(sourceDb, "Source_DEFS");
  for (const auto& row : defs.rows) {
    const std::string system = Upper(Text(row[defs.Column("System")]));
    const int slot = system == "VISIWIN32" ? 0 : system == "VISIWINSTUDIO" ? 1 : -1;
    if (slot < 0) continue;
    patterns[static_cast<std::size_t>(slot)][std::get<std::int64_t>(row[defs.Column("Part")])] =
        Text(row[defs.Column("Var_Name")]);
  }
  return patterns;
}

struct ExpectedPresets {
  Table table;
  int takenOver = 0;     // rows whose limits come from the previous generation
  int fromTemplate = 0;  // rows without a counterpart, keeping the template's limits
};

// "PRESET_DEFS" as the update must leave it: one row per template row for machine, IDs
// from 1, texts with the machine put in, names composed in nameSystem, and the limits of
// the previous row with the same machine type, name (in either naming system) and offset.
ExpectedPresets ExpectPresets(const fs::path& sourceDb, const Table& previous,
                              const std::string& machine, int nameSystem) {
  const auto patterns = NamePatterns(sourceDb);
  const Table source = ReadTable(sourceDb, "Source_PRESET_DEFS");
  ExpectedPresets expected;
  expected.table.columns = source.columns;
  const std::size_t part = source.Column("part");
  const std::size_t varName = source.Column("var_name");
  const std::size_t machineType = source.Column("machine_type");
  const std::size_t offset = source.Column("offset_or_bitno");
  for (std::size_t i = 0; i < source.rows.size(); ++i) {
    std::vector<Value> row = source.rows[i];
    row[0] = static_cast<std::int64_t>(i + 1);
    std::array<std::string, 2> names;
    for (std::size_t c = 1; c < row.size(); ++c) {
      const auto* text = std::get_if<std::string>(&row[c]);
      if (text == nullptr) continue;
      if (c == varName) {
        const auto p = std::get<std::int64_t>(row[part]);
        for (std::size_t k = 0; k < 2; ++k) {
          const auto pattern = patterns[k].find(p);
          names[k] = pattern == patterns[k].end() ? "" : pattern->second;
          names[k] = ReplaceFirst(names[k], "###Var_Name", *text);
          names[k] = ReplaceFirst(names[k], "###machine", machine);
          names[k] = ReplaceFirst(names[k], "###machine", machine);
        }
        row[c] = names[static_cast<std::size_t>(nameSystem)];
      } else {
        row[c] = ReplaceFirst(*text, "###machine", machine);
      }
    }
    const auto matches = [&](const std::vector<Value>& old) {
      return SameValue(old[previous.Column("machine_type")], row[machineType]) &&
             SameValue(old[previous.Column("offset_or_bitno")], row[offset]) &&
             (Text(old[previous.Column("var_name")]) == names[0] ||
              Text(old[previous.Column("var_name")]) == names[1]);
    };
    const auto old = std::find_if(previous.rows.begin(), previous.rows.end(), matches);
    if (old != previous.rows.end()) {
      for (const char* limit : kLimitColumns) {
        row[source.Column(limit)] = (*old)[previous.Column(limit)];
      }
      ++expected.takenOver;
    } else {
      ++expected.fromTemplate;
    }
    expected.table.rows.push_back(std::move(row));
  }
  return expected;
}

void ExpectSameTable(const Table& actual, const Table& expected) {
  EXPECT_EQ(actual.columns, expected.columns);
  ASSERT_EQ(actual.rows.size(), expected.rows.size());
  int reported = 0;
  for (std::size_t r = 0; r < actual.rows.size() && reported < 10; ++r) {
    for (std::size_t c = 0; c < expected.columns.size() && c < actual.rows[r].size(); ++c) {
      if (!SameValue(actual.rows[r][c], expected.rows[r][c])) {
        ADD_FAILURE() << "row " << r + 1 << ", column " << expected.columns[c] << ": "
                      << Show(actual.rows[r][c]) << ", expected " << Show(expected.rows[r][c]);
        ++reported;
      }
    }
  }
}

std::string Logs(const DemoProject& project) {
  return "error log:\n" + ReadBytes(project.errorLog()) + "\nservice-pack log:\n" +
         ReadBytes(project.servicePackLog());
}

struct FileState {
  std::string bytes;
  timespec written{};
  bool operator==(const FileState& o) const {
    return bytes == o.bytes && written.tv_sec == o.written.tv_sec &&
           written.tv_nsec == o.written.tv_nsec;
  }
};

FileState StateOf(const fs::path& path) {
  FileState state{ReadBytes(path), {}};
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) state.written = info.st_mtim;
  return state;
}

class SilentRun : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(project.ok()); }
  DemoProject project;
};

TEST_F(SilentRun, RebuildsThePresetTableAndTakesTheLimitsOfThePreviousGenerationOver) {
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const RunResult run = project.RunSilent();

  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << Logs(project);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()))
      << "the component database is not a copy of the source database";
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), previous, "Filler", 0);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), expected.table);
  // The demo must exercise both sides of the takeover.
  EXPECT_GT(expected.takenOver, 0);
  EXPECT_GT(expected.fromTemplate, 0);
  EXPECT_FALSE(fs::exists(project.errorLog())) << Logs(project);
  EXPECT_EQ(ReadBytes(project.servicePackLog()), "");
}

TEST_F(SilentRun, RewritesTheStoredChoicesInPlainFormAndDropsWarningsWithoutPicture) {
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
    return fs::exists(project.base() / "Standard" / name);
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

TEST(SilentRunWithoutCfg, EndsWithStatusOneAfterReportingTheMissingFile) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  fs::remove(project.cfg());
  const std::string programIni = ReadBytes(project.programIni());
  const std::string componentDb = ReadBytes(project.componentDb());

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 1) << run.Describe();
  const std::string log = ReadBytes(project.servicePackLog());
  EXPECT_NE(log.find("! Fault Widget_Config: File not found: "), std::string::npos) << log;
  EXPECT_NE(log.find(Upper(project.cfg().string())), std::string::npos) << log;
  EXPECT_EQ(ReadBytes(project.programIni()), programIni);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == componentDb);
  EXPECT_FALSE(fs::exists(project.cfg()));
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
