// The update converts names and takes values over through indexes in memory and in
// one transaction each; a literal row-by-row update (one query per created row, one
// query per previous row, every write committed on its own) must end in exactly the
// same table, duplicates, case variants and names renamed twice included.
#include <sqlite3.h>

#include <array>
#include <memory>
#include <random>

#include "app/machines.h"
#include "platform/fs_path.h"
#include "projectdb/field_lists.h"
#include "projectdb/preset_defs.h"
#include "projectdb/projectdb_fixture.h"
#include "projectdb/work_on_mdb.h"

namespace velnor::test {
namespace {

// Naming system, part, pattern.
struct Pattern {
  int system;
  int part;
  const char* text;
};
constexpr std::array<Pattern, 8> kPatterns = {{{0, 1, "###machine.###Var_Name"},
                                               {1, 1, "Ns.###Var_Name"},
                                               {0, 2, "###Var_Name"},
                                               {1, 2, "###Var_Name"},
                                               {0, 3, "A.###Var_Name"},
                                               {1, 3, "B.###Var_Name"},
                                               {0, 4, "B.###Var_Name"},
                                               {1, 4, "C.###Var_Name"}}};

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct Finalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;
using Query = std::unique_ptr<sqlite3_stmt, Finalizer>;

int Collate(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return db::CompareIgnoringCase(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

Connection Open(const fs::path& path) {
  sqlite3* raw = nullptr;
  sqlite3_open(Utf8Of(path).c_str(), &raw);
  sqlite3_create_collation(raw, db::kNoCaseCollation, SQLITE_UTF8, nullptr, Collate);
  // Each statement commits on its own, as the original did; waiting for the disk at
  // every one would only slow the test down.
  sqlite3_exec(raw, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
  return Connection(raw);
}

Query Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
  }
  return Query(raw);
}

std::string Text(sqlite3_stmt* s, int column) {
  return reinterpret_cast<const char*>(sqlite3_column_text(s, column));
}

std::string ComposedName(int system, int part, const std::string& var, const std::string& machine) {
  std::string pattern;
  for (const Pattern& p : kPatterns) {
    if (p.system == system && p.part == part) pattern = p.text;
  }
  std::string name = ReplaceSearchItem(pattern, kVarNamePlaceholder, var);
  name = ReplaceSearchItem(name, kMachinePlaceholder, machine);
  return ReplaceSearchItem(name, kMachinePlaceholder, machine);
}

// The update as the original did it, step by step, on copies of the two databases:
// VisiWin Studio naming, machine 1 selected.
void LiteralUpdate(const fs::path& sourcePath, const fs::path& componentPath,
                   const std::string& machine, const std::string& columns) {
  const Connection source = Open(sourcePath);
  const Connection component = Open(componentPath);
  sqlite3_exec(
      source.get(),
      ("DROP TABLE IF EXISTS PRESET_DEFS; CREATE TABLE PRESET_DEFS (" + columns + ")").c_str(),
      nullptr, nullptr, nullptr);
  const Query templateRows = Prepare(source.get(), "SELECT * FROM Source_PRESET_DEFS");
  const Query insert = Prepare(source.get(),
                               "INSERT INTO PRESET_DEFS VALUES (?1, ?2, ?3, ?4, ?5, "
                               "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
  const Query find =
      Prepare(component.get(), "SELECT rowid FROM PRESET_DEFS WHERE Var_Name = ?1 COLLATE " +
                                   std::string(db::kNoCaseCollation));
  const Query rename =
      Prepare(component.get(), "UPDATE PRESET_DEFS SET var_name = ?1 WHERE rowid = ?2");
  int id = 0;
  while (sqlite3_step(templateRows.get()) == SQLITE_ROW) {
    sqlite3_bind_int(insert.get(), 1, ++id);
    for (int j = 1; j < 15; ++j) {
      sqlite3_value* value = sqlite3_column_value(templateRows.get(), j);
      if (sqlite3_value_type(value) != SQLITE_TEXT) {
        sqlite3_bind_value(insert.get(), j + 1, value);
        continue;
      }
      std::string text = Text(templateRows.get(), j);
      if (j == 4) {  // var_name
        const int part = sqlite3_column_int(templateRows.get(), 3);
        const std::string searched = ComposedName(0, part, text, machine);
        text = ComposedName(1, part, text, machine);
        std::vector<sqlite3_int64> found;
        sqlite3_bind_text(find.get(), 1, searched.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(find.get()) == SQLITE_ROW)
          found.push_back(sqlite3_column_int64(find.get(), 0));
        sqlite3_reset(find.get());
        for (const sqlite3_int64 row : found) {
          sqlite3_bind_text(rename.get(), 1, text.c_str(), -1, SQLITE_TRANSIENT);
          sqlite3_bind_int64(rename.get(), 2, row);
          sqlite3_step(rename.get());
          sqlite3_reset(rename.get());
        }
      } else {
        text = ReplaceSearchItem(text, kMachinePlaceholder, machine);
      }
      sqlite3_bind_text(insert.get(), j + 1, text.c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_step(insert.get());
    sqlite3_reset(insert.get());
  }

  const Query previous = Prepare(component.get(),
                                 "SELECT machine_type, var_name, offset_or_bitno, "
                                 "abs_min, abs_max, min, max, pass FROM PRESET_DEFS");
  const Query lookup = Prepare(source.get(), TakeoverLookupSql(", PRESET_DEFS.part"));
  const Query update = Prepare(source.get(),
                               "UPDATE PRESET_DEFS SET abs_min = ?1, abs_max = ?2, "
                               "min = ?3, max = ?4, pass = ?5 WHERE ID = ?6");
  while (sqlite3_step(previous.get()) == SQLITE_ROW) {
    for (int k = 0; k < 3; ++k) {
      sqlite3_bind_value(lookup.get(), k + 1, sqlite3_column_value(previous.get(), k));
    }
    if (sqlite3_step(lookup.get()) == SQLITE_ROW) {
      for (int k = 0; k < 5; ++k) {
        sqlite3_bind_value(update.get(), k + 1, sqlite3_column_value(previous.get(), k + 3));
      }
      sqlite3_bind_int64(update.get(), 6, sqlite3_column_int64(lookup.get(), 0));
      sqlite3_step(update.get());
      sqlite3_reset(update.get());
    }
    sqlite3_reset(lookup.get());
  }
}

class TakeoverReferenceTest : public ProjectDbTest {
 protected:
  void SetUp() override {
    WriteCfg({"ForMachine1=true"});
    const fs::path programIni = project.parameterFolder() / "Program.ini";
    TestProject::Write(programIni, "[Project]\r\nVWStudio=true\r\n");
    run.programIniForReading = programIni.string();
  }

  void WriteProject(const std::vector<std::string>& templateRows,
                    const std::vector<std::string>& previousRows,
                    const std::string& columns = kPresetColumns) {
    columns_ = columns;
    std::vector<std::string> patterns;
    for (const Pattern& p : kPatterns) {
      patterns.push_back(Lit(p.system == 0 ? "VISIWIN32" : "VISIWINSTUDIO") + ", " +
                         std::to_string(p.part) + ", " + Lit(p.text));
    }
    WriteSource(patterns, columns, templateRows);
    WriteComponent(columns, previousRows);
  }

  // Runs the update and the literal one on copies of the same files; returns the table
  // the update left in the component database.
  Rows UpdateAndCompareWithLiteral() {
    const fs::path reference = project.base() / "reference";
    fs::create_directories(reference);
    fs::copy_file(SourceDb(), reference / "source.mdb");
    fs::copy_file(ComponentDb(), reference / "component.mdb");

    WorkOnMDB(run);
    LiteralUpdate(reference / "source.mdb", reference / "component.mdb", run.machines[1], columns_);

    const Rows updated = ComponentRows();
    EXPECT_EQ(updated,
              QueryRows(reference / "source.mdb", "SELECT * FROM PRESET_DEFS ORDER BY rowid"));
    EXPECT_FALSE(fs::exists(project.errorLog())) << ErrorLog();
    return updated;
  }

 private:
  std::string columns_;
};

std::string TemplateRow(const std::string& machineType, int part, const std::string& var,
                        int offset) {
  return "0, " + Lit(machineType) + ", 1, " + std::to_string(part) + ", " + Lit(var) + ", 1, 0, " +
         std::to_string(offset) + ", 'Text ###machine', 'Page', 0, 0, 0, 0, 'tpl'";
}

std::string PreviousRow(const std::string& machineType, const std::string& var,
                        const std::string& offset, int number) {
  const std::string n = std::to_string(number);
  return "0, " + Lit(machineType) + ", 1, 1, " + Lit(var) + ", 1, 0, " + offset + ", 't', 'p', " +
         n + ", " + n + ".5, -" + n + ", " + n + "0, 'p" + n + "'";
}

TEST_F(TakeoverReferenceTest, EndsLikeTheLiteralUpdateWithDuplicatesCaseVariantsAndDoubleRenames) {
  WriteProject(
      {TemplateRow("Filler", 1, "Speed", 10), TemplateRow("Filler", 1, "Speed", 10),
       TemplateRow("filler", 1, "SPEED", 10), TemplateRow("Filler", 2, "Temp", 11),
       TemplateRow("Filler", 3, "x", 12), TemplateRow("Filler", 4, "x", 12),
       TemplateRow("###machine", 2, "Temp", 11), TemplateRow("Filler", 2, "None", 14)},
      {PreviousRow("Filler", "Filler.Speed", "10", 1), PreviousRow("FILLER", "NS.SPEED", "10", 2),
       PreviousRow("Filler", "Temp", "11", 3), PreviousRow("Filler", "A.x", "12", 4),
       PreviousRow("Filler", "B.x", "12", 5), PreviousRow("Filler", "None", "NULL", 6),
       PreviousRow("Capper", "Temp", "11", 7), PreviousRow("Filler", "temp", "11", 8)});

  const Rows updated = UpdateAndCompareWithLiteral();

  ASSERT_EQ(updated.size(), 8u);
  const auto pass = [&](std::size_t row) { return updated[row][14]; };
  EXPECT_EQ(pass(0), "t:p2");   // the later of two previous rows wins ...
  EXPECT_EQ(pass(1), "t:tpl");  // ... in the first of three matching new rows only
  EXPECT_EQ(pass(2), "t:tpl");
  EXPECT_EQ(pass(3), "t:p8");
  EXPECT_EQ(pass(4), "t:tpl");  // "A.x" became "B.x" and then "C.x"
  EXPECT_EQ(pass(5), "t:p5");
  EXPECT_EQ(pass(6), "t:tpl");
  EXPECT_EQ(pass(7), "t:tpl");  // an empty offset matches nothing
}

TEST_F(TakeoverReferenceTest, EndsLikeTheLiteralUpdateOnAGeneratedTableFullOfDuplicateKeys) {
  std::mt19937 random(20240607);
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  const std::vector<std::string> machineTypes = {"Filler", "FILLER", "Capper", "###machine"};
  const std::vector<std::string> vars = {"a", "b", "A", "Größe", "GRÖSSE", "grösse"};
  std::vector<std::string> templateRows;
  for (int i = 0; i < 300; ++i) {
    templateRows.push_back(TemplateRow(pick(machineTypes), 1 + static_cast<int>(random() % 4),
                                       pick(vars), static_cast<int>(random() % 3)));
  }
  std::vector<std::string> previousNames;
  for (const std::string& var : vars) {
    for (const Pattern& p : kPatterns)
      previousNames.push_back(ComposedName(p.system, p.part, var, "Filler"));
  }
  std::vector<std::string> previousRows;
  for (int i = 0; i < 300; ++i) {
    previousRows.push_back(PreviousRow(pick({"Filler", "filler", "Capper"}), pick(previousNames),
                                       std::to_string(random() % 3), i));
  }
  WriteProject(templateRows, previousRows);

  const Rows updated = UpdateAndCompareWithLiteral();

  std::size_t takenOver = 0;
  for (const auto& row : updated) takenOver += row[14] != "t:tpl";
  EXPECT_GT(takenOver, 30u);  // the comparison is worth something only when values move
}

TEST_F(TakeoverReferenceTest, EndsLikeTheLiteralUpdateWhenKeysMeetColumnsOfAnotherKind) {
  // A numeric machine_type and a text offset: compared values are converted first.
  const std::string columns =
      "ID INTEGER, machine_type INTEGER, type INTEGER, part INTEGER, var_name VARCHAR(100), "
      "category_id INTEGER, isBitArray INTEGER, offset_or_bitno VARCHAR(10), text VARCHAR(255), "
      "page_name VARCHAR(50), abs_min REAL, abs_max REAL, min REAL, max REAL, pass VARCHAR(20)";
  std::mt19937 random(7);
  const std::vector<std::string> machineTypes = {"7", "'7'", "' 7 '", "'07'", "7.0", "'x'", "'X'"};
  const std::vector<std::string> offsets = {"1", "'1'", "1.0", "'01'", "'1.0'", "'a'", "'A'"};
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  std::vector<std::string> templateRows;
  std::vector<std::string> previousRows;
  for (int i = 0; i < 60; ++i) {
    templateRows.push_back("0, " + pick(machineTypes) + ", 1, 2, 'v', 1, 0, " + pick(offsets) +
                           ", 't', 'p', 0, 0, 0, 0, 'tpl'");
    previousRows.push_back("0, " + pick(machineTypes) + ", 1, 2, 'V', 1, 0, " + pick(offsets) +
                           ", 't', 'p', 1, 2, 3, 4, 'p" + std::to_string(i) + "'");
  }
  WriteProject(templateRows, previousRows, columns);

  const Rows updated = UpdateAndCompareWithLiteral();

  std::size_t takenOver = 0;
  for (const auto& row : updated) takenOver += row[14] != "t:tpl";
  EXPECT_GT(takenOver, 5u);
}

}  // namespace
}  // namespace velnor::test
