#include "projectdb/work_on_mdb.h"

#include <algorithm>
#include <chrono>
#include <functional>

#include "app/machines.h"
#include "errors/error_report.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/pending_messages.h"
#include "projectdb/preset_defs.h"
#include "projectdb/projectdb_fixture.h"

namespace velnor::test {
namespace {

using Row = std::vector<std::string>;

const std::vector<std::string> kPatterns = {
    "'VISIWIN32', 1, '###machine.###Var_Name'",
    "'VISIWINSTUDIO', 1, '###machine/###Var_Name'",
    "'visiwin32', 2, 'M###machine.###Var_Name'",
    "'VISIWINSTUDIO', 2, 'Ns.M###machine.###Var_Name'",
    "'VISIWIN', 3, 'never used'",
};

// ID, machine_type, type, part, var_name, category_id, isBitArray, offset_or_bitno, text,
// page_name, abs_min, abs_max, min, max, pass
const std::vector<std::string> kTemplate = {
    "100, 'Filler', 1, 1, 'Speed', 3, 0, 10, 'Speed of ###machine', 'Page ###MACHINE', 0.0, "
    "100.0, 5.0, 50.0, 'tpass'",
    "200, '###machine', 2, 2, 'Temp', 4, 1, 11, 'A###MACHINE_B###machine', NULL, 1.0, 2.0, 3.0, "
    "4.0, NULL",
    "300, 'Filler', 3, 2, NULL, 5, 0, 12, X'00FF', 'plain', 7, 8.5, NULL, NULL, 'x'",
};

std::string PreviousRow(const std::string& machineType, const std::string& varName, int offset,
                        const std::string& limits) {
  return "1, " + Lit(machineType) + ", 1, 1, " + Lit(varName) + ", 3, 0, " +
         std::to_string(offset) + ", 'old', 'old', " + limits;
}

const std::vector<std::string> kPrevious = {
    PreviousRow("Filler", "Filler.Speed", 10, "-5.0, 500.0, 1.0, 99.0, 'userpass'"),
    PreviousRow("FILLER", "MFILLER.TEMP", 11, "-1.0, 1000, 2.5, 3.5, 'p2'"),
    PreviousRow("Filler", "Gone", 99, "9.0, 9.0, 9.0, 9.0, 'lost'"),
};

// The rows the happy path ends with.
const std::vector<Row> kUpdated = {
    {"i:1", "t:Filler", "i:1", "i:1", "t:Filler.Speed", "i:3", "i:0", "i:10", "t:Speed of Filler",
     "t:Page Filler", "r:-5", "r:500", "r:1", "r:99", "t:userpass"},
    {"i:2", "t:Filler", "i:2", "i:2", "t:MFiller.Temp", "i:4", "i:1", "i:11",
     "t:AFiller_B###machine", "null", "r:-1", "r:1000", "r:2.5", "r:3.5", "t:p2"},
    {"i:3", "t:Filler", "i:3", "i:2", "null", "i:5", "i:0", "i:12", "b:00FF", "t:plain", "r:7",
     "r:8.5", "null", "null", "t:x"},
};

class WorkOnMDBTest : public ProjectDbTest {
 protected:
  void StandardProject() {
    WriteCfg({"ForMachine1=true"});
    WriteSource(kPatterns, kPresetColumns, kTemplate);
    WriteComponent(kPresetColumns, kPrevious);
  }

  // Integrated, with the save-and-restore folder "backup" beside the project.
  fs::path Integrated(const std::string& validMachines) {
    const fs::path backup = project.base() / "backup";
    fs::create_directories(backup / "Widget");
    TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                       "[Common]\r\nSaveAndRestore=" + backup.string() + "\r\nNameM1=Filler\r\n");
    SetCommandLine("/EXTERNAL=ZORCFG");
    run.FindFiles();
    WriteCfg({"ValidMachines=" + validMachines});
    return backup / "Widget" / "Widget.mdb";
  }

