#include "projectdb/field_lists.h"

#include "projectdb/preset_defs.h"
#include "projectdb/projectdb_fixture.h"

namespace velnor::test {
namespace {

TEST(ReplaceSearchItem, ReplacesTheFirstOccurrenceFoundWithoutRegardToCase) {
  const struct {
    const char* text;
    const char* placeholder;
    const char* replacement;
    const char* result;
  } cases[] = {{"M###MACHINE_X", "###machine", "Filler", "MFiller_X"},
               {"AB", "###machine", "Filler", "AB"},
               {"###machine###machine", "###machine", "F", "F###machine"},
               {"Größe ###MaChInE größe", "###machine", "Füller", "Größe Füller größe"},
               {"", "###machine", "F", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReplaceSearchItem(c.text, c.placeholder, c.replacement), c.result);
  }
}

class FieldListsTest : public ProjectDbTest {};

TEST_F(FieldListsTest, AdditionalFieldsStartWithPartAndKeepTheNamesAsWritten) {
  const struct {
    const char* line;
    std::vector<std::string> names;
    const char* sql;
  } cases[] = {
      {"", {"", "part"}, ", PRESET_DEFS.\"part\""},
      {"DataBaseAdditionalFields=", {"", "part"}, ", PRESET_DEFS.\"part\""},
      {"DataBaseAdditionalFields=unit, scale",
       {"", "part", "unit", " scale"},
       ", PRESET_DEFS.\"part\", PRESET_DEFS.\"unit\", PRESET_DEFS.\" scale\""},
      {"DataBaseAdditionalFields=unit,",
       {"", "part", "unit", ""},
       ", PRESET_DEFS.\"part\", PRESET_DEFS.\"unit\", PRESET_DEFS.\"\""},
      {"DataBaseAdditionalFields=say \"hi\"",
       {"", "part", "say \"hi\""},
       ", PRESET_DEFS.\"part\", PRESET_DEFS.\"say \"\"hi\"\"\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    WriteCfg({c.line});
    EXPECT_EQ(GetAdditionalFieldsMDB(run), c.names);
    const std::optional<AddFields> fields = GetAddFields(run);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->AddFieldNames, c.names);
    EXPECT_EQ(fields->AddFieldsSql, c.sql);
    EXPECT_EQ(fields->AddFieldsCount, static_cast<std::int16_t>(c.names.size() - 1));
  }
}

TEST_F(FieldListsTest, ALongListIsReadWholeAndEveryNameReachesTheQuery) {
  std::string list;
  for (int i = 1; i <= 40; ++i)
    list += (i > 1 ? "," : "") + std::string("column_") + std::to_string(i);
  ASSERT_GT(list.size(), 254u);
  WriteCfg({"DataBaseAdditionalFields=" + list});
  const std::vector<std::string> names = GetAdditionalFieldsMDB(run);
  ASSERT_EQ(names.size(), 42u);
  EXPECT_EQ(names.back(), "column_40");
}

TEST_F(FieldListsTest, TheLegacyCategoryColumnGetsItsNewNameInTheCopyAndNeverInTheFile) {
  WriteComponent("ID INTEGER, Categorie INTEGER, var_name TEXT", {"1, 7, 'a'"});
  const std::string file = TestProject::Read(ComponentDb());
  PreviousGeneration previous(ComponentDb().string());
  CategorieNachCategoryID(previous);
  EXPECT_EQ(RowsOf(previous.Copy(), "SELECT ID, category_id, var_name FROM PRESET_DEFS"),
            (Rows{{"i:1", "i:7", "t:a"}}));
  EXPECT_EQ(TestProject::Read(ComponentDb()), file);
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, WithoutComponentDatabaseTheConversionsDoNothing) {
  PreviousGeneration previous("");
  CategorieNachCategoryID(previous);
  VarNameInQuelleErsetzen(previous, kVisiWin32Naming, "a", "b");
  EXPECT_FALSE(fs::exists(ComponentDb()));
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, OldNamesOfAnyCaseAndWithDoubleQuotesGetTheNamesOfTheCurrentSystem) {
  WriteComponent("ID INTEGER, var_name VARCHAR(50)", {"1, 'MFILLER.SPEED'", "2, 'MFiller/Speed'",
                                                      "3, 'Say\"Hi'", "4, 'FÜLLER.x'", "5, NULL"});
  PreviousGeneration previous(ComponentDb().string());
  for (const int system : {kVisiWinStudioNaming, kVisiWin32Naming}) {
    SCOPED_TRACE(system);
    const auto nameSystem = static_cast<std::int16_t>(system);
    VarNameInQuelleErsetzen(previous, nameSystem, "MFiller.Speed", "MFiller/Speed");
    VarNameInQuelleErsetzen(previous, nameSystem, "say\"hi", "Say\"Hi");
    VarNameInQuelleErsetzen(previous, nameSystem, "Füller.x", "Füller/x");
  }
  EXPECT_EQ(
      RowsOf(previous.Copy(), "SELECT var_name FROM PRESET_DEFS"),
      (Rows{{"t:MFiller.Speed"}, {"t:MFiller.Speed"}, {"t:say\"hi"}, {"t:Füller.x"}, {"null"}}));
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, AConversionNeverChangesTheComponentFile) {
  WriteComponent("ID INTEGER, var_name VARCHAR(50)", {"1, 'Filler/Speed'"});
  const std::string before = TestProject::Read(ComponentDb());
  PreviousGeneration previous(ComponentDb().string());
  VarNameInQuelleErsetzen(previous, kVisiWin32Naming, "Filler.Speed", "Filler/Speed");
  EXPECT_EQ(RowsOf(previous.Copy(), "SELECT var_name FROM PRESET_DEFS"),
            (Rows{{"t:Filler.Speed"}}));
  EXPECT_EQ(TestProject::Read(ComponentDb()), before);
}

TEST_F(FieldListsTest, AComponentDatabaseWithoutPresetDefsIsReportedByEachConversion) {
  ExecSql(ComponentDb(), "CREATE TABLE Other (x)");
  PreviousGeneration previous(ComponentDb().string());
  VarNameInQuelleErsetzen(previous, kVisiWin32Naming, "a", "b");
  VarNameInQuelleErsetzen(previous, kVisiWin32Naming, "c", "d");
  const std::string line =
      "Fehler in Widget / SQLite / VarNameInQuelleErsetzen (Nr. 3265) :reading "
      "the columns of table PRESET_DEFS of " +
      ComponentDb().string() + ": no such table: PRESET_DEFS\r\n";
  EXPECT_EQ(ErrorLog(), line + line);
}

}  // namespace
}  // namespace velnor::test
