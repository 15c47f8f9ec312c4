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
      {"", {"", "part"}, ", PRESET_DEFS.part"},
      {"DataBaseAdditionalFields=", {"", "part"}, ", PRESET_DEFS.part"},
      {"DataBaseAdditionalFields=unit, scale",
       {"", "part", "unit", " scale"},
       ", PRESET_DEFS.part, PRESET_DEFS.unit, PRESET_DEFS. scale"},
      {"DataBaseAdditionalFields=unit,",
       {"", "part", "unit", ""},
       ", PRESET_DEFS.part, PRESET_DEFS.unit, PRESET_DEFS."},
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

TEST_F(FieldListsTest, TheLegacyCategoryColumnGetsItsNewNameAndKeepsItsValues) {
  WriteComponent("ID INTEGER, Categorie INTEGER, var_name TEXT", {"1, 7, 'a'"});
  CategorieNachCategoryID(run);
  EXPECT_EQ(ComponentRows("ID, category_id, var_name"), (Rows{{"i:1", "i:7", "t:a"}}));
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, WithoutComponentDatabaseTheConversionsDoNothing) {
  CategorieNachCategoryID(run);
  VarNameInQuelleErsetzen(run, kVisiWin32Naming, "a", "b");
  EXPECT_FALSE(fs::exists(ComponentDb()));
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, OldNamesOfAnyCaseAndWithDoubleQuotesGetTheNamesOfTheCurrentSystem) {
  WriteComponent("ID INTEGER, var_name VARCHAR(50)", {"1, 'MFILLER.SPEED'", "2, 'MFiller/Speed'",
                                                      "3, 'Say\"Hi'", "4, 'FÜLLER.x'", "5, NULL"});
  for (const int system : {kVisiWinStudioNaming, kVisiWin32Naming}) {
    SCOPED_TRACE(system);
    const auto nameSystem = static_cast<std::int16_t>(system);
    VarNameInQuelleErsetzen(run, nameSystem, "MFiller.Speed", "MFiller/Speed");
    VarNameInQuelleErsetzen(run, nameSystem, "say\"hi", "Say\"Hi");
    VarNameInQuelleErsetzen(run, nameSystem, "Füller.x", "Füller/x");
  }
  EXPECT_EQ(
      ComponentRows("var_name"),
      (Rows{{"t:MFiller.Speed"}, {"t:MFiller.Speed"}, {"t:say\"hi"}, {"t:Füller.x"}, {"null"}}));
  EXPECT_FALSE(fs::exists(project.errorLog()));
}

TEST_F(FieldListsTest, AConversionThatChangesNothingLeavesTheComponentFileUntouched) {
  WriteComponent("ID INTEGER, var_name VARCHAR(50)", {"1, 'Filler.Speed'"});
  const std::string before = TestProject::Read(ComponentDb());
  VarNameInQuelleErsetzen(run, kVisiWin32Naming, "Filler.Speed", "Filler/Speed");
  VarNameInQuelleErsetzen(run, kVisiWin32Naming, "Filler.Speed", "Other");
  EXPECT_EQ(TestProject::Read(ComponentDb()), before);
}

TEST_F(FieldListsTest, AComponentDatabaseWithoutPresetDefsIsReportedByEachConversion) {
  ExecSql(ComponentDb(), "CREATE TABLE Other (x)");
  VarNameInQuelleErsetzen(run, kVisiWin32Naming, "a", "b");
  VarNameInQuelleErsetzen(run, kVisiWin32Naming, "c", "d");
  const std::string line =
      "Fehler in Widget / SQLite / VarNameInQuelleErsetzen (Nr. 3265) :reading "
      "the columns of table PRESET_DEFS of " +
      ComponentDb().string() + ": no such table: PRESET_DEFS\r\n";
  EXPECT_EQ(ErrorLog(), line + line);
}

}  // namespace
}  // namespace velnor::test