  std::string ServicePackLog() const {
    return Cp1252ToUtf8(TestProject::Read(project.servicePackLog()));
  }
};

TEST_F(WorkOnMDBTest, RebuildsTheTableTakesTheValuesOverAndReplacesTheComponentDatabase) {
  StandardProject();
  const fs::file_time_type before = fs::last_write_time(SourceDb()) - std::chrono::hours(24 * 400);
  fs::last_write_time(SourceDb(), before);

  WorkOnMDB(run);

  EXPECT_EQ(ComponentRows(), kUpdated);
  EXPECT_EQ(TestProject::Read(ComponentDb()), TestProject::Read(SourceDb()));
  EXPECT_EQ(QueryRows(ComponentDb(), "SELECT x FROM Other"), Rows{{"t:kept"}});
  EXPECT_EQ(fs::last_write_time(SourceDb()), before);
  EXPECT_FALSE(fs::exists(project.errorLog())) << ErrorLog();
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_FALSE(fs::exists(project.componentFolder() / "Widget_Source.mdb-journal"));
}

TEST_F(WorkOnMDBTest, StandaloneWithVisiWinStudioNamingConvertsTheOldNamesBeforeTakingOver) {
  StandardProject();
  const fs::path programIni = project.parameterFolder() / "Program.ini";
  TestProject::Write(programIni, "[Project]\r\nVWStudio=true\r\n");
  run.programIniForReading = programIni.string();

  WorkOnMDB(run);

  EXPECT_EQ(ComponentRows("var_name, abs_min, pass"),
            (Rows{{"t:Filler/Speed", "r:-5", "t:userpass"},
                  {"t:Ns.MFiller.Temp", "r:-1", "t:p2"},
                  {"null", "r:7", "t:x"}}));
}

TEST_F(WorkOnMDBTest, IntegratedTakesTheMachineCopyWithVisiWin32NamesWhateverProgramIniSays) {
  const fs::path machineCopy = Integrated("ALL");
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  WriteComponent(kPresetColumns,
                 {PreviousRow("Filler", "Filler.Speed", 10, "1, 1, 1, 1, 'component'")});
  // The machine copy was written under VisiWin Studio names.
  ExecSql(machineCopy, std::string("CREATE TABLE PRESET_DEFS (") + kPresetColumns + ");" +
                           "INSERT INTO PRESET_DEFS VALUES (" +
                           PreviousRow("Filler", "Filler/Speed", 10, "2, 2, 2, 2, 'copy'") + ");");
  const std::string machineCopyBytes = TestProject::Read(machineCopy);
  const fs::path programIni = project.parameterFolder() / "Program.ini";
  TestProject::Write(programIni, "[Project]\r\nVWStudio=true\r\n");
  run.programIniForReading = programIni.string();

  WorkOnMDB(run);

  EXPECT_EQ(ComponentRows("var_name, pass"),
            (Rows{{"t:Filler.Speed", "t:copy"}, {"t:MFiller.Temp", "null"}, {"null", "t:x"}}));
  EXPECT_EQ(TestProject::Read(machineCopy), machineCopyBytes);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(WorkOnMDBTest, IntegratedWithoutMachineCopySaysSoAndUpdatesFromTheComponentDatabase) {
  Integrated("ALL");
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  WriteComponent(kPresetColumns, kPrevious);

  WorkOnMDB(run);

  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text,
            "Konnte die Datei:\"Widget.mdb\" in der Vorlage nicht finden!\r\n\r\n"
            "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
            "Dann ist diese Meldung völlig normal und es wird eine neue Datei mit den "
            "Standardwerten erzeugt.");
  EXPECT_EQ(boxes.shown()[0].style, 64);
  EXPECT_EQ(ComponentRows(), kUpdated);
}

TEST_F(WorkOnMDBTest, IntegratedSelectsTheFirstMachineByTheValidMachinesText) {
  const struct {
    const char* valid;
    const char* machine;
    std::size_t rows;
  } cases[] = {{"all", "Packer", 3}, {"M1,M2", "M1", 3}, {"M1,M2", "M", 3}, {"M1,M2", "M3", 0},
               {"M1", "", 3},        {"", "M1", 0},      {"", "", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.valid) + " / " + c.machine);
    Integrated(c.valid);
    WriteSource(kPatterns, kPresetColumns, kTemplate);
    run.machines = {"", c.machine};
    WorkOnMDB(run);
    EXPECT_EQ(ComponentRows().size(), c.rows);
    fs::remove(SourceDb());
  }
}

TEST_F(WorkOnMDBTest, StandaloneSelectsTheFirstMachineByItsForMachineKey) {
  const struct {
    const char* line;
    std::size_t rows;
  } cases[] = {{"", 0},
               {"ForMachine1=true", 3},
               {"ForMachine1=True", 3},
               {"ForMachine1=TRUE", 3},
               {"ForMachine1=1", 0},
               {"ForMachine2=true", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    WriteCfg({c.line});
    WriteSource(kPatterns, kPresetColumns, kTemplate);
    WorkOnMDB(run);
    EXPECT_EQ(ComponentRows().size(), c.rows);
    fs::remove(SourceDb());
  }
}

TEST_F(WorkOnMDBTest, CreatesRowsForTheFirstMachineOnly) {
  Integrated("ALL");
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  run.machines = {"", "Filler", "Capper", "Boxer"};

  WorkOnMDB(run);

  EXPECT_EQ(ComponentRows("ID, machine_type, var_name"),
            (Rows{{"i:1", "t:Filler", "t:Filler.Speed"},
                  {"i:2", "t:Filler", "t:MFiller.Temp"},
                  {"i:3", "t:Filler", "null"}}));
}

// The list is longer than a setting read may be, and is still read as the whole list.
TEST_F(WorkOnMDBTest, KeepsTheAdditionalColumnsAndTakesTheValuesOverWithoutWarning) {
  std::string columns = std::string(kPresetColumns) + ", unit VARCHAR(10)";
  std::string list = "unit";
  std::string values;
  for (int n = 1; n <= 20; ++n) {
    const std::string name = "additional_column_" + std::to_string(n);
    columns += ", " + name + " INTEGER";
    list += "," + name;
    values += ", " + std::to_string(n);
  }
  ASSERT_GT(list.size(), 254u);
  WriteCfg({"ForMachine1=true", "DataBaseAdditionalFields=" + list});
  WriteSource(kPatterns, columns, {kTemplate[0] + ", 'km/h'" + values});
  WriteComponent(columns, {kPrevious[0] + ", 'mph'" + values});

  WorkOnMDB(run);

  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(ErrorLog(), "");
  EXPECT_EQ(ComponentRows("var_name, pass, unit"),
            (Rows{{"t:Filler.Speed", "t:userpass", "t:km/h"}}));
}

TEST_F(WorkOnMDBTest, MatchesNamesWithDoubleQuotesAndWindows1252LettersOfAnyCase) {
  run.machines = {"", "Füller"};
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns, kPresetColumns,
              {"1, 'Fil\"ler', 1, 1, 'Say\"Hi', 3, 0, 10, 't', 'p', 0, 0, 0, 0, 'new'",
               "2, 'Filler', 1, 1, 'Speed', 3, 0, 11, 't', 'p', 0, 0, 0, 0, 'new'"});
  WriteComponent(kPresetColumns,
                 {PreviousRow("Fil\"ler", "Füller.Say\"Hi", 10, "1, 2, 3, 4, 'quoted'"),
                  PreviousRow("FILLER", "FÜLLER.SPEED", 11, "5, 6, 7, 8, 'upper'")});

  WorkOnMDB(run);

  EXPECT_EQ(ComponentRows("var_name, abs_min, pass"),
            (Rows{{"t:Füller.Say\"Hi", "r:1", "t:quoted"}, {"t:Füller.Speed", "r:5", "t:upper"}}));
}

TEST_F(WorkOnMDBTest, LetsTheWindowProcessItsMessagesWhileRowsAreCreatedAndTakenOver) {
  // A clock that moves on by more than the throttle's interval at every reading.
  struct SteppingClock : Clock {
    std::chrono::steady_clock::time_point now{};
    std::chrono::steady_clock::time_point Now() override {
      return now += std::chrono::milliseconds(60);
    }
  } clock;
  Clock* previousClock = SetClock(&clock);
  int processed = 0;
  SetPendingMessagesHook([&] { ++processed; });
  WriteCfg({"ForMachine1=true"});
  std::vector<std::string> rows(200, kTemplate[0]);
  WriteSource(kPatterns, kPresetColumns, rows);
  WriteComponent(kPresetColumns, std::vector<std::string>(200, kPrevious[0]));

  WorkOnMDB(run);

  SetPendingMessagesHook(nullptr);
  SetClock(previousClock);
  // 200 rows of 15 values are copied, created and taken over: some 6000 points at
  // which the window may process its messages, of which every 64th asks the clock.
  EXPECT_GE(processed, 50);
  EXPECT_EQ(ComponentRows().size(), 200u);
}

// --- failure cases --------------------------------------------------------------------

TEST_F(WorkOnMDBTest, AMissingSourceDatabaseIsReportedAndLeavesTheComponentDatabaseAlone) {
  WriteCfg({"ForMachine1=true"});
  WriteComponent(kPresetColumns, kPrevious);
  const std::string componentBytes = TestProject::Read(ComponentDb());

  WorkOnMDB(run);

  EXPECT_EQ(ErrorLog(), "Fehler in Widget / SQLite / WorkOnMDB (Nr. 3024) :opening database " +
                            SourceDb().string() + ": file not found\r\n");
  EXPECT_FALSE(fs::exists(SourceDb()));
  EXPECT_EQ(TestProject::Read(ComponentDb()), componentBytes);
}

TEST_F(WorkOnMDBTest, ASourceFileThatIsNoDatabaseIsReportedAndNeitherFileChanges) {
  WriteCfg({"ForMachine1=true"});
  WriteComponent(kPresetColumns, kPrevious);
  const std::string componentBytes = TestProject::Read(ComponentDb());
  TestProject::Write(SourceDb(), std::string(2048, 'x'));

  WorkOnMDB(run);

  EXPECT_NE(ErrorLog().find("WorkOnMDB (Nr. 3343) :opening database " + SourceDb().string() +
                            ": file is not a database"),
            std::string::npos)
      << ErrorLog();
  EXPECT_EQ(TestProject::Read(SourceDb()), std::string(2048, 'x'));
  EXPECT_EQ(TestProject::Read(ComponentDb()), componentBytes);
}

// Without a pattern of the naming system in use every new row would lose its name and
// with it the limits of the previous generation: no new generation is made.
TEST_F(WorkOnMDBTest, NamePatternsThatNameNothingLeaveBothDatabasesAsTheyWere) {
  struct Case {
    const char* what;
    const char* sql;
    std::string said;
  };
  const std::string noPattern = "table Source_DEFS of " + SourceDb().string() +
                                " holds no variable-name pattern for the naming system in use "
                                "(rows whose System is VISIWIN32)";
  const Case cases[] = {
      {"no table", "DROP TABLE Source_DEFS",
       "(Nr. 3265) :reading the columns of table Source_DEFS of " + SourceDb().string() +
           ": no such table: Source_DEFS"},
      {"an empty table", "DELETE FROM Source_DEFS", noPattern},
      {"only the other system's", "DELETE FROM Source_DEFS WHERE System <> 'VISIWINSTUDIO'",
       noPattern},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const fs::path& file : {project.errorLog(), SourceDb(), ComponentDb()}) fs::remove(file);
    StandardProject();
    ExecSql(SourceDb(), c.sql);
    const std::string source = TestProject::Read(SourceDb());
    const std::string component = TestProject::Read(ComponentDb());

    WorkOnMDB(run);

    EXPECT_NE(ErrorLog().find(c.said), std::string::npos) << ErrorLog();
    EXPECT_EQ(TestProject::Read(SourceDb()), source);
    EXPECT_EQ(TestProject::Read(ComponentDb()), component);
  }
}

// Rows that were due but could not be made for want of the line's first machine: the
// cause names where the machines are read from, and no new generation is made.
TEST_F(WorkOnMDBTest, RowsDueWithoutAFirstMachineLeaveBothDatabasesAsTheyWere) {
  struct Case {
    const char* what;
    std::function<void()> breakIt;
    std::string said;
  };
  const std::string programIni = (project.parameterFolder() / "Program.ini").string();
  const Case cases[] = {
      {"no Program.ini", [&] { fs::remove(programIni); },
       "'" + programIni + "' is missing or not a file"},
      {"no machines",
       [&] { TestProject::Write(programIni, "[Project]\r\nNumberOfMachines=0\r\n"); },
       "names no machine (key NumberOfMachines of section [Project] is \"0\")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const fs::path& file : {project.errorLog(), SourceDb(), ComponentDb()}) fs::remove(file);
    StandardProject();
    c.breakIt();
    run.FindFiles();
    const std::string source = TestProject::Read(SourceDb());
    const std::string component = TestProject::Read(ComponentDb());

    WorkOnMDB(run);

    EXPECT_NE(ErrorLog().find("the line has no machine 1 to create the rows of table PRESET_DEFS "
                              "of " +
                              SourceDb().string() + " for: "),
              std::string::npos)
        << ErrorLog();
    EXPECT_NE(ErrorLog().find(c.said), std::string::npos) << ErrorLog();
    EXPECT_EQ(TestProject::Read(SourceDb()), source);
    EXPECT_EQ(TestProject::Read(ComponentDb()), component);
  }
}

TEST_F(WorkOnMDBTest, ASourceWithoutTemplateIsReportedAndKeepsItsTableAndTheComponentDatabase) {
  StandardProject();
  ExecSql(SourceDb(), std::string("DROP TABLE Source_PRESET_DEFS; CREATE TABLE PRESET_DEFS (") +
                          kPresetColumns + "); INSERT INTO PRESET_DEFS (ID) VALUES (42);");
  const std::string componentBytes = TestProject::Read(ComponentDb());

  WorkOnMDB(run);

  EXPECT_EQ(ErrorLog(),
            "Fehler in Widget / SQLite / WorkOnMDB (Nr. 3265) :reading the columns "
            "of table Source_PRESET_DEFS of " +
                SourceDb().string() + ": no such table: Source_PRESET_DEFS\r\n");
  EXPECT_EQ(QueryRows(SourceDb(), "SELECT ID FROM PRESET_DEFS"), Rows{{"i:42"}});
  EXPECT_EQ(TestProject::Read(ComponentDb()), componentBytes);
}

TEST_F(WorkOnMDBTest, PatternRowsThatCannotBeReadSetThePlainPatternOfPartOneWithoutReport) {
  WriteCfg({"ForMachine1=true"});
  WriteSource({"'VISIWIN32', 1, 'A.###Var_Name'", "'VISIWIN32', 51, 'x'", "'VISIWINSTUDIO', 0, 'x'",
               "'VISIWIN32', NULL, 'x'", "'VISIWIN32', 2, NULL", "'VISIWIN32', 2, 'B.###Var_Name'"},
              kPresetColumns,
              {"1, 'm', 1, 1, 'Speed', 3, 0, 10, 't', 'p', 0, 0, 0, 0, 'a'",
               "2, 'm', 1, 2, 'Temp', 3, 0, 11, 't', 'p', 0, 0, 0, 0, 'a'"});

  WorkOnMDB(run);

  EXPECT_FALSE(fs::exists(project.errorLog())) << ErrorLog();
  EXPECT_EQ(ComponentRows("var_name"), (Rows{{"t:Speed"}, {"t:B.Temp"}}));
}

TEST_F(WorkOnMDBTest, ATemplateWithPartAfterVarNameReportsEveryRowAndLeavesItsNameEmpty) {
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns,
              "ID INTEGER, machine_type VARCHAR(50), var_name VARCHAR(100), part INTEGER, "
              "offset_or_bitno INTEGER",
              {"1, 'm', 'Speed', 1, 10", "2, 'm', 'Temp', 2, 11"});

  WorkOnMDB(run);

  const std::string line =
      "Fehler in Widget / Widget_Config / CreateRecordSets (Nr. 13) :"
      "composing the var_name of row ";
  const std::string reason =
      " of table PRESET_DEFS of " + SourceDb().string() +
      ": Invalid use of Null: column part follows column var_name, so the part "
      "is not known yet\r\n";
  EXPECT_EQ(ErrorLog(), line + "1" + reason + line + "2" + reason);
  EXPECT_EQ(ComponentRows(),
            (Rows{{"i:1", "t:m", "null", "i:1", "i:10"}, {"i:2", "t:m", "null", "i:2", "i:11"}}));
}

TEST_F(WorkOnMDBTest, AComponentDatabaseWithoutPresetDefsIsReportedOnceByEachStepThatNeedsIt) {
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  ExecSql(ComponentDb(), "CREATE TABLE Something (x INTEGER)");

  WorkOnMDB(run);

  const std::string reason = " (Nr. 3265) :reading the columns of table PRESET_DEFS of " +
                             ComponentDb().string() + ": no such table: PRESET_DEFS\r\n";
  EXPECT_EQ(ErrorLog(), "Fehler in Widget / SQLite / CategorieNachCategoryID" + reason +
                            "Fehler in Widget / SQLite / VarNameInQuelleErsetzen" + reason);
  EXPECT_EQ(ComponentRows("pass"), (Rows{{"t:tpass"}, {"null"}, {"t:x"}}));
}

TEST_F(WorkOnMDBTest, AComponentDatabaseWithBothCategoryColumnsReportsTheRename) {
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  WriteComponent(std::string(kPresetColumns) + ", CATEGORIE INTEGER", {kPrevious[0] + ", 7"});
  boxes.Answer(kAnswerYes);  // continue after the failed rename
  boxes.Answer(kAnswerYes);  // accept losing the sixteenth column

  WorkOnMDB(run);

  EXPECT_EQ(ErrorLog(),
            "Fehler in Widget / SQLite / CategorieNachCategoryID (Nr. 3000) :renaming "
            "column CATEGORIE of table PRESET_DEFS to category_id of " +
                ComponentDb().string() +
                ": error in table PRESET_DEFS after rename: duplicate column name: "
                "category_id\r\n");
  EXPECT_EQ(ComponentRows("pass").front(), Row{"t:userpass"});
}

TEST_F(WorkOnMDBTest, ACopyThatFailsIsReportedWithBothPathsAndTheReason) {
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns, kPresetColumns, kTemplate);
  fs::create_directories(ComponentDb());  // a folder where the component database belongs

  WorkOnMDB(run);

  EXPECT_EQ(ErrorLog(), "Fehler in Widget / Widget_Config / WorkOnMDB (Nr. 3051) :copying '" +
                            SourceDb().string() + "' over '" + ComponentDb().string() + "': '" +
                            ComponentDb().string() + "' is not a file\r\n");
  EXPECT_TRUE(fs::is_directory(ComponentDb()));
}

TEST_F(WorkOnMDBTest, ATakeoverThatCannotRunKeepsTheComponentDatabaseWithItsLimits) {
  // The template still names the category column by its old name, so the rebuilt table
  // cannot be searched for the previous rows.
  std::string columns = kPresetColumns;
  columns.replace(columns.find("category_id"), std::string("category_id").size(), "CATEGORIE");
  WriteCfg({"ForMachine1=true"});
  WriteSource(kPatterns, columns, kTemplate);
  WriteComponent(kPresetColumns, kPrevious);
  const std::string previousGeneration = TestProject::Read(ComponentDb());

  WorkOnMDB(run);

  EXPECT_EQ(TestProject::Read(ComponentDb()), previousGeneration);
  const std::string log = ErrorLog();
  EXPECT_NE(log.find("/ TakeoverMachineCopyMDBData (Nr. "), std::string::npos) << log;
  EXPECT_NE(log.find("/ WorkOnMDB (Nr. 3000) :The component database '" + ComponentDb().string() +
                     "' is not replaced"),
            std::string::npos)
      << log;
}

// A database that exists but cannot be read whole is kept byte for byte, and so is the
// other one: the update makes no new generation and names the file once.
TEST_F(WorkOnMDBTest, ADatabaseThatCannotBeReadWholeIsReportedOnceAndNeitherFileChanges) {
  const auto cutInHalf = [](const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); };
  const auto firstPageDamaged = [](std::string bytes) {
    bytes.replace(0, 16, std::string(16, 'x'));
    return bytes;
  };
  const auto text = [](const std::string&) { return std::string("a note, no database\n"); };
  struct Case {
    const char* name;
    bool damageSource;
    std::function<std::string(const std::string&)> damage;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"component is a text file", false, text, "file is not a database"},
      {"component damaged in its first page", false, firstPageDamaged, "file is not a database"},
      {"component cut in half", false, cutInHalf, ""},
      {"source cut in half", true, cutInHalf, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(project.errorLog());
    fs::remove(SourceDb());
    fs::remove(ComponentDb());
    WriteCfg({"ForMachine1=true"});
    WriteSource(kPatterns, kPresetColumns, std::vector<std::string>(300, kTemplate[0]));
    WriteComponent(kPresetColumns, std::vector<std::string>(300, kPrevious[0]));
    const fs::path damaged = c.damageSource ? SourceDb() : ComponentDb();
    TestProject::Write(damaged, c.damage(TestProject::Read(damaged)));
    const std::string sourceBytes = TestProject::Read(SourceDb());
    const std::string componentBytes = TestProject::Read(ComponentDb());

    WorkOnMDB(run);

    EXPECT_EQ(TestProject::Read(SourceDb()), sourceBytes);
    EXPECT_EQ(TestProject::Read(ComponentDb()), componentBytes);
    const std::string log = ErrorLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(damaged.string() + ": "), std::string::npos) << log;
    EXPECT_NE(log.find(c.said), std::string::npos) << log;
  }
}

// --- the takeover's warning and aborts --------------------------------------------------

class TakeoverAbortTest : public WorkOnMDBTest {
 protected:
  // A previous table with a sixteenth column that no configuration names.
  void ProjectWithExtraColumn(const std::vector<std::string>& cfgLines) {
    WriteCfg(cfgLines);
    WriteSource(kPatterns, kPresetColumns, kTemplate);
    WriteComponent(std::string(kPresetColumns) + ", unit VARCHAR(10)", {kPrevious[0] + ", 'mph'"});
    componentBytes = TestProject::Read(ComponentDb());
    sourceBytes = TestProject::Read(SourceDb());
  }

  // Runs the update and returns the exit status it ended with (-1: it did not end).
  int RunUntilEnd() {
    try {
      WorkOnMDB(run);
    } catch (const ProgramEnded& ended) {
      return ended.exitStatus;
    }
    return -1;
  }

  // A run that ends in the middle of the update changes neither database.
  void ExpectNothingTakenOverAndComponentKept() {
    EXPECT_EQ(TestProject::Read(ComponentDb()), componentBytes);
    EXPECT_EQ(TestProject::Read(SourceDb()), sourceBytes);
  }

  std::string componentBytes;
  std::string sourceBytes;
  const std::string fatalLine =
      "Fehler in Widget / Widget_Config / TakeoverMachineCopyMDBData (Nr. 9999) :Database-Error - "
      "Contact Administrator!\r\n";
};

TEST_F(TakeoverAbortTest, ExtraColumnsAskFirstAndYesTakesTheValuesOver) {
  ProjectWithExtraColumn({"ForMachine1=true"});
  boxes.Answer(kAnswerYes);

  EXPECT_EQ(RunUntilEnd(), -1);

  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text,
            "WARNING!\n\rMachinecopy contains data in fields that won't be taken over!\n\r"
            "Configurationfile \"WIDGET.CFG\", missing entry \"DataBaseAdditionalFields \"\n\r"
            "If you continue now this data will be lost.\n\rContinue?");
  EXPECT_EQ(boxes.shown()[0].style, 308);
  EXPECT_EQ(boxes.shown()[0].title, "Widget_Config");
  EXPECT_EQ(ComponentRows("pass"), (Rows{{"t:userpass"}, {"null"}, {"t:x"}}));
}

TEST_F(TakeoverAbortTest, ExtraColumnsAnsweredNoEndTheProgramBeforeAnythingIsTakenOver) {
  ProjectWithExtraColumn({"ForMachine1=true"});
  boxes.Answer(kAnswerNo);

  EXPECT_EQ(RunUntilEnd(), 1);

  const std::string exe = UpperCase(JoinPath(project.programFolder().string(), "Widget_Config"));
  EXPECT_EQ(ErrorLog(),
            "Widget_Config :Database-Error - Contact Administrator! Configurationprogram "
            "\"WIDGET\" terminated. Please check Configuration in \"WIDGET.CFG\" Restart " +
                exe + "!\r\n" + fatalLine);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].title, "Fatal error");
  ExpectNothingTakenOverAndComponentKept();
}

TEST_F(TakeoverAbortTest, ExtraColumnsAreLoggedInSilentModeAndTheUpdateGoesOn) {
  SetCommandLine("/EXTERNAL=SILENT");
  ProjectWithExtraColumn({"ForMachine1=true"});

  EXPECT_EQ(RunUntilEnd(), -1);

  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(ServicePackLog(),
            "! Fault Widget_Config: WARNING!Machinecopy contains data in fields that won't be "
            "taken over!Configurationfile \"WIDGET.CFG\", missing entry \"DataBaseAdditionalFields "
            "\"If you continue now this data will be lost.Continue?\r\n");
  EXPECT_EQ(ComponentRows("pass").front(), Row{"t:userpass"});
}

TEST_F(TakeoverAbortTest, ADemandedColumnMissingEndsTheProgramInEveryMode) {
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent" : "standalone");
    SetCommandLine(silent ? "/EXTERNAL=SILENT" : "");
    fs::remove(project.errorLog());
    fs::remove(SourceDb());
    fs::remove(ComponentDb());
    ProjectWithExtraColumn({"ForMachine1=true", "DataBaseAdditionalFields=unit"});

    EXPECT_EQ(RunUntilEnd(), 1);

    EXPECT_EQ(ErrorLog(),
              "Conflict while attempting to extend database!Configurationsfile "
              "\"WIDGET.CFG\", demanded field \"UNIT\"missing in machinecopy-database"
              "\n\rConfiguration of \"WIDGET\" aborted.\r\n" +
                  fatalLine);
    ExpectNothingTakenOverAndComponentKept();
  }
}

}  // namespace
}  // namespace velnor::test
